// RegistryKey: the one open registry key under HKEY_LOCAL_MACHINE that the
// registry helper holds.
//
// It owns its handle: a new handle is taken only after the call that made it
// succeeded, and the old one is closed then; a failed call leaves the held
// handle as it was. Results are Win32 error codes.
#ifndef KESORV_REGISTRY_REGISTRYKEY_H
#define KESORV_REGISTRY_REGISTRYKEY_H

#include <string>

#include "platform/WinApi.h"

namespace Kestrova_Orvane {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { (void)Close(); }

  // Opens `subKey` for reading and writing, creating it when missing, and
  // holds it. On success returns the result of closing the previously held
  // handle (0 when there was none), which is held no longer either way.
  [[nodiscard]] LONG Create(const std::string& subKey);

  // Releases the held handle, if any, and returns RegCloseKey's result
  // (0 when nothing was held). No handle is held afterwards.
  LONG Close();

  // The held handle, or null.
  HKEY Handle() const { return handle; }

 private:
  // Holds `newHandle` and returns the result of closing the old one.
  LONG Replace(HKEY newHandle);

  HKEY handle = nullptr;
};

}  // namespace Kestrova_Orvane

#endif
