// Drive C: as one test sees it. On Windows it is the real drive; on the
// build machine a fresh folder that the emulation maps C: to, removed again
// when the test ends.
#ifndef KESORV_TESTS_SUPPORT_TESTDRIVE_H
#define KESORV_TESTS_SUPPORT_TESTDRIVE_H

#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/ToolPaths.h"

namespace Kestrova_Orvane {
namespace test_support {

// What a line feed written to a text stream becomes in the file.
#ifdef _WIN32
inline constexpr char kLineEnd[] = "\r\n";
#else
inline constexpr char kLineEnd[] = "\n";
#endif

class TestDrive {
 public:
  // Starts with the log folder present or absent as asked, and no log file.
  explicit TestDrive(bool withTempFolder = true);
  ~TestDrive();
  TestDrive(const TestDrive&) = delete;
  TestDrive& operator=(const TestDrive&) = delete;

  // Where `windowsPath` lives for this process.
  static std::filesystem::path Local(const std::string& windowsPath);

  // The log file's bytes, or nothing when there is no log file.
  static std::optional<std::string> LogBytes();
  static void WriteLog(const std::string& bytes);
  // The log as the tool writes `lines`, each with its line end.
  static std::string Lines(std::initializer_list<const char*> lines);

 private:
  std::filesystem::path emulatedRoot;
};

}  // namespace test_support
}  // namespace Kestrova_Orvane

#endif
