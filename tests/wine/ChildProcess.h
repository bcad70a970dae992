// Starts a Windows program as a child process and collects what it printed.
// Windows build only.
#ifndef KESORV_TESTS_WINE_CHILDPROCESS_H
#define KESORV_TESTS_WINE_CHILDPROCESS_H

#include <string>
#include <vector>

#include "platform/WinApi.h"

namespace Kestrova_Orvane {
namespace test_support {

struct ChildResult {
  bool started = false;
  DWORD exitCode = 0;
  std::string output;  // standard output and standard error together
};

class ChildProcess {
 public:
  // Runs `program` with `arguments`, each quoted so that the C runtime
  // hands it to the child unchanged, and waits until it ends. Installers
  // start programs with a Unicode command line.
  static ChildResult Run(const std::wstring& program, const std::vector<std::wstring>& arguments);
  // The same with arguments in this program's ANSI code page, converted
  // as CreateProcessA converts them.
  static ChildResult Run(const std::wstring& program, const std::vector<std::string>& arguments);
  // The path of `fileName` in this test program's own folder.
  static std::wstring BesideThisProgram(const std::wstring& fileName);
};

}  // namespace test_support
}  // namespace Kestrova_Orvane

#endif
