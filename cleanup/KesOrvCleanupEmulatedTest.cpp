// Whole runs of the tool, in process, against the emulated registry and
// drive. Build machine only; tests/wine runs the real program under Wine.
#include "cleanup/KesOrvCleanup.h"

#include <optional>

#include <gtest/gtest.h>

#include "cleanup/ProgramMain.h"
#include "platform/emulation/EmulatedRegistry.h"
#include "tests/support/AllocationFailure.h"
#include "tests/support/TestDrive.h"

namespace Kestrova_Orvane {
namespace {

using emulation::EmulatedRegistry;
using testing::AllocationFailure;
using testing::TestDrive;
using Names = std::vector<std::string>;

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Runs the program as Windows would start it and checks what every run
// must do: exit with 0, print nothing, leave no registry key open. With
// `failingAllocation` n > 0, the run's n-th allocation fails; returns
// whether the run got that far.
bool RunProgram(std::vector<std::string> arguments, long failingAllocation = 0) {
  arguments.insert(arguments.begin(), "KesOrvCleanup.exe");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  int status = -1;
  bool struck = false;
  {
    std::optional<AllocationFailure> failure;
    if (failingAllocation > 0) failure.emplace(failingAllocation);
    status = ProgramMain(static_cast<int>(arguments.size()), argv.data());
    struck = failure && failure->Struck();
  }
  EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
  EXPECT_EQ("", ::testing::internal::GetCapturedStderr());
  EXPECT_EQ(0, status);
  EXPECT_EQ(0u, EmulatedRegistry::Instance().OpenHandleCount());
  return struck;
}

class KesOrvCleanupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.Reset();
    registry.SetString(kRunKey, "Orvane", "C:\\Program Files\\Orvane\\orvane.exe");
    registry.SetString(kRunKey, "Other", "other.exe");
  }
  bool TouchedRunKey() const {
    for (const std::string& call : registry.Calls()) {
      if (call.find("CurrentVersion\\Run") != std::string::npos) return true;
    }
    return false;
  }

  EmulatedRegistry& registry = EmulatedRegistry::Instance();
  TestDrive drive;
};

TEST_F(KesOrvCleanupTest, ArgumentCountChoosesTheMode) {
  struct Case {
    std::vector<std::string> arguments;
    Names runValuesAfter;
  };
  const Case cases[] = {
      {{}, {"Orvane", "Other"}},
      {{"Orvane"}, {"Orvane", "Other"}},
      {{"Orvane", "x"}, {"Other"}},
      {{"Orvane", "x", "y", "z"}, {"Other"}},
      {{"Other", "Orvane"}, {"Orvane"}},
      {{"orvane", ""}, {"Other"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    SetUp();
    RunProgram(c.arguments);
    EXPECT_EQ(c.runValuesAfter, registry.ValueNames(kRunKey));
    EXPECT_EQ(c.arguments.size() >= 2, TouchedRunKey());
  }
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupTest, MissingRunKeyIsCreatedEmpty) {
  registry.Reset();
  RunProgram({"Orvane", "x"});
  EXPECT_TRUE(registry.KeyExists(kRunKey));
  EXPECT_EQ(Names{}, registry.ValueNames(kRunKey));
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupTest, RunKeyNotGrantingReadAndWriteChangesAndLogsNothing) {
  registry.SetGrantedAccess(kRunKey, KEY_READ);
  for (const char* name : {"Orvane", ""}) {
    SCOPED_TRACE(name);
    RunProgram({name, "x"});
    EXPECT_EQ((Names{"Orvane", "Other"}), registry.ValueNames(kRunKey));
  }
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupTest, EmptyNameIsLoggedOnceTheRunKeyOpened) {
  RunProgram({"", "x"});
  EXPECT_EQ((Names{"Orvane", "Other"}), registry.ValueNames(kRunKey));
  EXPECT_EQ(TestDrive::Lines({"Cannot delete value"}), TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupTest, ExceptionInsideTheWorkIsLoggedAndContained) {
  // The first allocation of the run is the Run key path inside Init.
  EXPECT_TRUE(RunProgram({"Orvane", "x"}, /*failingAllocation=*/1));
  EXPECT_EQ((Names{"Orvane", "Other"}), registry.ValueNames(kRunKey));
  EXPECT_EQ(TestDrive::Lines({"KesOrvCleanup::Init exception"}), TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupTest, ExceptionBeforeTheWorkIsDroppedSilently) {
  const std::string longName(100, 'N');
  // The first allocation of the run copies the long name from the command line.
  EXPECT_TRUE(RunProgram({longName, "x"}, /*failingAllocation=*/1));
  EXPECT_EQ(Names{}, registry.Calls());
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

}  // namespace
}  // namespace Kestrova_Orvane
