// The shell library is loaded by the first launch and not before. Windows
// build only: the test program, like the tool, does not import it.
#include <gtest/gtest.h>

#include "cleanup/KesOrvCleanup.h"
#include "platform/WinApi.h"
#include "tests/support/TestDrive.h"

namespace Kestrova_Orvane {
namespace {

TEST(Shell32WindowsTest, LoadedByTheFirstLaunchOnly) {
  test_support::TestDrive drive;
  ASSERT_EQ(nullptr, GetModuleHandleA("shell32.dll"));
  { KesOrvCleanup removal(CleanupMode::RemoveRunValue, "KesOrvTestsNoSuchValue"); }
  EXPECT_EQ(nullptr, GetModuleHandleA("shell32.dll")) << "loaded by the removal";
  EXPECT_FALSE(KesOrvCleanup::LaunchUninstaller("", ""));
  EXPECT_EQ(nullptr, GetModuleHandleA("shell32.dll")) << "loaded with nothing to launch";

  // A program that does not exist: the shell is asked, nothing starts.
  EXPECT_TRUE(KesOrvCleanup::LaunchUninstaller("C:/KesOrvTests/missing.exe", "/S"));
  EXPECT_NE(nullptr, GetModuleHandleA("shell32.dll"));
}

}  // namespace
}  // namespace Kestrova_Orvane
