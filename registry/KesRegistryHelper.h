// KesRegistryHelper: the cleanup's only way into the registry. Holds at most
// one open key under HKEY_LOCAL_MACHINE and turns registry error codes into
// yes/no answers or text.
#ifndef KESORV_REGISTRY_KESREGISTRYHELPER_H
#define KESORV_REGISTRY_KESREGISTRYHELPER_H

#include <string>

#include "registry/RegistryKey.h"

namespace Kestrova_Orvane {

class KesRegistryHelper {
 public:
  KesRegistryHelper() = default;
  KesRegistryHelper(const KesRegistryHelper&) = delete;
  KesRegistryHelper& operator=(const KesRegistryHelper&) = delete;
  // Closes the held key, if any.
  virtual ~KesRegistryHelper() = default;

  // Opens `subKey` for reading and writing, creating it when missing, and
  // holds it. No for an empty path, without a registry call.
  bool OpenKey(std::string subKey);

  // Deletes `valueName` from the key that OpenKey opened. Yes whenever the
  // name is not empty, whether or not the value existed or the delete
  // worked; an empty name is logged ("Cannot delete value") and is a no.
  bool DeleteValue(std::string valueName);

  // The string value `valueName` of the key `keyPath`, cut at its first zero
  // byte, with every backslash turned into a forward slash. Empty text when
  // it cannot be read: key or value missing, access denied, not a string,
  // longer than 511 bytes, or not terminated. Memory running out while the
  // text is stored is logged ("ReadRegistry exception") and yields empty text.
  std::string ReadRegistry(std::string keyPath, std::string valueName);

 private:
  // Declared in this order so that destruction releases lastValue, then
  // closes the key.
  RegistryKey key;
  std::string lastValue;
};

}  // namespace Kestrova_Orvane

#endif
