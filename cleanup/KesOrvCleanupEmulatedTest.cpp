// Whole runs of the tool, in process, against the emulated registry and
// drive. Build machine only; tests/wine runs the real program under Wine.
#include "cleanup/KesOrvCleanup.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>

#include <gtest/gtest.h>

#include "cleanup/ProgramMain.h"
#include "platform/emulation/EmulatedRegistry.h"
#include "platform/emulation/EmulatedShell.h"
#include "tests/support/AllocationFailure.h"
#include "tests/support/CommandLineCase.h"
#include "tests/support/TestDrive.h"
#include "tests/support/ToolPaths.h"

namespace Kestrova_Orvane {
namespace {

using emulation::EmulatedRegistry;
using emulation::EmulatedShell;
using emulation::HiddenOpen;
using emulation::ShellRequest;
using test_support::AllocationFailure;
using test_support::kProductKey;
using test_support::kRunKey;
using test_support::TestDrive;
using Names = std::vector<std::string>;
using Calls = std::vector<std::string>;
using Launches = std::vector<ShellRequest>;

constexpr char kUninstaller[] = "C:\\Program Files\\Kestrova\\Orvane\\uninstall.exe";
constexpr char kUninstallerAsLaunched[] = "C:/Program Files/Kestrova/Orvane/uninstall.exe";

// Runs the program as Windows would start it and checks what every run
// must do: exit with 0, print nothing, leave no registry key open. With
// `failingAllocation` n > 0, the run's n-th allocation of at least
// `minimumSize` bytes fails; returns whether the run got that far.
bool RunProgram(std::vector<std::string> arguments, long failingAllocation = 0,
                std::size_t minimumSize = 0) {
  arguments.insert(arguments.begin(), "KesOrvCleanup.exe");
  test_support::ArgumentVector argv(std::move(arguments));
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  int status = -1;
  bool struck = false;
  {
    std::optional<AllocationFailure> failure;
    if (failingAllocation > 0) failure.emplace(failingAllocation, minimumSize);
    status = ProgramMain(argv.Count(), argv.Values());
    struck = failure && failure->Struck();
  }
  EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
  EXPECT_EQ("", ::testing::internal::GetCapturedStderr());
  EXPECT_EQ(0, status);
  EXPECT_EQ(0u, EmulatedRegistry::Instance().OpenHandleCount());
  return struck;
}

class KesOrvCleanupEmulatedTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFresh(); }
  // The registry and shell every case starts from: a Run key of two values,
  // nothing else, no call recorded.
  void StartFresh() {
    registry.Reset();
    EmulatedShell::Instance().Reset();
    registry.SetString(kRunKey, "Orvane", "C:\\Program Files\\Orvane\\orvane.exe");
    registry.SetString(kRunKey, "Other", "other.exe");
  }
  bool TouchedRunKey() const {
    for (const std::string& call : registry.Calls()) {
      if (call.find(kRunKey) != std::string::npos) return true;
    }
    return false;
  }

  const Launches& launches() const { return EmulatedShell::Instance().Requests(); }

  EmulatedRegistry& registry = EmulatedRegistry::Instance();
  TestDrive drive;
};

