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

  // Opens the existing key `subKey` with full access and holds it; never
  // creates a key. An empty path yields HKEY_LOCAL_MACHINE itself. On
  // success returns the result of closing the previously held handle.
  [[nodiscard]] LONG Open(const std::string& subKey);

  // Reads the string value `valueName` of the held key into `buffer`.
  // `count` is the buffer's capacity on entry; on success the data's size in
  // bytes, terminating zero included, and 0 after any failure. Anything but
  // REG_SZ or REG_EXPAND_SZ, and text without its terminating zero, is
  // ERROR_INVALID_DATA; data larger than the buffer is ERROR_MORE_DATA.
  [[nodiscard]] LONG QueryString(const std::string& valueName, BYTE* buffer, DWORD& count);

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
