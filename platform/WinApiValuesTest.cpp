// The numbers the tool passes to Windows, checked against whichever Win32
// headers this build uses: the emulation's on the build machine, the real
// ones in the Windows build.
#include <gtest/gtest.h>

#include "platform/WinApi.h"

static_assert(sizeof(LONG) == 4, "Win32 result codes are 32 bits");
static_assert(sizeof(DWORD) == 4, "DWORD is 32 bits");
static_assert((KEY_READ | KEY_WRITE) == 0x2001F, "access of the Run key open");
static_assert(KEY_ALL_ACCESS == 0xF003F, "access of the product key open");
static_assert(REG_OPTION_NON_VOLATILE == 0, "");
static_assert(REG_SZ == 1 && REG_EXPAND_SZ == 2 && REG_DWORD == 4, "");
static_assert(ERROR_SUCCESS == 0 && ERROR_FILE_NOT_FOUND == 2 && ERROR_ACCESS_DENIED == 5, "");
static_assert(ERROR_INVALID_DATA == 13 && ERROR_MORE_DATA == 234, "");
static_assert(SW_HIDE == 0, "");
static_assert((KEY_READ & (KEY_WOW64_32KEY | KEY_WOW64_64KEY)) == 0, "no view flag");

TEST(WinApiValuesTest, LocalMachineRootIsThePredefinedHandle) {
  EXPECT_EQ(0x80000002u, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(HKEY_LOCAL_MACHINE)));
}
