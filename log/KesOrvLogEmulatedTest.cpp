// The log and links planted on drive C:, before the run and while the log
// checks. Build machine only: a symbolic link in the folder that stands for
// C: is what a junction or a symbolic link is on Windows, and the
// emulation lets a test act between two calls. Each test runs in a process
// of its own.
#include "log/KesOrvLog.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include <gtest/gtest.h>

#include "log/LogFileHold.h"
#include "platform/WinApi.h"
#include "platform/emulation/EmulatedDrive.h"
#include "tests/support/TestDrive.h"

namespace Kestrova_Orvane {
namespace {

using emulation::EmulatedDrive;
using emulation::FileCall;
using test_support::TestDrive;

std::string Read(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(KesOrvLogEmulatedTest, LinkAtTheTempFolderIsNotFollowed) {
  TestDrive drive(/*withTempFolder=*/false);
  const std::filesystem::path target = TestDrive::Local("C:\\Elsewhere");
  std::filesystem::create_directory(target);
  std::filesystem::create_directory_symlink(target, TestDrive::Local(test_support::kLogFolder));
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("Cannot delete value");
  EXPECT_TRUE(std::filesystem::is_empty(target));
}

TEST(KesOrvLogEmulatedTest, LinkInPlaceOfTheLogFileIsNotFollowed) {
  TestDrive drive;
  const std::filesystem::path victim = TestDrive::Local("C:\\Windows\\system.ini");
  std::filesystem::create_directory(victim.parent_path());
  std::ofstream(victim) << "[precious]\n";
  std::filesystem::create_symlink(victim, TestDrive::Local(test_support::kLogFile));
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("Cannot delete value");
  EXPECT_EQ("[precious]\n", Read(victim));
}

// A file of someone else's, named like the log, in a folder that a junction
// at C:\Temp may point to.
constexpr char kVictim[] = "C:\\Elsewhere\\KesOrvLog.log";

// The plants: each takes the place of a name the log has checked, or is
// about to open, with a link to the victim. A name is removed or renamed
// through the Win32 API, where the log's held handles bind it; the link is
// made on the folder that stands for C:. Each returns whether it took the
// name's place.
bool ReplaceLogFile(void (*link)(const std::filesystem::path&, const std::filesystem::path&)) {
  const std::filesystem::path log = TestDrive::Local(test_support::kLogFile);
  if (std::filesystem::exists(std::filesystem::symlink_status(log)) &&
      !DeleteFileA(test_support::kLogFile)) {
    return false;
  }
  link(TestDrive::Local(kVictim), log);
  return true;
}
bool SymbolicLinkAtLogFile() {
  return ReplaceLogFile(
      [](const auto& to, const auto& at) { std::filesystem::create_symlink(to, at); });
}
bool HardLinkAtLogFile() {
  return ReplaceLogFile(
      [](const auto& to, const auto& at) { std::filesystem::create_hard_link(to, at); });
}
// C:\Temp, once its folder has gone, as a link to the victim's folder.
void LinkTempToTheVictimsFolder() {
  std::filesystem::create_directory_symlink(TestDrive::Local("C:\\Elsewhere"),
                                            TestDrive::Local(test_support::kLogFolder));
}
bool JunctionAtTempFolder() {
  if (!MoveFileExA(test_support::kLogFolder, "C:\\TempAway", /*dwFlags=*/0)) return false;
  LinkTempToTheVictimsFolder();
  return true;
}
// Windows lets whoever may write an empty folder's attributes make it a
// junction where it stands, which holding the folder does not bind. Here
// the held folder moves aside, outside the Win32 API, and a link takes its
// name.
bool TempMadeAJunctionInPlace() {
  const std::filesystem::path temp = TestDrive::Local(test_support::kLogFolder);
  if (!std::filesystem::is_empty(temp)) return false;
  std::filesystem::rename(temp, TestDrive::Local("C:\\TempAsHeld"));
  LinkTempToTheVictimsFolder();
  return true;
}

// The plant runs right after the `nth` call of `call`.
struct CheckStep {
  FileCall call;
  int nth;
};

struct RaceCase {
  const char* name;
  CheckStep after;
  bool (*plant)();
  // Whether the plant takes the name's place. Either way the victim stays
  // as it was; where the plant fails, the line reaches the real log.
  bool planted;
};

// The log checks C:\Temp by name, then through a handle; then the log
// file the same way; then the file's check handle closes, the first handle
// to close, once the stream has opened the file.
constexpr CheckStep kFolderName{FileCall::GetFileAttributes, 1};
constexpr CheckStep kFolderHandle{FileCall::GetFileInformationByHandle, 1};
constexpr CheckStep kFileName{FileCall::GetFileAttributes, 2};
constexpr CheckStep kFileHandle{FileCall::GetFileInformationByHandle, 2};
constexpr CheckStep kFileHandleClosed{FileCall::CloseHandle, 1};

const RaceCase kRaceCases[] = {
    // Checked by name only, the folder or the file is free to take; the
    // check through the handle refuses the link.
    {"JunctionAtTempAfterItsNameCheck", kFolderName, JunctionAtTempFolder, true},
    {"SymbolicLinkAtTheLogFileAfterItsNameCheck", kFileName, SymbolicLinkAtLogFile, true},
    {"HardLinkAtTheLogFileAfterItsNameCheck", kFileName, HardLinkAtLogFile, true},
    // Held, neither can be renamed or deleted.
    {"JunctionAtTempAfterItsHandleCheck", kFolderHandle, JunctionAtTempFolder, false},
    {"JunctionAtTempAfterTheFileCheck", kFileHandle, JunctionAtTempFolder, false},
    {"SymbolicLinkForTheLogFileAfterItsHandleCheck", kFileHandle, SymbolicLinkAtLogFile, false},
    {"HardLinkForTheLogFileAfterItsHandleCheck", kFileHandle, HardLinkAtLogFile, false},
    // Held and empty, the folder still turns into a junction; the file
    // opened through it is not in the held folder, and is refused.
    {"TempMadeAJunctionInPlaceAfterItsHandleCheck", kFolderHandle, TempMadeAJunctionInPlace, true},
    // By then the stream has the file open: what the name comes to lead to
    // is not what it writes to.
    {"SymbolicLinkForTheLogFileOnceItsCheckHandleCloses", kFileHandleClosed, SymbolicLinkAtLogFile,
     true},
};

void PrintTo(const RaceCase& c, std::ostream* out) { *out << c.name; }

class KesOrvLogEmulatedTest : public ::testing::TestWithParam<RaceCase> {};

TEST_P(KesOrvLogEmulatedTest, LinkPlantedWhileTheLogChecksIsNotWrittenThrough) {
  const RaceCase& c = GetParam();
  TestDrive drive;
  const std::filesystem::path victim = TestDrive::Local(kVictim);
  std::filesystem::create_directory(victim.parent_path());
  std::ofstream(victim, std::ios::binary) << "[precious]\n";
  std::optional<bool> planted;
  EmulatedDrive::Instance().ActAfter(c.after.call, c.after.nth, [&] { planted = c.plant(); });

  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("Cannot delete value");

  EXPECT_EQ(c.planted, planted);
  EXPECT_EQ("[precious]\n", Read(victim));
  if (!c.planted) {
    EXPECT_EQ(TestDrive::Lines({"Cannot delete value"}), TestDrive::LogBytes());
  }
}

INSTANTIATE_TEST_SUITE_P(Races, KesOrvLogEmulatedTest, ::testing::ValuesIn(kRaceCases),
                         [](const ::testing::TestParamInfo<RaceCase>& race) {
                           return std::string(race.param.name);
                         });

}  // namespace
}  // namespace Kestrova_Orvane
