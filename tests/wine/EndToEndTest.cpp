// The built KesOrvCleanup.exe, run as a child process under Wine, against
// the prefix's real registry (the 32-bit view, as this test program is
// 32-bit too) and its drive C:.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "tests/support/CommandLineCase.h"
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
  for (const testing::CommandLineCase& c : testing::ModeCommandLines()) {
    SCOPED_TRACE(c.label);
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

TEST_F(EndToEndTest, HostileCommandLinesTouchOnlyTheNamedValue) {
  for (const testing::CommandLineCase& c : testing::HostileCommandLines()) {
    SCOPED_TRACE(c.label);
    TestRegistry::DeleteTree(TestRegistry::kRunKey);
    for (const std::string& name : testing::HostileRunValues()) {
      TestRegistry::SetString(TestRegistry::kRunKey, name, "x.exe");
    }
    RunTool(c.arguments);
    EXPECT_EQ(c.runValuesAfter, TestRegistry::ValueNames(TestRegistry::kRunKey));
  }
  EXPECT_EQ(TestDrive::Lines({"Cannot delete value"}), TestDrive::LogBytes());
}

TEST_F(EndToEndTest, LineIsAppendedWhileAnotherProcessHoldsTheLogForWriting) {
  TestDrive::WriteLog("held\r\n");
  HANDLE held = CreateFileA(TestDrive::kLogFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            /*hTemplateFile=*/nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  RunTool({"", "x"});
  CloseHandle(held);
  EXPECT_EQ("held\r\nCannot delete value\r\n", TestDrive::LogBytes());
}

// A stand-in uninstaller installed where the product's would be; a path
// with spaces and backslashes, as an installer writes it.
class UninstallEndToEndTest : public EndToEndTest {
 protected:
  static constexpr char kProductKey[] = "SOFTWARE\\Kestrova\\Orvane";
  static constexpr char kFolder[] = "C:\\Program Files\\Kestrova\\Orvane";
  const std::string uninstaller = std::string(kFolder) + "\\uninstall.exe";

  void SetUp() override {
    EndToEndTest::SetUp();
    TestRegistry::DeleteTree(kProductKey);
    std::filesystem::remove_all(TestDrive::Local(kFolder));
    std::filesystem::create_directories(TestDrive::Local(kFolder));
    ASSERT_TRUE(CopyFileA(ChildProcess::BesideThisProgram("kesorv_argument_recorder.exe").c_str(),
                          uninstaller.c_str(), /*bFailIfExists=*/TRUE));
  }
  void TearDown() override {
    Release();
    TestRegistry::DeleteTree(kProductKey);
  }
  // Waits up to a minute for the stand-in to leave `suffix` behind.
  std::optional<std::string> WaitFor(const std::string& suffix) const {
    for (int waited = 0; waited < 600; ++waited) {
      std::ifstream file(uninstaller + suffix, std::ios::binary);
      if (file) return std::string(std::istreambuf_iterator<char>(file), {});
      Sleep(100);
    }
    return std::nullopt;
  }
  void Release() const { std::ofstream(uninstaller + ".release") << "go\n"; }
};

TEST_F(UninstallEndToEndTest, StartsTheUninstallerHiddenWithItsParametersAndDoesNotWait) {
  TestRegistry::SetString(kProductKey, "UninstallString", uninstaller);
  TestRegistry::SetString(kProductKey, "UninstallArgs", "/S /norestart");
  RunTool({});
  // The tool has ended while the uninstaller waits to be released.
  EXPECT_EQ("show: 0\nargument: /S\nargument: /norestart\n", WaitFor(".record"));
  EXPECT_FALSE(std::filesystem::exists(TestDrive::Local(uninstaller + ".ended")));
  Release();
  EXPECT_NE(std::nullopt, WaitFor(".ended"));
  EXPECT_EQ((Names{"Orvane", "Other"}), TestRegistry::ValueNames(TestRegistry::kRunKey));
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(UninstallEndToEndTest, WithoutParametersTheUninstallerGetsNone) {
  TestRegistry::SetString(kProductKey, "UninstallString", uninstaller);
  TestRegistry::SetValue(kProductKey, "UninstallArgs", REG_DWORD, std::string(4, '\0'));
  Release();
  RunTool({"one argument"});
  EXPECT_EQ("show: 0\n", WaitFor(".record"));
  EXPECT_NE(std::nullopt, WaitFor(".ended"));
}

}  // namespace
}  // namespace Kestrova_Orvane
