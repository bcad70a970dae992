// RegistryKey's exact calls when the registry fails where a real one
// cannot be made to on demand. Build machine only.
#include "registry/RegistryKey.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/emulation/EmulatedRegistry.h"

namespace Kestrova_Orvane {
namespace {

using emulation::EmulatedRegistry;
using emulation::RegCall;
using Calls = std::vector<std::string>;

class RegistryKeyEmulatedTest : public ::testing::Test {
 protected:
  void SetUp() override { registry.Reset(); }
  EmulatedRegistry& registry = EmulatedRegistry::Instance();
};

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
