// The built KesOrvCleanup.exe, run as a child process under Wine, against
// the prefix's real registry (the 32-bit view, as this test program is
// 32-bit too) and its drive C:.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include <gtest/gtest.h>

#include "tests/support/CommandLineCase.h"
#include "tests/support/TestDrive.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/ToolPaths.h"
#include "tests/wine/ChildProcess.h"
#include "tests/wine/UnicodeRegistry.h"

// After platform/WinApi.h, which brings in <windows.h>: this header needs its types.
#include <tlhelp32.h>

namespace Kestrova_Orvane {
namespace {

using test_support::ChildProcess;
using test_support::ChildResult;
using test_support::kProductKey;
using test_support::kRunKey;
using test_support::kWideProductKey;
using test_support::kWideRunKey;
using test_support::TestDrive;
using test_support::TestRegistry;
using test_support::UnicodeRegistry;
using Names = std::vector<std::string>;
using WideNames = std::vector<std::wstring>;

// Where the product installs its uninstaller: a path with spaces and
// backslashes, as an installer writes it.
const std::filesystem::path kProductFolder = L"C:\\Program Files\\Kestrova\\Orvane";

// Every run must exit with 0 and print nothing.
void ExpectQuietRun(const ChildResult& run) {
  ASSERT_TRUE(run.started);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("", run.output);
}

const std::wstring kTool = L"KesOrvCleanup.exe";

void RunTool(const std::vector<std::string>& arguments) {
  ExpectQuietRun(ChildProcess::Run(ChildProcess::BesideThisProgram(kTool), arguments));
}

// With a Unicode command line, as installers start programs.
void RunToolUnicode(const std::vector<std::wstring>& arguments) {
  ExpectQuietRun(ChildProcess::Run(ChildProcess::BesideThisProgram(kTool), arguments));
}

std::optional<std::string> FileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Whether `done` comes true within `seconds`, asked every tenth of a second.
// The seconds are those of Wine running natively, times the time scale that
// ctest passes on (tests/wine-runner/wine-mode.sh).
bool WaitUntil(const std::function<bool()>& done, int seconds = 20) {
  char scale[8] = "1";
  GetEnvironmentVariableA("KESORV_WINE_TIME_SCALE", scale, sizeof scale);
  const int tenths = seconds * 10 * std::max(1, std::atoi(scale));
  for (int waited = 0; !done(); ++waited) {
    if (waited == tenths) return false;
    Sleep(/*dwMilliseconds=*/100);
  }
  return true;
}

// How many processes run the program file named `fileName`.
int ProcessesNamed(const wchar_t* fileName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, /*th32ProcessID=*/0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, fileName) == 0) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

// A stand-in uninstaller (ArgumentRecorder.cpp) installed at `path`. It
// records how it was started and waits to be released.
class StandIn {
 public:
  explicit StandIn(std::filesystem::path installedAt) : path(std::move(installedAt)) {
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::copy_file(ChildProcess::BesideThisProgram(L"kesorv_argument_recorder.exe"),
                               path);
  }
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;
  // Lets a stand-in still waiting end, and waits until it has, so that its
  // folder can be removed.
  ~StandIn() {
    Release();
    WaitUntilNotRunning();
  }

  // What the stand-in left in `<path><suffix>`, once it is there.
  std::optional<std::string> WaitFor(const wchar_t* suffix) const {
    std::optional<std::string> bytes;
    WaitUntil([&] { return (bytes = FileBytes(path.wstring() + suffix)).has_value(); });
    return bytes;
  }
  bool Left(const wchar_t* suffix) const {
    return std::filesystem::exists(path.wstring() + suffix);
  }
  void Release() const {
    std::ofstream(std::filesystem::path(path.wstring() + L".release")) << "go\n";
  }
  // Releases a started stand-in and waits until it has ended, for the next run.
  void ReleaseAndWaitUntilEnded() const {
    Release();
    EXPECT_NE(std::nullopt, WaitFor(L".ended"));
    WaitUntilNotRunning();
    for (const wchar_t* suffix : {L".record", L".release", L".ended"}) {
      std::filesystem::remove(path.wstring() + suffix);
    }
  }
  // Processes are told apart by this name alone: stand-ins that live at the
  // same time need names of their own.
  std::wstring FileName() const { return path.filename().wstring(); }

  const std::filesystem::path path;

