// The helper's exact registry calls and its behaviour on failures that a
// real registry cannot be made to produce on demand. Build machine only.
#include "registry/KesRegistryHelper.h"

#include <gtest/gtest.h>

#include "platform/emulation/EmulatedRegistry.h"
#include "tests/support/TestDrive.h"
#include "tests/support/ToolPaths.h"

namespace Kestrova_Orvane {
namespace {

using emulation::EmulatedRegistry;
using emulation::RegCall;
using test_support::kRunKey;
using test_support::TestDrive;
using Calls = std::vector<std::string>;

class KesRegistryHelperEmulatedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.Reset();
    registry.SetString(kRunKey, "Orvane", "orvane.exe");
  }
  EmulatedRegistry& registry = EmulatedRegistry::Instance();
  TestDrive drive;
};

TEST_F(KesRegistryHelperEmulatedTest, RemovalCallsAndTheirArguments) {
  {
    KesRegistryHelper helper;
    ASSERT_TRUE(helper.OpenKey(kRunKey));
    ASSERT_TRUE(helper.DeleteValue("Orvane"));
    EXPECT_EQ(1u, registry.OpenHandleCount());
  }
  EXPECT_EQ((Calls{
                R"(RegCreateKeyExA(HKLM, ")" + std::string(kRunKey) +
                    R"(", 0, NULL, 0x0, 0x2001f, NULL) -> h1 = 0)",
                R"(RegDeleteValueA(h1, "Orvane") = 0)",
                R"(RegCloseKey(h1) = 0)",
            }),
            registry.Calls());
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST_F(KesRegistryHelperEmulatedTest, EmptyNamesMakeNoRegistryCall) {
  {
    KesRegistryHelper helper;
    EXPECT_FALSE(helper.OpenKey(""));
    EXPECT_FALSE(helper.DeleteValue(""));
  }
  EXPECT_EQ(Calls{}, registry.Calls());
  EXPECT_EQ(TestDrive::Lines({"Cannot delete value"}), TestDrive::LogBytes());
}

TEST_F(KesRegistryHelperEmulatedTest, KeyNotGrantingReadAndWriteIsNotOpened) {
  registry.SetGrantedAccess(kRunKey, KEY_READ);
  {
    KesRegistryHelper helper;
    EXPECT_FALSE(helper.OpenKey(kRunKey));
  }
  EXPECT_EQ((Calls{
                R"(RegCreateKeyExA(HKLM, ")" + std::string(kRunKey) +
                    R"(", 0, NULL, 0x0, 0x2001f, NULL) = 5)",
            }),
            registry.Calls());
  EXPECT_NE(std::nullopt, registry.GetValue(kRunKey, "Orvane"));
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesRegistryHelperEmulatedTest, FailedDeleteStillReportsSuccess) {
  for (LONG code : {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND, ERROR_OUTOFMEMORY}) {
    SCOPED_TRACE(code);
    registry.FailCall(RegCall::DeleteValue, code);
    KesRegistryHelper helper;
    ASSERT_TRUE(helper.OpenKey(kRunKey));
    EXPECT_TRUE(helper.DeleteValue("Orvane"));
  }
  EXPECT_NE(std::nullopt, registry.GetValue(kRunKey, "Orvane"));
  EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST_F(KesRegistryHelperEmulatedTest, HelperThatOpenedNothingClosesNothing) {
  { KesRegistryHelper helper; }
  EXPECT_EQ(Calls{}, registry.Calls());
}

TEST_F(KesRegistryHelperEmulatedTest, ReadWithBothNamesEmptyMakesNoRegistryCall) {
  {
    KesRegistryHelper helper;
    EXPECT_EQ("", helper.ReadRegistry("", ""));
  }
  EXPECT_EQ(Calls{}, registry.Calls());
}

TEST_F(KesRegistryHelperEmulatedTest, ReadWithEmptyKeyPathHoldsTheRootItself) {
  registry.SetString("", "Value", "C:\\x");
  {
    KesRegistryHelper helper;
    EXPECT_EQ("C:/x", helper.ReadRegistry("", "Value"));
    EXPECT_EQ(0u, registry.OpenHandleCount());
  }
  EXPECT_EQ((Calls{
                R"(RegOpenKeyExA(HKLM, "", 0x0, 0xf003f) -> HKLM = 0)",
                R"(RegQueryValueExA(HKLM, "Value", NULL, &type, buffer, 512) = 0)",
                R"(RegCloseKey(HKLM) = 0)",
            }),
            registry.Calls());
}

TEST_F(KesRegistryHelperEmulatedTest, ReadAfterAFailedCloseHoldsTheNewKeyButSkipsTheRead) {
  registry.SetString("Product", "Value", "text");
  KesRegistryHelper helper;
  ASSERT_EQ("text", helper.ReadRegistry("Product", "Value"));
  registry.FailCall(RegCall::CloseKey, ERROR_INVALID_HANDLE);
  registry.ClearCalls();
  EXPECT_EQ("", helper.ReadRegistry("Product", "Value"));
  EXPECT_EQ((Calls{
                R"(RegOpenKeyExA(HKLM, "Product", 0x0, 0xf003f) -> h2 = 0)",
                R"(RegCloseKey(h1) = 6)",
            }),
            registry.Calls());
  EXPECT_EQ(2u, registry.OpenHandleCount()) << "h1 failed to close; h2 is held";
}

}  // namespace
}  // namespace Kestrova_Orvane
