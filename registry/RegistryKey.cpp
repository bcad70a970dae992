#include "registry/RegistryKey.h"

namespace Kestrova_Orvane {
namespace {

constexpr DWORD kReserved = 0;
constexpr REGSAM kCreateAccess = KEY_READ | KEY_WRITE;

}  // namespace

LONG RegistryKey::Create(const std::string& subKey) {
  HKEY newHandle = nullptr;
  DWORD disposition = 0;  // created or opened: not needed
  const LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), kReserved,
                                      /*lpClass=*/nullptr, REG_OPTION_NON_VOLATILE, kCreateAccess,
                                      /*lpSecurityAttributes=*/nullptr, &newHandle, &disposition);
  if (result != ERROR_SUCCESS) return result;
  return Replace(newHandle);
}

LONG RegistryKey::Close() {
  if (handle == nullptr) return ERROR_SUCCESS;
  const LONG result = RegCloseKey(handle);
  // Even a failed close ends this record's ownership: retrying could close a
  // handle number that Windows has since given to someone else.
  handle = nullptr;
  return result;
}

LONG RegistryKey::Replace(HKEY newHandle) {
  const LONG closed = Close();
  handle = newHandle;
  return closed;
}

}  // namespace Kestrova_Orvane
