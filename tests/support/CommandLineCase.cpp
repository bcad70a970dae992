#include "tests/support/CommandLineCase.h"

#include <algorithm>
#include <utility>

namespace Kestrova_Orvane {
namespace test_support {
namespace {

std::string HighBytes() {
  std::string bytes;
  for (int byte = 0x80; byte <= 0xFF; ++byte) bytes += static_cast<char>(byte);
  return bytes;
}

const std::string kQuoted = "Orv\\ane \"quoted\" \\\\server\\share";

std::vector<std::string> AllBut(const std::string& removed) {
  std::vector<std::string> names = HostileRunValues();
  names.erase(std::remove(names.begin(), names.end(), removed), names.end());
  return names;
}

}  // namespace

ArgumentVector::ArgumentVector(std::vector<std::string> arguments) : texts(std::move(arguments)) {
  for (std::string& text : texts) values.push_back(&text[0]);
  values.push_back(nullptr);
}

std::vector<CommandLineCase> ModeCommandLines() {
  return {
      {"no argument: uninstall mode", {}, {"Orvane", "Other"}, /*startsUninstaller=*/true},
      {"one argument: uninstall mode", {"Orvane"}, {"Orvane", "Other"}, /*startsUninstaller=*/true},
      {"two arguments", {"Orvane", "x"}, {"Other"}},
      {"four arguments", {"Orvane", "x", "y", "z"}, {"Other"}},
      {"the second argument changes nothing", {"Other", "Orvane"}, {"Orvane"}},
      {"an empty second argument", {"Orvane", ""}, {"Other"}},
      {"a value that is not there", {"Missing", "x"}, {"Orvane", "Other"}},
  };
}

std::vector<std::string> HostileRunValues() {
  std::vector<std::string> names = {"Orvane", "Other", HighBytes(), kQuoted};
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<CommandLineCase> HostileCommandLines() {
  std::vector<std::string> tenThousand(10000, "x");
  tenThousand[0] = "Orvane";
  return {
      {"empty first argument", {"", "x"}, HostileRunValues()},
      // Fits the 32,767 characters of a Windows command line, with the program.
      {"32,000 characters", {std::string(32000, 'A'), "x"}, HostileRunValues()},
      {"bytes 0x80 to 0xFF", {HighBytes(), "x"}, AllBut(HighBytes())},
      {"backslashes and quotes", {kQuoted, "x"}, AllBut(kQuoted)},
      // Names compare without regard to case, so "Orvane" goes.
      {"other case", {"oRVANE", "x"}, AllBut("Orvane")},
      {"ten thousand arguments", tenThousand, AllBut("Orvane")},
  };
}

}  // namespace test_support
}  // namespace Kestrova_Orvane
