//===-- platform/emulation/Kernel32.cpp - Files and code page -------------===//
//
// Build machine only. File functions work in the folder that stands for
// drive C:, where a symbolic link stands for a reparse point: GetFileAttributesA
// and CreateFileA with FILE_FLAG_OPEN_REPARSE_POINT see the link itself. A
// file handle is a descriptor of this process; sharing modes are not
// emulated. IsDBCSLeadByte answers for the code page EmulatedDrive holds.
//
//===----------------------------------------------------------------------===//
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "platform/emulation/EmulatedDrive.h"
#include "platform/emulation/WinApiEmulation.h"

using Kestrova_Orvane::emulation::EmulatedDrive;

namespace {

std::string LocalPath(LPCSTR windowsPath) {
  if (windowsPath == nullptr) return std::string();
  try {
    return EmulatedDrive::Instance().Map(windowsPath);
  } catch (...) {
    return std::string();
  }
}

// `status` from lstat or fstat; `local` names the same file, for the
// target of a link.
DWORD Attributes(const struct stat& status, const std::string& local) {
  DWORD attributes = 0;
  if (S_ISLNK(status.st_mode)) {
    attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    struct stat target;
    if (stat(local.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
      attributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
  } else if (S_ISDIR(status.st_mode)) {
    attributes |= FILE_ATTRIBUTE_DIRECTORY;
  } else {
    attributes |= FILE_ATTRIBUTE_ARCHIVE;
  }
  if ((status.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

HANDLE FromDescriptor(int descriptor) {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor) + 1);
}

int ToDescriptor(HANDLE handle) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(handle) - 1);
}

}  // namespace

extern "C" DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  const std::string local = LocalPath(lpFileName);
  struct stat status;
  if (local.empty() || lstat(local.c_str(), &status) != 0) return INVALID_FILE_ATTRIBUTES;
  return Attributes(status, local);
}

// OPEN_EXISTING and OPEN_ALWAYS only. A folder does not open, as on
// Windows without FILE_FLAG_BACKUP_SEMANTICS.
extern "C" HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD /*dwDesiredAccess*/,
                                     DWORD /*dwShareMode*/,
                                     LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/,
                                     DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                     HANDLE /*hTemplateFile*/) {
  const std::string local = LocalPath(lpFileName);
  if (local.empty()) return INVALID_HANDLE_VALUE;
  struct stat status;
  const bool openLinkItself = (dwFlagsAndAttributes & FILE_FLAG_OPEN_REPARSE_POINT) != 0 &&
                              lstat(local.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
  int flags = O_CLOEXEC;
  if (openLinkItself) {
    flags |= O_PATH | O_NOFOLLOW;
  } else {
    flags |= O_RDONLY;
    if (dwCreationDisposition == OPEN_ALWAYS) flags |= O_CREAT;
  }
  const int descriptor = open(local.c_str(), flags, 0666);
  if (descriptor < 0) return INVALID_HANDLE_VALUE;
  if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
    close(descriptor);
    return INVALID_HANDLE_VALUE;
  }
  return FromDescriptor(descriptor);
}

extern "C" BOOL WINAPI GetFileInformationByHandle(HANDLE hFile,
                                                  LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
  struct stat status;
  if (lpFileInformation == nullptr || fstat(ToDescriptor(hFile), &status) != 0) return 0;
  *lpFileInformation = BY_HANDLE_FILE_INFORMATION{};
  // A descriptor opened with O_PATH on a link reports the link itself.
  lpFileInformation->dwFileAttributes = Attributes(status, std::string());
  lpFileInformation->dwVolumeSerialNumber = static_cast<DWORD>(status.st_dev);
  lpFileInformation->nFileSizeHigh =
      static_cast<DWORD>(static_cast<std::uint64_t>(status.st_size) >> 32);
  lpFileInformation->nFileSizeLow = static_cast<DWORD>(status.st_size);
  lpFileInformation->nNumberOfLinks = static_cast<DWORD>(status.st_nlink);
  lpFileInformation->nFileIndexHigh =
      static_cast<DWORD>(static_cast<std::uint64_t>(status.st_ino) >> 32);
  lpFileInformation->nFileIndexLow = static_cast<DWORD>(status.st_ino);
  return 1;
}

extern "C" BOOL WINAPI CloseHandle(HANDLE hObject) { return close(ToDescriptor(hObject)) == 0; }

extern "C" BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) {
  switch (EmulatedDrive::Instance().CodePage()) {
    case 932:  // Shift JIS
      return (TestChar >= 0x81 && TestChar <= 0x9F) || (TestChar >= 0xE0 && TestChar <= 0xFC);
    default:  // single-byte code pages have no lead bytes
      return 0;
  }
}
