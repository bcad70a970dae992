// The built KesOrvCleanup.exe, run as a child process under Wine, against
// the prefix's real registry (the 32-bit view, as this test program is
// 32-bit too) and its drive C:.
#include <gtest/gtest.h>

#include "tests/support/TestDrive.h"
#include "tests/support/TestRegistry.h"
#include "tests/wine/ChildProcess.h"

namespace Kestrova_Orvane {
namespace {

using testing::ChildProcess;
using testing::ChildResult;
using testing::TestDrive;
using testing::TestRegistry;
using Names = std::vector<std::string>;

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override { SeedRunKey(); }
  static void SeedRunKey() {
    TestRegistry::DeleteTree(TestRegistry::kRunKey);
    TestRegistry::SetString(TestRegistry::kRunKey, "Orvane", "C:\\Program Files\\Orvane\\orvane.exe");
    TestRegistry::SetString(TestRegistry::kRunKey, "Other", "other.exe");
  }
  // Every run must exit with 0 and print nothing.
  static void RunTool(const std::vector<std::string>& arguments) {
    const ChildResult run =
        ChildProcess::Run(ChildProcess::BesideThisProgram("KesOrvCleanup.exe"), arguments);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ("", run.output);
  }
  std::optional<TestDrive> drive{std::in_place};
};

TEST_F(EndToEndTest, ArgumentCountChoosesTheMode) {
  struct Case {
    std::vector<std::string> arguments;
    Names runValuesAfter;
  };
  const Case cases[] = {
      {{}, {"Orvane", "Other"}},
      {{"Orvane"}, {"Orvane", "Other"}},
      {{"Orvane", "x"}, {"Other"}},
      {{"ORVANE", "x", "y", "z"}, {"Other"}},
      {{"Other", "Orvane"}, {"Orvane"}},
      {{"Missing", "x"}, {"Orvane", "Other"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    SeedRunKey();
    RunTool(c.arguments);
    EXPECT_EQ(c.runValuesAfter, TestRegistry::ValueNames(TestRegistry::kRunKey));
  }
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(EndToEndTest, MissingRunKeyIsCreatedEmpty) {
  TestRegistry::DeleteTree(TestRegistry::kRunKey);
  RunTool({"Orvane", "x"});
  EXPECT_TRUE(TestRegistry::KeyExists(TestRegistry::kRunKey));
  EXPECT_EQ(Names{}, TestRegistry::ValueNames(TestRegistry::kRunKey));
}

TEST_F(EndToEndTest, EmptyNameAppendsOneLineToTheLog) {
  TestDrive::WriteLog("earlier\r\n");
  RunTool({"", "x"});
  RunTool({"", "x"});
  EXPECT_EQ("earlier\r\nCannot delete value\r\nCannot delete value\r\n", TestDrive::LogBytes());
  EXPECT_EQ((Names{"Orvane", "Other"}), TestRegistry::ValueNames(TestRegistry::kRunKey));
}

TEST_F(EndToEndTest, MissingTempFolderIsNotCreated) {
  drive.emplace(/*withTempFolder=*/false);
  RunTool({"", "x"});
  EXPECT_FALSE(std::filesystem::exists(TestDrive::Local(TestDrive::kTempFolder)));
}

}  // namespace
}  // namespace Kestrova_Orvane
