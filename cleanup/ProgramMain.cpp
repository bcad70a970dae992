#include "cleanup/ProgramMain.h"

#include <string>

#include "cleanup/KesOrvCleanup.h"

namespace Kestrova_Orvane {
namespace {

// The program name plus a value name plus one more argument, which only
// has to be present.
constexpr int kRemovalArgumentCount = 3;

}  // namespace

int ProgramMain(int argc, char* argv[]) {
  // Whoever starts the tool learns nothing from its outcome, so whatever
  // escapes the cleanup is dropped here.
  try {
    std::string valueName;
    CleanupMode mode = CleanupMode::Uninstall;
    if (argc >= kRemovalArgumentCount) {
      valueName = argv[1];
      mode = CleanupMode::RemoveRunValue;
    }
    KesOrvCleanup cleanup(mode, valueName);
  } catch (...) {
  }
  return 0;
}

}  // namespace Kestrova_Orvane
