// KesOrvCleanup: carries out one run of the tool, in its constructor.
//
// RemoveRunValue deletes one named value from the machine-wide Run key;
// Uninstall starts the product's registered uninstaller. Nothing is
// reported to the caller: trouble goes to the diagnostic log, and no
// exception leaves the work.
#ifndef KESORV_CLEANUP_KESORVCLEANUP_H
#define KESORV_CLEANUP_KESORVCLEANUP_H

#include <string>

#include "registry/KesRegistryHelper.h"

namespace Kestrova_Orvane {

enum class CleanupMode : unsigned char {
  Uninstall = 0,
  RemoveRunValue = 1,
};

class KesOrvCleanup {
 public:
  // Does the whole job for `mode`; `valueName` names the Run value to delete.
  KesOrvCleanup(CleanupMode mode, std::string valueName);
  KesOrvCleanup(const KesOrvCleanup&) = delete;
  KesOrvCleanup& operator=(const KesOrvCleanup&) = delete;
  // Closes the registry key the work left open.
  virtual ~KesOrvCleanup() = default;

  // Asks the shell to open `file` with `parameters`, hidden, and does not
  // wait for the program. No when both are empty and nothing was asked;
  // yes otherwise, whatever the shell answered.
  static bool LaunchUninstaller(std::string file, std::string parameters);

 private:
  bool Init();

  KesRegistryHelper registry;
  std::string uninstallString;
  std::string uninstallArgs;
  std::string valueName;
  CleanupMode mode;
};

}  // namespace Kestrova_Orvane

#endif