 private:
  void WaitUntilNotRunning() const {
    WaitUntil([&] { return ProcessesNamed(FileName().c_str()) == 0; });
  }
};

class EndToEndWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SeedRunKey();
    RemoveProduct();
  }
  void TearDown() override { RemoveProduct(); }
  static void RemoveProduct() {
    TestRegistry::DeleteTree(kProductKey);
    std::error_code ignored;
    std::filesystem::remove_all(kProductFolder.parent_path(), ignored);
  }
  static void SeedRunKey() {
    TestRegistry::DeleteTree(kRunKey);
    TestRegistry::SetString(kRunKey, "Orvane", "C:\\Program Files\\Orvane\\orvane.exe");
    TestRegistry::SetString(kRunKey, "Other", "other.exe");
  }
  std::optional<TestDrive> drive{std::in_place};
};

TEST_F(EndToEndWindowsTest, ArgumentCountChoosesTheMode) {
  const StandIn uninstaller(kProductFolder / L"uninstall.exe");
  UnicodeRegistry::SetString(kWideProductKey, L"UninstallString", uninstaller.path.wstring());
  UnicodeRegistry::SetString(kWideProductKey, L"UninstallArgs", L"/S");
  for (const test_support::CommandLineCase& c : test_support::ModeCommandLines()) {
    SCOPED_TRACE(c.label);
    SeedRunKey();
    RunTool(c.arguments);
    EXPECT_EQ(c.runValuesAfter, TestRegistry::ValueNames(kRunKey));
    // The shell has started the uninstaller by the time the tool ends, and
    // it waits to be released.
    EXPECT_EQ(c.startsUninstaller ? 1 : 0, ProcessesNamed(uninstaller.FileName().c_str()));
    if (c.startsUninstaller) {
      EXPECT_EQ("show: 0\nargument: /S\n", uninstaller.WaitFor(L".record"));
      uninstaller.ReleaseAndWaitUntilEnded();
    }
  }
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(EndToEndWindowsTest, MissingRunKeyIsCreatedEmpty) {
  TestRegistry::DeleteTree(kRunKey);
  RunTool({"Orvane", "x"});
  EXPECT_TRUE(TestRegistry::KeyExists(kRunKey));
  EXPECT_EQ(Names{}, TestRegistry::ValueNames(kRunKey));
}

TEST_F(EndToEndWindowsTest, EmptyNameAppendsOneLineToTheLog) {
  TestDrive::WriteLog("earlier\r\n");
  RunTool({"", "x"});
  RunTool({"", "x"});
  EXPECT_EQ("earlier\r\nCannot delete value\r\nCannot delete value\r\n", TestDrive::LogBytes());
  EXPECT_EQ((Names{"Orvane", "Other"}), TestRegistry::ValueNames(kRunKey));
}

TEST_F(EndToEndWindowsTest, MissingTempFolderIsNotCreated) {
  drive.emplace(/*withTempFolder=*/false);
  RunTool({"", "x"});
  EXPECT_FALSE(std::filesystem::exists(TestDrive::Local(test_support::kLogFolder)));
}

TEST_F(EndToEndWindowsTest, HostileCommandLinesTouchOnlyTheNamedValue) {
  const StandIn uninstaller(kProductFolder / L"uninstall.exe");
  UnicodeRegistry::SetString(kWideProductKey, L"UninstallString", uninstaller.path.wstring());
  for (const test_support::CommandLineCase& c : test_support::HostileCommandLines()) {
    SCOPED_TRACE(c.label);
    TestRegistry::DeleteTree(kRunKey);
    for (const std::string& name : test_support::HostileRunValues()) {
      TestRegistry::SetString(kRunKey, name, "x.exe");
    }
    RunTool(c.arguments);
    EXPECT_EQ(c.runValuesAfter, TestRegistry::ValueNames(kRunKey));
    EXPECT_EQ(0, ProcessesNamed(uninstaller.FileName().c_str()));
  }
  EXPECT_EQ(TestDrive::Lines({"Cannot delete value"}), TestDrive::LogBytes());
}

// A name outside the system's code page must not reach the registry as its
// lookalike (Lukasz for Łukasz), which may be another program's entry.
TEST_F(EndToEndWindowsTest, NamesOutsideTheCodePageDeleteExactlyThatValue) {
  const std::wstring names[] = {L"Łukasz", L"東京の設定", L"Ōrvane"};
  for (const std::wstring& name : names) {
    const std::wstring lookalike = test_support::ThroughCodePage1252(name);
    SCOPED_TRACE(test_support::Utf8(name) + " beside " + test_support::Utf8(lookalike));
    ASSERT_NE(name, lookalike);
    TestRegistry::DeleteTree(kRunKey);
    for (const std::wstring& present : {name, lookalike, std::wstring(L"Other")}) {
      UnicodeRegistry::SetString(kWideRunKey, present, L"x.exe");
    }
    RunToolUnicode({name, L"x"});
    WideNames expected = {lookalike, L"Other"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, UnicodeRegistry::ValueNames(kWideRunKey));
  }
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(EndToEndWindowsTest, LineIsAppendedWhileAnotherProcessHoldsTheLogForWriting) {
  TestDrive::WriteLog("held\r\n");
  HANDLE held =
      CreateFileA(test_support::kLogFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                  /*hTemplateFile=*/nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  RunTool({"", "x"});
  CloseHandle(held);
  EXPECT_EQ("held\r\nCannot delete value\r\n", TestDrive::LogBytes());
}

TEST_F(EndToEndWindowsTest, StartsTheUninstallerHiddenWithItsParametersAndDoesNotWait) {
  const StandIn uninstaller(kProductFolder / L"uninstall.exe");
  UnicodeRegistry::SetString(kWideProductKey, L"UninstallString", uninstaller.path.wstring());
  UnicodeRegistry::SetString(kWideProductKey, L"UninstallArgs", L"/S /norestart");
  RunTool({});
  // The tool has ended while the uninstaller waits to be released.
  EXPECT_EQ("show: 0\nargument: /S\nargument: /norestart\n", uninstaller.WaitFor(L".record"));
  EXPECT_FALSE(uninstaller.Left(L".ended"));
  uninstaller.Release();
  EXPECT_NE(std::nullopt, uninstaller.WaitFor(L".ended"));
  EXPECT_EQ((Names{"Orvane", "Other"}), TestRegistry::ValueNames(kRunKey));
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

TEST_F(EndToEndWindowsTest, WithoutParametersTheUninstallerGetsNone) {
  const StandIn uninstaller(kProductFolder / L"uninstall.exe");
  UnicodeRegistry::SetString(kWideProductKey, L"UninstallString", uninstaller.path.wstring());
  TestRegistry::SetValue(kProductKey, "UninstallArgs", REG_DWORD, std::string(4, '\0'));
  uninstaller.Release();
  RunTool({"one argument"});
  EXPECT_EQ("show: 0\n", uninstaller.WaitFor(L".record"));
  EXPECT_NE(std::nullopt, uninstaller.WaitFor(L".ended"));
}

// Text outside the system's code page reaches the shell exactly, and a
// lookalike program planted where its best-fit path leads never runs. The
// read buffer of 512 bytes holds 511 bytes of UTF-8 and the terminating zero.
TEST_F(EndToEndWindowsTest, UninstallTextOutsideTheCodePageIsUsedExactly) {
  const std::wstring ell(255, L'Ł');  // 510 bytes of UTF-8
  struct Case {
    const char* label;
    std::filesystem::path uninstaller;
    std::wstring parameters;
    std::string recorded;
  };
  const Case cases[] = {
      {"path and parameters", kProductFolder / L"Łódź" / L"Ōrvane uninstall.exe",
       L"/S /user=Łukasz /dir=C:\\東京",
       "show: 0\nargument: /S\nargument: /user=Łukasz\n"
       "argument: /dir=C:/東京\n"},
      {"511 bytes of parameters", kProductFolder / L"uninstall.exe", ell + L"a",
       "show: 0\nargument: " + test_support::Utf8(ell) + "a\n"},
      {"512 bytes of parameters are not read", kProductFolder / L"uninstall.exe", ell + L"ab",
       "show: 0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::filesystem::remove_all(kProductFolder);
    const StandIn uninstaller(c.uninstaller);
    const std::filesystem::path lookalikePath =
        test_support::ThroughCodePage1252(c.uninstaller.wstring());
    std::optional<StandIn> lookalike;
    if (lookalikePath != c.uninstaller) lookalike.emplace(lookalikePath);
    UnicodeRegistry::SetString(kWideProductKey, L"UninstallString", c.uninstaller.wstring());
    UnicodeRegistry::SetString(kWideProductKey, L"UninstallArgs", c.parameters);

    RunToolUnicode({});
    // Whichever started has written its record soon after.
    WaitUntil(
        [&] { return uninstaller.Left(L".record") || (lookalike && lookalike->Left(L".record")); });
    if (lookalike && lookalike->Left(L".record")) {
      ADD_FAILURE() << "the lookalike ran";
      continue;
    }
    EXPECT_EQ(c.recorded, uninstaller.WaitFor(L".record"));
    uninstaller.ReleaseAndWaitUntilEnded();
  }
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
}

}  // namespace
}  // namespace Kestrova_Orvane
