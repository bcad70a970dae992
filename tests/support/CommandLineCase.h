// Command lines and what each must leave in the Run key, shared by the
// in-process tests and the Windows build's end-to-end runs.
#ifndef KESORV_TESTS_SUPPORT_COMMANDLINECASE_H
#define KESORV_TESTS_SUPPORT_COMMANDLINECASE_H

#include <string>
#include <vector>

namespace Kestrova_Orvane {
namespace testing {

struct CommandLineCase {
  const char* label;
  std::vector<std::string> arguments;  // without the program name
  std::vector<std::string> runValuesAfter;  // sorted
};

// Command lines of each argument count, for a Run key holding "Orvane" and
// "Other"; none writes to the log.
std::vector<CommandLineCase> ModeCommandLines();

// The names in the Run key before each hostile case runs.
std::vector<std::string> HostileRunValues();
// The cases; of them only the empty first argument writes to the log, one line.
std::vector<CommandLineCase> HostileCommandLines();

}  // namespace testing
}  // namespace Kestrova_Orvane

#endif
