#include "registry/RegistryKey.h"

namespace Kestrova_Orvane {
namespace {

constexpr DWORD kReserved = 0;
constexpr DWORD kNoOptions = 0;
constexpr REGSAM kCreateAccess = KEY_READ | KEY_WRITE;
constexpr REGSAM kOpenAccess = KEY_ALL_ACCESS;

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

LONG RegistryKey::Open(const std::string& subKey) {
  HKEY newHandle = nullptr;
  const LONG result =
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), kNoOptions, kOpenAccess, &newHandle);
  if (result != ERROR_SUCCESS) return result;
  return Replace(newHandle);
}

LONG RegistryKey::QueryString(const std::string& valueName, BYTE* buffer, DWORD& count) {
  const DWORD capacity = count;
  DWORD bytes = count;
  count = 0;
  DWORD type = REG_NONE;
  const LONG result =
      RegQueryValueExA(handle, valueName.c_str(), /*lpReserved=*/nullptr, &type, buffer, &bytes);
  if (result != ERROR_SUCCESS) return result;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
  if (buffer != nullptr) {
    // The registry keeps strings as they were stored, which need not end
    // with a zero; only text that does is safe to use as a C string.
    if (bytes == 0) {
      if (capacity > 0) buffer[0] = 0;
    } else if (buffer[bytes - 1] != 0) {
      return ERROR_INVALID_DATA;
    }
  }
  count = bytes;
  return ERROR_SUCCESS;
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
