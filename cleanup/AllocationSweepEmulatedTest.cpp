// Fails every allocation of a whole run in turn, for k = 1, 2, ... until a
// run no longer reaches k, in each scenario of the tool's use. Every run is
// a child process of its own, as a real run is: the log object lives as
// long as the process. Build machine only.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "cleanup/ProgramMain.h"
#include "platform/emulation/EmulatedDrive.h"
#include "platform/emulation/EmulatedRegistry.h"
#include "platform/emulation/EmulatedShell.h"
#include "tests/support/AllocationFailure.h"
#include "tests/support/CommandLineCase.h"
#include "tests/support/TestDrive.h"
#include "tests/support/ToolPaths.h"

namespace Kestrova_Orvane {
namespace {

using emulation::EmulatedDrive;
using emulation::EmulatedRegistry;
using emulation::EmulatedShell;
using test_support::AllocationFailure;
using test_support::kProductKey;
using test_support::kRunKey;

const std::string kUninstaller =
    "C:\\Program Files\\Kestrova\\Orvane\\" + std::string(40, 'u') + ".exe";
const std::string kUninstallerAsLaunched =
    "C:/Program Files/Kestrova/Orvane/" + std::string(40, 'u') + ".exe";
const std::string kOptions = "/S /norestart /log=C:\\Temp\\setup-log.txt";
const std::string kOptionsAsLaunched = "/S /norestart /log=C:/Temp/setup-log.txt";

struct Scenario {
  const char* name;
  std::vector<std::string> arguments;
  bool uninstallString;
  bool uninstallArgs;
};

// What one run did, as the child saw it.
struct Outcome {
  bool exited = false;
  int status = -1;
  bool struck = false;
  std::size_t openHandles = 0;
  std::vector<std::string> runValues;
  std::vector<std::pair<std::string, std::string>> launches;
  std::vector<std::string> logLines;
  std::string printed;
};

void Seed(const Scenario& scenario) {
  EmulatedRegistry& registry = EmulatedRegistry::Instance();
  registry.Reset();
  EmulatedShell::Instance().Reset();
  registry.SetString(kRunKey, "Orvane", "C:\\Program Files\\Kestrova\\Orvane\\OrvaneTray.exe");
  registry.SetString(kRunKey, "Other", "other.exe");
  registry.CreateKey(kProductKey);
  if (scenario.uninstallString) registry.SetString(kProductKey, "UninstallString", kUninstaller);
  if (scenario.uninstallArgs) registry.SetString(kProductKey, "UninstallArgs", kOptions);
}

// In the coverage build (scripts/coverage.sh), writes this process's
// coverage counts; a null address in every other build.
extern "C" void __gcov_dump() __attribute__((weak));

// Runs the scenario in a child process with the k-th allocation failing
// (none for k = 0), on a drive C: at `drive`.
Outcome RunScenario(const Scenario& scenario, long k, const std::filesystem::path& drive,
                    bool withTempFolder) {
  std::filesystem::remove_all(drive);
  std::filesystem::create_directories(withTempFolder ? drive / "Temp" : drive);
  const std::filesystem::path report = drive.string() + ".report";
  const std::filesystem::path printed = drive.string() + ".printed";

  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int output = ::open(printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(output, 1);
    dup2(output, 2);
    EmulatedDrive::Instance().SetRoot(drive.string());
    Seed(scenario);
    std::vector<std::string> arguments = scenario.arguments;
    arguments.insert(arguments.begin(), "KesOrvCleanup.exe");
    test_support::ArgumentVector argv(std::move(arguments));
    int status;
    bool struck;
    {
      std::optional<AllocationFailure> failure;
      if (k > 0) failure.emplace(k);
      status = ProgramMain(argv.Count(), argv.Values());
      struck = failure && failure->Struck();
    }
    std::ofstream out(report);
    out << status << ' ' << struck << ' ' << EmulatedRegistry::Instance().OpenHandleCount() << '\n';
    for (const std::string& name : EmulatedRegistry::Instance().ValueNames(kRunKey)) {
      out << "value " << name << '\n';
    }
    for (const auto& request : EmulatedShell::Instance().Requests()) {
      out << "file " << request.file.value_or("(null)") << '\n'
          << "parameters " << request.parameters.value_or("(null)") << '\n';
    }
    std::ifstream log(test_support::TestDrive::Local(test_support::kLogFile));
    for (std::string line; std::getline(log, line);) out << "log " << line << '\n';
    out.close();
    std::fflush(nullptr);
    if (__gcov_dump) __gcov_dump();  // _exit skips the coverage build's own write
    _exit(0);
  }

  Outcome outcome;
  int wait = 0;
  waitpid(child, &wait, 0);
  outcome.exited = WIFEXITED(wait) && WEXITSTATUS(wait) == 0;
  std::ifstream in(report);
  in >> outcome.status >> outcome.struck >> outcome.openHandles;
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    const std::size_t space = line.find(' ');
    const std::string kind = line.substr(0, space);
    const std::string text = line.substr(space + 1);
    if (kind == "value") outcome.runValues.push_back(text);
    if (kind == "file") outcome.launches.emplace_back(text, "");
    if (kind == "parameters") outcome.launches.back().second = text;
    if (kind == "log") outcome.logLines.push_back(text);
  }
  std::ifstream print(printed);
  outcome.printed.assign(std::istreambuf_iterator<char>(print), {});
  return outcome;
}

TEST(AllocationSweepEmulatedTest, EveryFailurePointEndsNormallyAndChangesNothingElse) {
  const Scenario scenarios[] = {
      {"removal, value present", {"Orvane", "x"}, true, true},
      {"removal, value missing", {"Missing", "x"}, true, true},
      {"removal, empty name", {"", "x"}, true, true},
      {"uninstall, both values", {}, true, true},
      {"uninstall, only UninstallString", {}, true, false},
      {"uninstall, only UninstallArgs", {}, false, true},
      {"uninstall, no values", {}, false, false},
  };
  const std::set<std::string> logTable = {"KesOrvCleanup::Init exception", "Cannot delete value",
                                          "ReadRegistry exception"};
  const std::filesystem::path drive =
      std::filesystem::temp_directory_path() / ("kesorv-sweep-" + std::to_string(getpid()));

  for (const Scenario& scenario : scenarios) {
    for (bool withTempFolder : {true, false}) {
      const std::string label = std::string(scenario.name) +
                                (withTempFolder ? ", C:\\Temp present" : ", C:\\Temp missing");
      SCOPED_TRACE(label);
      const Outcome clean = RunScenario(scenario, 0, drive, withTempFolder);
      ASSERT_TRUE(clean.exited);
      // Without a failure, only an empty name is logged, where the folder is.
      const bool logs =
          withTempFolder && !scenario.arguments.empty() && scenario.arguments[0] == "";
      EXPECT_EQ(logs ? std::vector<std::string>{"Cannot delete value"} : std::vector<std::string>{},
                clean.logLines);
      const std::vector<std::string> allRunValues = {"Orvane", "Other"};
      long k = 1;
      for (;; ++k) {
        SCOPED_TRACE("allocation " + std::to_string(k) + " fails");
        const Outcome run = RunScenario(scenario, k, drive, withTempFolder);
        ASSERT_TRUE(run.exited) << "the run did not end normally";
        EXPECT_EQ(0, run.status);
        EXPECT_EQ("", run.printed);
        EXPECT_EQ(0u, run.openHandles);
        if (!run.struck) {
          EXPECT_EQ(clean.runValues, run.runValues);
          EXPECT_EQ(clean.launches, run.launches);
          EXPECT_EQ(clean.logLines, run.logLines);
          break;
        }
        // Only the named value may go.
        for (const std::string& name : clean.runValues) {
          EXPECT_NE(run.runValues.end(),
                    std::find(run.runValues.begin(), run.runValues.end(), name));
        }
        for (const std::string& name : run.runValues) {
          EXPECT_NE(allRunValues.end(), std::find(allRunValues.begin(), allRunValues.end(), name));
        }
        // Only the stored texts or empty text reach the shell, at most once.
        EXPECT_LE(run.launches.size(), 1u);
        for (const auto& launch : run.launches) {
          EXPECT_TRUE(launch.first == kUninstallerAsLaunched || launch.first.empty())
              << launch.first;
          EXPECT_TRUE(launch.second == kOptionsAsLaunched || launch.second.empty())
              << launch.second;
          EXPECT_FALSE(launch.first.empty() && launch.second.empty());
        }
        // Lines from the log table only, and each where it can arise.
        int exceptionLines = 0;
        for (const std::string& line : run.logLines) {
          EXPECT_EQ(1u, logTable.count(line)) << line;
          exceptionLines += line.find("exception") != std::string::npos;
          if (line == "Cannot delete value") {
            EXPECT_EQ("", scenario.arguments.at(0));
          }
          if (line == "ReadRegistry exception") {
            EXPECT_TRUE(scenario.arguments.empty());
            EXPECT_TRUE(scenario.uninstallString || scenario.uninstallArgs)
                << "no text was read, so none was stored";
          }
        }
        EXPECT_LE(exceptionLines, 1);
        if (!withTempFolder) {
          EXPECT_EQ(std::vector<std::string>{}, run.logLines);
        }
        if (::testing::Test::HasFailure()) break;
      }
      std::printf("[ swept    ] %s: %ld failure points\n", label.c_str(), k - 1);
    }
  }
  std::filesystem::remove_all(drive);
  std::filesystem::remove(drive.string() + ".report");
  std::filesystem::remove(drive.string() + ".printed");
}

}  // namespace
}  // namespace Kestrova_Orvane
