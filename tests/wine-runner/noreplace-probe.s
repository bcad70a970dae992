# A 32-bit x86 Linux program that exits with 0 when its system calls honour
# MAP_FIXED_NOREPLACE, and with 1 when they take it as a mere hint.
# wine-mode.sh runs it under qemu: Wine reserves its address space with
# that flag, and where it is a hint each start of Wine makes tens of
# thousands of mmap calls instead of a few.
#   as --32 -o noreplace-probe.o noreplace-probe.s
#   ld -m elf_i386 -o noreplace-probe noreplace-probe.o
#
# It maps 64 KiB anywhere, then asks for the same address again with the
# flag: a kernel that knows it says EEXIST; one that takes it as a hint
# returns another address.

        .set SYS_exit, 1
        .set SYS_mmap2, 192
        .set PROT_NONE, 0
        .set MAP_PRIVATE, 0x02
        .set MAP_ANONYMOUS, 0x20
        .set MAP_FIXED_NOREPLACE, 0x100000
        .set EEXIST, 17

        .globl _start
        .text
_start:
        xor %ebx, %ebx                          # address: anywhere
        mov $(MAP_PRIVATE | MAP_ANONYMOUS), %esi
        call map
        mov %eax, %ebx                          # address: that one again
        mov $(MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE), %esi
        call map
        xor %ebx, %ebx                          # exit status 0
        cmp $-EEXIST, %eax
        je exit
        inc %ebx                                # exit status 1
exit:   mov $SYS_exit, %eax
        int $0x80

# mmap2(%ebx, 64 KiB, PROT_NONE, %esi, no file, offset 0) into %eax.
map:    mov $SYS_mmap2, %eax
        mov $0x10000, %ecx                      # length
        mov $PROT_NONE, %edx
        mov $-1, %edi                           # file descriptor: none
        xor %ebp, %ebp                          # offset
        int $0x80
        ret
