#include "registry/KesRegistryHelper.h"

#include "log/KesOrvLog.h"

namespace Kestrova_Orvane {

bool KesRegistryHelper::OpenKey(std::string subKey) {
  if (subKey.empty()) return false;
  return key.Create(subKey) == ERROR_SUCCESS;
}

bool KesRegistryHelper::DeleteValue(std::string valueName) {
  if (valueName.empty()) {
    // An empty name would delete the key's default value.
    if (KesOrvLog* log = KesOrvLog::GetInstance()) log->Write("Cannot delete value");
    return false;
  }
  // A value that is already gone is what the caller wants; other failures
  // have no one to be reported to.
  (void)RegDeleteValueA(key.Handle(), valueName.c_str());
  return true;
}

}  // namespace Kestrova_Orvane
