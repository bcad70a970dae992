// RegistryKey against whichever registry this build has.
#include "registry/RegistryKey.h"

#include <gtest/gtest.h>

#include "tests/support/TestRegistry.h"

namespace Kestrova_Orvane {
namespace {

using test_support::TestRegistry;

class RegistryKeyTest : public test_support::ScratchKeyTest {
 protected:
  const std::string path = std::string(TestRegistry::kScratchKey) + "\\RegistryKey";
};

TEST_F(RegistryKeyTest, CreateMakesMissingKeyAndHoldsIt) {
  RegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Create(path + "\\Deeper"));
  EXPECT_NE(nullptr, key.Handle());
  EXPECT_TRUE(TestRegistry::KeyExists(path + "\\Deeper"));
  EXPECT_EQ(std::vector<std::string>{}, TestRegistry::ValueNames(path + "\\Deeper"));
}

TEST_F(RegistryKeyTest, HandleReadsAndWritesTheKey) {
  TestRegistry::SetString(path, "Present", "x");
  RegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Create(path));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key.Handle(), "Present"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueA(key.Handle(), "Present"));
}

TEST_F(RegistryKeyTest, CloseReleasesOnceAndThenHasNothingToDo) {
  RegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Create(path));
  HKEY held = key.Handle();
  EXPECT_EQ(ERROR_SUCCESS, key.Close());
  EXPECT_EQ(nullptr, key.Handle());
  EXPECT_EQ(ERROR_SUCCESS, key.Close());
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(held)) << "the handle was not closed";
}

TEST_F(RegistryKeyTest, FailedCreateKeepsTheHeldKey) {
  RegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Create(path));
  HKEY held = key.Handle();
  // A leading backslash is not a valid key path.
  EXPECT_NE(ERROR_SUCCESS, key.Create("\\" + path));
  EXPECT_EQ(held, key.Handle());
  TestRegistry::SetString(path, "Value", "x");
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key.Handle(), "Value")) << "the held key still works";
}

TEST_F(RegistryKeyTest, SecondCreateClosesTheFirstHandle) {
  RegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, key.Create(path + "\\First"));
  HKEY first = key.Handle();
  ASSERT_EQ(ERROR_SUCCESS, key.Create(path + "\\Second"));
  EXPECT_NE(first, key.Handle());
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(first)) << "the first handle is still open";
  TestRegistry::SetString(path + "\\Second", "Value", "x");
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key.Handle(), "Value")) << "not the second key";
}

}  // namespace
}  // namespace Kestrova_Orvane
