// The helper's removal operations against whichever registry this build has.
#include "registry/KesRegistryHelper.h"

#include <gtest/gtest.h>

#include "tests/support/TestDrive.h"
#include "tests/support/TestRegistry.h"

namespace Kestrova_Orvane {
namespace {

using testing::TestDrive;
using testing::TestRegistry;
using Names = std::vector<std::string>;

class KesRegistryHelperTest : public ::testing::Test {
 protected:
  const std::string path = std::string(TestRegistry::kScratchKey) + "\\Helper";
  void SetUp() override {
    TestRegistry::DeleteTree(TestRegistry::kScratchKey);
    TestRegistry::SetString(path, "Orvane", "C:\\Program Files\\Orvane\\orvane.exe");
    TestRegistry::SetString(path, "Other", "other.exe");
    TestRegistry::SetString(path, "", "default");
  }
  void TearDown() override { TestRegistry::DeleteTree(TestRegistry::kScratchKey); }

  TestDrive drive;
};

TEST_F(KesRegistryHelperTest, OpenKeyCreatesAMissingKeyEmpty) {
  KesRegistryHelper helper;
  EXPECT_TRUE(helper.OpenKey(path + "\\New"));
  EXPECT_TRUE(TestRegistry::KeyExists(path + "\\New"));
  EXPECT_EQ(Names{}, TestRegistry::ValueNames(path + "\\New"));
}

TEST_F(KesRegistryHelperTest, OpenKeyRefusesAnEmptyPath) {
  KesRegistryHelper helper;
  EXPECT_FALSE(helper.OpenKey(""));
}

TEST_F(KesRegistryHelperTest, DeleteValueRemovesOnlyTheNamedValue) {
  // Names are compared without regard to case.
  for (const char* name : {"Orvane", "ORVANE"}) {
    SCOPED_TRACE(name);
    SetUp();
    KesRegistryHelper helper;
    ASSERT_TRUE(helper.OpenKey(path));
    EXPECT_TRUE(helper.DeleteValue(name));
    EXPECT_EQ((Names{"", "Other"}), TestRegistry::ValueNames(path));
  }
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesRegistryHelperTest, DeleteValueOfAMissingValueIsQuietSuccess) {
  KesRegistryHelper helper;
  ASSERT_TRUE(helper.OpenKey(path));
  EXPECT_TRUE(helper.DeleteValue("Missing"));
  EXPECT_EQ((Names{"", "Orvane", "Other"}), TestRegistry::ValueNames(path));
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesRegistryHelperTest, DeleteValueWithEmptyNameLogsAndKeepsTheDefaultValue) {
  KesRegistryHelper helper;
  ASSERT_TRUE(helper.OpenKey(path));
  EXPECT_FALSE(helper.DeleteValue(""));
  EXPECT_EQ((Names{"", "Orvane", "Other"}), TestRegistry::ValueNames(path));
  EXPECT_EQ(TestDrive::Lines({"Cannot delete value"}), TestDrive::LogBytes());
}

}  // namespace
}  // namespace Kestrova_Orvane
