#include "cleanup/KesOrvCleanup.h"

#include <utility>

#include "log/KesOrvLog.h"

namespace Kestrova_Orvane {
namespace {

constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace

KesOrvCleanup::KesOrvCleanup(CleanupMode runMode, std::string runValueName)
    : valueName(std::move(runValueName)), mode(runMode) {
  (void)Init();
}

bool KesOrvCleanup::Init() {
  try {
    if (mode == CleanupMode::RemoveRunValue) {
      if (!registry.OpenKey(kRunKeyPath)) return false;
      return registry.DeleteValue(valueName);
    }
    return false;
  } catch (...) {
    if (KesOrvLog* log = KesOrvLog::GetInstance()) log->Write("KesOrvCleanup::Init exception");
    return false;
  }
}

}  // namespace Kestrova_Orvane
