// One run of the tool's work, in process, against the emulated registry,
// for instruction counts under callgrind (bench/run.sh counts only what
// runs inside ProgramMain):
//   kesorv_callgrind_driver removal|uninstall
#include <string>

#include "cleanup/ProgramMain.h"
#include "platform/emulation/EmulatedRegistry.h"
#include "tests/support/ToolPaths.h"

using Kestrova_Orvane::ProgramMain;
using Kestrova_Orvane::emulation::EmulatedRegistry;
using Kestrova_Orvane::test_support::kProductKey;
using Kestrova_Orvane::test_support::kRunKey;

int main(int argc, char* argv[]) {
  EmulatedRegistry& registry = EmulatedRegistry::Instance();
  registry.SetString(kRunKey, "Orvane",
                     "C:\\Program Files\\Kestrova\\Orvane\\OrvaneTray.exe /minimized");
  registry.SetString(kProductKey, "UninstallString",
                     "C:\\Program Files\\Kestrova\\Orvane\\uninstall.exe");
  registry.SetString(kProductKey, "UninstallArgs", "/S /norestart");

  const std::string mode = argc > 1 ? argv[1] : "";
  char program[] = "KesOrvCleanup.exe";
  char name[] = "Orvane";
  char second[] = "x";
  if (mode == "removal") {
    char* arguments[] = {program, name, second, nullptr};
    return ProgramMain(3, arguments);
  }
  if (mode == "uninstall") {
    char* arguments[] = {program, nullptr};
    return ProgramMain(1, arguments);
  }
  return 2;
}
