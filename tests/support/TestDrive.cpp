#include "tests/support/TestDrive.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include <gtest/gtest.h>

#include "platform/WinApi.h"
#ifndef _WIN32
#include <unistd.h>

#include "platform/emulation/EmulatedDrive.h"
#endif

namespace Kestrova_Orvane {
namespace test_support {

TestDrive::TestDrive(bool withTempFolder) {
#ifndef _WIN32
  std::string pattern = (std::filesystem::temp_directory_path() / "kesorv-drive-c-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make " << pattern;
  emulatedRoot = pattern;
  emulation::EmulatedDrive::Instance().SetRoot(emulatedRoot.string());
#endif
  std::error_code ignored;
  std::filesystem::remove_all(Local(kLogFolder), ignored);
  if (withTempFolder) std::filesystem::create_directory(Local(kLogFolder));
}

TestDrive::~TestDrive() {
  std::error_code ignored;
#ifndef _WIN32
  std::filesystem::remove_all(emulatedRoot, ignored);
#else
  // Another process may still be closing the file; the next test starts
  // by removing it again.
  std::filesystem::remove(Local(kLogFile), ignored);
#endif
}

std::filesystem::path TestDrive::Local(const std::string& windowsPath) {
  return NativePath(windowsPath);
}

std::optional<std::string> TestDrive::LogBytes() {
  std::ifstream file(Local(kLogFile), std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void TestDrive::WriteLog(const std::string& bytes) {
  std::ofstream file(Local(kLogFile), std::ios::binary);
  file << bytes;
  ASSERT_TRUE(file.good());
}

std::string TestDrive::Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + kLineEnd;
  return text;
}

}  // namespace test_support
}  // namespace Kestrova_Orvane
