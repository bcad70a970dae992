// The log against whichever drive C: this build has. Each test runs in a
// process of its own (see tests/CMakeLists.txt): the log lives as long as
// the process.
#include "log/KesOrvLog.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "log/LogFileHold.h"
#include "platform/WinApi.h"
#include "tests/support/TestDrive.h"

namespace Kestrova_Orvane {
namespace {

using test_support::TestDrive;

// Another name in the log's folder.
const std::string kMovedLog = std::string(test_support::kLogFolder) + "\\moved.log";

TEST(KesOrvLogTest, NothingIsCreatedUntilAMessageIsWritten) {
  TestDrive drive;
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
  EXPECT_TRUE(std::filesystem::is_empty(TestDrive::Local(test_support::kLogFolder)));
}

TEST(KesOrvLogTest, FirstMessageCreatesTheFile) {
  TestDrive drive;
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("Cannot delete value");
  EXPECT_EQ(TestDrive::Lines({"Cannot delete value"}), TestDrive::LogBytes());
}

TEST(KesOrvLogTest, AppendsAfterExistingContentLineByLine) {
  TestDrive drive;
  const std::string old = "from an earlier run\r\nno line end";
  TestDrive::WriteLog(old);
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("first");
  // Each line is on disk as soon as Write returns.
  EXPECT_EQ(old + TestDrive::Lines({"first"}), TestDrive::LogBytes());
  ASSERT_EQ(log, KesOrvLog::GetInstance());
  log->Write("second");
  EXPECT_EQ(old + TestDrive::Lines({"first", "second"}), TestDrive::LogBytes());
}

TEST(KesOrvLogTest, OneOpenServesEveryMessage) {
  TestDrive drive;
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("first");
  const std::filesystem::path moved = TestDrive::Local(kMovedLog);
  std::error_code error;
  std::filesystem::rename(TestDrive::Local(test_support::kLogFile), moved, error);
#ifdef _WIN32
  // Others may read and write the file while the log holds it, but not
  // rename or delete it.
  EXPECT_TRUE(error) << "the log file is not held open";
  HANDLE other = CreateFileA(test_support::kLogFile, GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, /*lpSecurityAttributes=*/nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, /*hTemplateFile=*/nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, other) << GetLastError();
  CloseHandle(other);
#else
  // The second line follows the first into the renamed file: no new open.
  ASSERT_FALSE(error) << error.message();
  log->Write("second");
  std::ifstream file(moved, std::ios::binary);
  EXPECT_EQ(TestDrive::Lines({"first", "second"}),
            std::string(std::istreambuf_iterator<char>(file), {}));
  EXPECT_EQ(std::nullopt, TestDrive::LogBytes());
#endif
}

TEST(KesOrvLogTest, MissingTempFolderLosesMessagesQuietly) {
  TestDrive drive(/*withTempFolder=*/false);
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("lost");
  log->Write("lost too");
  EXPECT_FALSE(std::filesystem::exists(TestDrive::Local(test_support::kLogFolder)));
}

TEST(KesOrvLogTest, LineIsAppendedWhileAnotherHolderWritesTheFile) {
  TestDrive drive;
  // Shared for reading and writing, as the standard stream opens it.
  std::ofstream other(TestDrive::Local(test_support::kLogFile), std::ios::app | std::ios::binary);
  other << "other\r\n" << std::flush;
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("Cannot delete value");
  other << "other again\r\n" << std::flush;
  EXPECT_EQ("other\r\n" + TestDrive::Lines({"Cannot delete value"}) + "other again\r\n",
            TestDrive::LogBytes());
}

TEST(KesOrvLogTest, LogPathThatIsAFolderIsLeftAlone) {
  TestDrive drive;
  const std::filesystem::path folder = TestDrive::Local(test_support::kLogFile);
  std::filesystem::create_directory(folder);
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("lost");
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(KesOrvLogTest, ReadOnlyLogFileIsLeftAlone) {
  TestDrive drive;
  TestDrive::WriteLog("kept\r\n");
  // Made writable again on every path, so the next test can remove it.
  struct ReadOnly {
    ReadOnly() { Set(true); }
    ~ReadOnly() { Set(false); }
    static void Set(bool on) {
#ifdef _WIN32
      SetFileAttributesA(test_support::kLogFile,
                         on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
      std::filesystem::permissions(
          TestDrive::Local(test_support::kLogFile),
          on ? std::filesystem::perms::owner_read
             : std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
    }
  } readOnly;
  const bool writable =
      std::ofstream(TestDrive::Local(test_support::kLogFile), std::ios::app).is_open();
#ifdef _WIN32
  // Windows keeps administrators from writing a read-only file too; Wine
  // run by root does not, which is why the test scripts run Wine as an
  // unprivileged user.
  ASSERT_FALSE(writable) << "Wine runs as root: read-only files do not bind";
#else
  // Root ignores file modes on Linux.
  if (writable) GTEST_SKIP() << "read-only files are writable for this user";
#endif
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("lost");
  EXPECT_EQ("kept\r\n", TestDrive::LogBytes());
}

TEST(KesOrvLogTest, LogFileWithAnotherHardLinkIsLeftAlone) {
  TestDrive drive;
  // Any user may create C:\Temp and link into it a file they cannot write.
  const std::filesystem::path folder = TestDrive::Local("C:\\KesOrvTests");
  const std::filesystem::path victim = folder / "victim.ini";
  std::filesystem::create_directories(folder);
  std::ofstream(victim, std::ios::binary) << "[precious]\r\n";
  std::filesystem::create_hard_link(victim, TestDrive::Local(test_support::kLogFile));
  ASSERT_TRUE(std::filesystem::equivalent(victim, TestDrive::Local(test_support::kLogFile)));

  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("Cannot delete value");
  std::ifstream in(victim, std::ios::binary);
  EXPECT_EQ("[precious]\r\n", std::string(std::istreambuf_iterator<char>(in), {}));
  in.close();
  std::filesystem::remove_all(folder);
}

// The log takes a hold until its stream has opened the file. While it is
// held neither C:\Temp nor the log file can be renamed or deleted, so no
// link can take their place; others may still open the file to read and
// write, a concurrent run's hold included. Released, both can be.
TEST(KesOrvLogTest, HeldFolderAndFileCannotBeRenamedOrDeleted) {
  TestDrive drive;
  TestDrive::WriteLog("kept\r\n");
  {
    const LogFileHold hold;
    ASSERT_TRUE(hold.IsHeld());
    EXPECT_FALSE(MoveFileExA(test_support::kLogFile, kMovedLog.c_str(), /*dwFlags=*/0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_FALSE(DeleteFileA(test_support::kLogFile));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_FALSE(MoveFileExA(test_support::kLogFolder, "C:\\TempMoved", /*dwFlags=*/0));

    const LogFileHold concurrentRun;
    EXPECT_TRUE(concurrentRun.IsHeld());
    HANDLE writer =
        CreateFileA(test_support::kLogFile, GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, /*lpSecurityAttributes=*/nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, /*hTemplateFile=*/nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, writer) << GetLastError();
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  }
  EXPECT_TRUE(MoveFileExA(test_support::kLogFolder, "C:\\TempMoved", /*dwFlags=*/0))
      << GetLastError();
  EXPECT_TRUE(MoveFileExA("C:\\TempMoved", test_support::kLogFolder, /*dwFlags=*/0))
      << GetLastError();
  EXPECT_TRUE(DeleteFileA(test_support::kLogFile)) << GetLastError();
}

TEST(KesOrvLogTest, LargeLogFileGetsTheLineAtItsEnd) {
  TestDrive drive;
  // A sparse file: large on paper, nothing to read. The log never reads it.
  constexpr std::uintmax_t kSize = 5ull << 30;
  TestDrive::WriteLog("");
  const std::filesystem::path file = TestDrive::Local(test_support::kLogFile);
  std::filesystem::resize_file(file, kSize);
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("Cannot delete value");
  const std::string line = TestDrive::Lines({"Cannot delete value"});
  ASSERT_EQ(kSize + line.size(), std::filesystem::file_size(file));
  std::ifstream in(file, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(kSize));
  EXPECT_EQ(line, std::string(std::istreambuf_iterator<char>(in), {}));
}

}  // namespace
}  // namespace Kestrova_Orvane
