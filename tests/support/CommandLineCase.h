// Command lines and what each must leave in the Run key, shared by the
// in-process tests and the Windows build's end-to-end runs.
#ifndef KESORV_TESTS_SUPPORT_COMMANDLINECASE_H
#define KESORV_TESTS_SUPPORT_COMMANDLINECASE_H

#include <string>
#include <vector>

namespace Kestrova_Orvane {
namespace test_support {

struct CommandLineCase {
  const char* label;
  std::vector<std::string> arguments;       // without the program name
  std::vector<std::string> runValuesAfter;  // sorted
  // Whether the run starts the uninstaller that the product key names.
  bool startsUninstaller = false;
};

// Command lines of each argument count, for a Run key holding "Orvane" and
// "Other" and a product key naming an uninstaller; none writes to the log.
std::vector<CommandLineCase> ModeCommandLines();

// A command line as main receives it: argv[0] is the program, and the
// vector ends with a null entry.
class ArgumentVector {
 public:
  explicit ArgumentVector(std::vector<std::string> arguments);
  ArgumentVector(const ArgumentVector&) = delete;
  ArgumentVector& operator=(const ArgumentVector&) = delete;
  int Count() const { return static_cast<int>(texts.size()); }
  char** Values() { return values.data(); }

 private:
  std::vector<std::string> texts;
  std::vector<char*> values;
};

// The names in the Run key before each hostile case runs.
std::vector<std::string> HostileRunValues();
// The cases; of them only the empty first argument writes to the log, one line.
std::vector<CommandLineCase> HostileCommandLines();

}  // namespace test_support
}  // namespace Kestrova_Orvane

#endif
