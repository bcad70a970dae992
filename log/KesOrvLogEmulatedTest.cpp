// The log and links planted on drive C:. Build machine only: a symbolic
// link in the folder that stands for C: is what a junction or a symbolic
// link is on Windows. Each test runs in a process of its own.
#include "log/KesOrvLog.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "tests/support/TestDrive.h"

namespace Kestrova_Orvane {
namespace {

using test_support::TestDrive;

std::string Read(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(KesOrvLogLinkTest, LinkAtTheTempFolderIsNotFollowed) {
  TestDrive drive(/*withTempFolder=*/false);
  const std::filesystem::path target = TestDrive::Local("C:\\Elsewhere");
  std::filesystem::create_directory(target);
  std::filesystem::create_directory_symlink(target, TestDrive::Local(TestDrive::kTempFolder));
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("Cannot delete value");
  EXPECT_TRUE(std::filesystem::is_empty(target));
}

TEST(KesOrvLogLinkTest, LinkInPlaceOfTheLogFileIsNotFollowed) {
  TestDrive drive;
  const std::filesystem::path victim = TestDrive::Local("C:\\Windows\\system.ini");
  std::filesystem::create_directory(victim.parent_path());
  std::ofstream(victim) << "[precious]\n";
  std::filesystem::create_symlink(victim, TestDrive::Local(TestDrive::kLogFile));
  KesOrvLog* log = KesOrvLog::GetInstance();
  ASSERT_NE(nullptr, log);
  log->Write("Cannot delete value");
  EXPECT_EQ("[precious]\n", Read(victim));
}

}  // namespace
}  // namespace Kestrova_Orvane