TEST_F(KesOrvCleanupEmulatedTest, ArgumentCountChoosesTheMode) {
  for (const test_support::CommandLineCase& c : test_support::ModeCommandLines()) {
    SCOPED_TRACE(c.label);
    StartFresh();
    registry.SetString(kProductKey, "UninstallString", kUninstaller);
    registry.SetString(kProductKey, "UninstallArgs", "/S");
    RunProgram(c.arguments);
    EXPECT_EQ(c.runValuesAfter, registry.ValueNames(kRunKey));
    EXPECT_EQ(!c.startsUninstaller, TouchedRunKey());
    EXPECT_EQ(c.startsUninstaller ? Launches{HiddenOpen(kUninstallerAsLaunched, "/S")} : Launches{},
              launches());
  }
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupEmulatedTest, MissingRunKeyIsCreatedEmpty) {
  registry.Reset();
  RunProgram({"Orvane", "x"});
  EXPECT_TRUE(registry.KeyExists(kRunKey));
  EXPECT_EQ(Names{}, registry.ValueNames(kRunKey));
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupEmulatedTest, RunKeyNotGrantingReadAndWriteChangesAndLogsNothing) {
  registry.SetGrantedAccess(kRunKey, KEY_READ);
  for (const char* name : {"Orvane", ""}) {
    SCOPED_TRACE(name);
    RunProgram({name, "x"});
    EXPECT_EQ((Names{"Orvane", "Other"}), registry.ValueNames(kRunKey));
  }
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupEmulatedTest, EmptyNameIsLoggedOnceTheRunKeyOpened) {
  RunProgram({"", "x"});
  EXPECT_EQ((Names{"Orvane", "Other"}), registry.ValueNames(kRunKey));
  EXPECT_EQ(TestDrive::Lines({"Cannot delete value"}), TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupEmulatedTest, UninstallRunReadsBothValuesAndStartsTheUninstallerHidden) {
  registry.SetString(kProductKey, "UninstallString", kUninstaller);
  registry.SetString(kProductKey, "UninstallArgs", "/S /norestart");
  RunProgram({});
  EXPECT_EQ(
      (Calls{
          R"(RegOpenKeyExA(HKLM, ")" + std::string(kProductKey) + R"(", 0x0, 0xf003f) -> h1 = 0)",
          R"(RegQueryValueExA(h1, "UninstallString", NULL, &type, buffer, 512) = 0)",
          R"(RegOpenKeyExA(HKLM, ")" + std::string(kProductKey) + R"(", 0x0, 0xf003f) -> h2 = 0)",
          R"(RegCloseKey(h1) = 0)",
          R"(RegQueryValueExA(h2, "UninstallArgs", NULL, &type, buffer, 512) = 0)",
          R"(RegCloseKey(h2) = 0)",
      }),
      registry.Calls());
  EXPECT_EQ(Launches{HiddenOpen(kUninstallerAsLaunched, "/S /norestart")}, launches());
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupEmulatedTest, WhatIsStartedForTheStoredValues) {
  struct Stored {
    DWORD type;
    std::string bytes;
  };
  const Stored path{REG_SZ, std::string(kUninstaller) + '\0'};
  const Stored options{REG_SZ, std::string("/S", 3)};
  const Stored empty{REG_SZ, std::string("", 1)};
  struct Case {
    const char* label;
    std::optional<Stored> uninstallString;
    std::optional<Stored> uninstallArgs;
    Launches launched;
  };
  const Case cases[] = {
      {"both", path, options, {HiddenOpen(kUninstallerAsLaunched, "/S")}},
      {"neither", std::nullopt, std::nullopt, {}},
      {"both empty", empty, empty, {}},
      {"only the parameters", std::nullopt, options, {HiddenOpen("", "/S")}},
      // The parameters must not repeat the path read before them.
      {"only the path", path, std::nullopt, {HiddenOpen(kUninstallerAsLaunched, "")}},
      {"path not a string",
       Stored{REG_DWORD, std::string(4, '\1')},
       options,
       {HiddenOpen("", "/S")}},
      {"parameters unterminated",
       path,
       Stored{REG_SZ, "/S"},
       {HiddenOpen(kUninstallerAsLaunched, "")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    StartFresh();
    registry.CreateKey(kProductKey);
    if (c.uninstallString) {
      registry.SetValue(kProductKey, "UninstallString", c.uninstallString->type,
                        {c.uninstallString->bytes.begin(), c.uninstallString->bytes.end()});
    }
    if (c.uninstallArgs) {
      registry.SetValue(kProductKey, "UninstallArgs", c.uninstallArgs->type,
                        {c.uninstallArgs->bytes.begin(), c.uninstallArgs->bytes.end()});
    }
    RunProgram({"ignored"});
    EXPECT_EQ(c.launched, launches());
    EXPECT_FALSE(TouchedRunKey());
  }
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

// The README's forms of the uninstall command, started as Windows starts
// them (docs/windows-behaviour.md). Windows' shell expands no environment
// reference in the file it opens, so a REG_EXPAND_SZ path that depends on
// one starts nothing, though Wine's shell starts it.
TEST_F(KesOrvCleanupEmulatedTest, UninstallCommandFormsStartAsOnWindows) {
  constexpr char kInstalled[] = "C:\\Program Files (x86)\\Kestrova\\Orvane\\uninstall.exe";
  constexpr char kMsiexec[] = "C:\\Windows\\SysWOW64\\msiexec.exe";
  for (const char* program : {kInstalled, kMsiexec}) {
    const std::filesystem::path local = TestDrive::Local(program);
    std::filesystem::create_directories(local.parent_path());
    std::ofstream(local).put('x');
  }
  // Set, so that only leaving the reference unexpanded keeps it unfound.
  ASSERT_EQ(0, setenv("ProgramFiles(x86)", "C:\\Program Files (x86)", /*overwrite=*/1));
  const std::string quoted = std::string("\"") + kInstalled + '"';
  struct Case {
    const char* label;
    DWORD type;
    std::string uninstallString;
    const char* uninstallArgs;
    Names started;
  };
  const Case cases[] = {
      {"quoted path", REG_SZ, quoted, "/S", {kInstalled}},
      {"unquoted path with spaces", REG_SZ, kInstalled, "/S", {kInstalled}},
      {"path and switches together", REG_SZ, quoted + " /S", "", {}},
      {"environment reference",
       REG_EXPAND_SZ,
       "%ProgramFiles(x86)%\\Kestrova\\Orvane\\uninstall.exe",
       "/S",
       {}},
      {"msiexec by its full path",
       REG_SZ,
       kMsiexec,
       "/x {0E5C5D8F-0000-0000-0000-000000000000} /qn /norestart",
       {kMsiexec}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    StartFresh();
    const std::string bytes = c.uninstallString + '\0';
    registry.SetValue(kProductKey, "UninstallString", c.type, {bytes.begin(), bytes.end()});
    registry.SetString(kProductKey, "UninstallArgs", c.uninstallArgs);
    RunProgram({});
    EXPECT_EQ(1u, launches().size());
    EXPECT_EQ(c.started, EmulatedShell::Instance().Started());
  }
  unsetenv("ProgramFiles(x86)");
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupEmulatedTest, ProductKeyMissingOrNotGrantingFullAccessStartsNothing) {
  RunProgram({});
  EXPECT_EQ(Launches{}, launches());

  registry.SetString(kProductKey, "UninstallString", kUninstaller);
  registry.SetString(kProductKey, "UninstallArgs", "/S");
  registry.SetGrantedAccess(kProductKey, KEY_READ);
  RunProgram({});
  EXPECT_EQ(Launches{}, launches());
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupEmulatedTest, ExceptionWhileStoringTheTextIsLoggedAndTheBranchGoesOn) {
  // Long enough that storing it is the run's first large allocation.
  const std::string longPath = "C:\\" + std::string(300, 'u') + ".exe";
  registry.SetString(kProductKey, "UninstallString", longPath);
  registry.SetString(kProductKey, "UninstallArgs", "/S");
  EXPECT_TRUE(RunProgram({}, /*failingAllocation=*/1, /*minimumSize=*/300));
  EXPECT_EQ(Launches{HiddenOpen("", "/S")}, launches());
  EXPECT_EQ(TestDrive::Lines({"ReadRegistry exception"}), TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupEmulatedTest, ExceptionElsewhereInTheBranchEndsIt) {
  registry.SetString(kProductKey, "UninstallString", kUninstaller);
  registry.SetString(kProductKey, "UninstallArgs", "/S");
  // The first allocation of the run is the product key path inside Init.
  EXPECT_TRUE(RunProgram({}, /*failingAllocation=*/1));
  EXPECT_EQ(Launches{}, launches());
  EXPECT_EQ(TestDrive::Lines({"KesOrvCleanup::Init exception"}), TestDrive::LogBytes());
}

TEST_F(KesOrvCleanupEmulatedTest, HostileCommandLinesTouchOnlyTheNamedValue) {
  for (const test_support::CommandLineCase& c : test_support::HostileCommandLines()) {
    SCOPED_TRACE(c.label);
    registry.Reset();
    for (const std::string& name : test_support::HostileRunValues()) {
      registry.SetString(kRunKey, name, "x.exe");
    }
    registry.SetString(kProductKey, "UninstallString", kUninstaller);
    RunProgram(c.arguments);
    Names after = registry.ValueNames(kRunKey);
    std::sort(after.begin(), after.end());
    EXPECT_EQ(c.runValuesAfter, after);
    EXPECT_EQ(Launches{}, launches());
  }
  EXPECT_EQ(TestDrive::Lines({"Cannot delete value"}), TestDrive::LogBytes());
}

}  // namespace
}  // namespace Kestrova_Orvane
