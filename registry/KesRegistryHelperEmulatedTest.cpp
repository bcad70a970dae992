// The helper's exact registry calls and its behaviour on failures that a
// real registry cannot be made to produce on demand. Build machine only.
#include "registry/KesRegistryHelper.h"

#include <gtest/gtest.h>

#include "platform/emulation/EmulatedRegistry.h"
#include "tests/support/TestDrive.h"

namespace Kestrova_Orvane {
namespace {

using emulation::EmulatedRegistry;
using emulation::RegCall;
using testing::TestDrive;
using Calls = std::vector<std::string>;

constexpr char kKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class KesRegistryHelperEmulatedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.Reset();
    registry.SetString(kKey, "Orvane", "orvane.exe");
  }
  EmulatedRegistry& registry = EmulatedRegistry::Instance();
  TestDrive drive;
};

TEST_F(KesRegistryHelperEmulatedTest, RemovalCallsAndTheirArguments) {
  {
    KesRegistryHelper helper;
    ASSERT_TRUE(helper.OpenKey(kKey));
    ASSERT_TRUE(helper.DeleteValue("Orvane"));
    EXPECT_EQ(1u, registry.OpenHandleCount());
  }
  EXPECT_EQ(
      (Calls{
          R"(RegCreateKeyExA(HKLM, "Software\Microsoft\Windows\CurrentVersion\Run", 0, NULL, 0x0, 0x2001f, NULL) -> h1 = 0)",
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
  registry.SetGrantedAccess(kKey, KEY_READ);
  {
    KesRegistryHelper helper;
    EXPECT_FALSE(helper.OpenKey(kKey));
  }
  EXPECT_EQ(
      (Calls{
          R"(RegCreateKeyExA(HKLM, "Software\Microsoft\Windows\CurrentVersion\Run", 0, NULL, 0x0, 0x2001f, NULL) = 5)",
      }),
      registry.Calls());
  EXPECT_NE(std::nullopt, registry.GetValue(kKey, "Orvane"));
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesRegistryHelperEmulatedTest, FailedDeleteStillReportsSuccess) {
  for (LONG code : {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND, ERROR_OUTOFMEMORY}) {
    SCOPED_TRACE(code);
    registry.FailCall(RegCall::DeleteValue, code);
    KesRegistryHelper helper;
    ASSERT_TRUE(helper.OpenKey(kKey));
    EXPECT_TRUE(helper.DeleteValue("Orvane"));
  }
  EXPECT_NE(std::nullopt, registry.GetValue(kKey, "Orvane"));
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

class RegistryKeyEmulatedTest : public KesRegistryHelperEmulatedTest {};

TEST_F(RegistryKeyEmulatedTest, SecondCreateClosesTheFirstHandleOnlyAfterSuccess) {
  RegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Create("A"));
  registry.FailCall(RegCall::CreateKeyEx, ERROR_ACCESS_DENIED);
  EXPECT_EQ(ERROR_ACCESS_DENIED, key.Create("B"));
  ASSERT_EQ(ERROR_SUCCESS, key.Create("C"));
  EXPECT_EQ(1u, registry.OpenHandleCount());
  EXPECT_EQ((Calls{
                R"(RegCreateKeyExA(HKLM, "A", 0, NULL, 0x0, 0x2001f, NULL) -> h1 = 0)",
                R"(RegCreateKeyExA(HKLM, "B", 0, NULL, 0x0, 0x2001f, NULL) = 5)",
                R"(RegCreateKeyExA(HKLM, "C", 0, NULL, 0x0, 0x2001f, NULL) -> h2 = 0)",
                R"(RegCloseKey(h1) = 0)",
            }),
            registry.Calls());
}

TEST_F(RegistryKeyEmulatedTest, FailedCloseWhileReplacingStillTakesTheNewHandle) {
  RegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Create("A"));
  registry.FailCall(RegCall::CloseKey, ERROR_INVALID_HANDLE);
  EXPECT_EQ(ERROR_INVALID_HANDLE, key.Create("B"));
  registry.ClearCalls();
  EXPECT_EQ(ERROR_SUCCESS, key.Close());
  EXPECT_EQ((Calls{R"(RegCloseKey(h2) = 0)"}), registry.Calls());
}

TEST_F(RegistryKeyEmulatedTest, FailedCloseIsReportedAndNotRetried) {
  RegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Create("A"));
  registry.FailCall(RegCall::CloseKey, ERROR_INVALID_HANDLE);
  EXPECT_EQ(ERROR_INVALID_HANDLE, key.Close());
  EXPECT_EQ(nullptr, key.Handle());
  EXPECT_EQ(ERROR_SUCCESS, key.Close());
}

}  // namespace
}  // namespace Kestrova_Orvane
