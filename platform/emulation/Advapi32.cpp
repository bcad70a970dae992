//===-- platform/emulation/Advapi32.cpp - Registry functions, emulated ----===//
//
// Build machine only. Each function does what EmulatedRegistry says, unless
// a test planned a failure for it, and records one line in the call list.
// Like the real functions, none of them lets an exception out: memory
// running out is reported as ERROR_OUTOFMEMORY.
//
//===----------------------------------------------------------------------===//
#include <cstdio>
#include <new>
#include <string>

#include "platform/emulation/EmulatedRegistry.h"
#include "platform/emulation/WinApiEmulation.h"

using Kestrova_Orvane::emulation::EmulatedRegistry;
using Kestrova_Orvane::emulation::RegCall;

namespace {

std::string Quote(LPCSTR text) {
  if (text == nullptr) return "NULL";
  std::string quoted = "\"";
  for (const char* c = text; *c != '\0'; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    if (byte < 0x20 || byte >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      quoted += escaped;
    } else {
      quoted += *c;
    }
  }
  return quoted + "\"";
}

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
  return text;
}

std::string Pointer(const void* p, const char* name) { return p == nullptr ? "NULL" : name; }

template <typename Operation, typename Line>
LSTATUS Run(RegCall call, Operation operation, Line line) {
  EmulatedRegistry& registry = EmulatedRegistry::Instance();
  LSTATUS status;
  try {
    std::optional<LONG> planned = registry.TakePlannedFailure(call);
    status = planned ? *planned : operation(registry);
  } catch (const std::bad_alloc&) {
    status = ERROR_OUTOFMEMORY;
  }
  // The call list is for tests; losing a line to a failed allocation must
  // not change what the call did.
  try {
    registry.Record(line(registry) + " = " + std::to_string(status));
  } catch (const std::bad_alloc&) {
  }
  return status;
}

}  // namespace

extern "C" {

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass,
                               DWORD dwOptions, REGSAM samDesired,
                               LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                               LPDWORD lpdwDisposition) {
  HKEY created = nullptr;
  LSTATUS status = Run(
      RegCall::CreateKeyEx,
      [&](EmulatedRegistry& r) {
        return r.CreateKeyEx(hKey, lpSubKey, samDesired, &created, lpdwDisposition);
      },
      [&](EmulatedRegistry& r) {
        return "RegCreateKeyExA(" + r.Describe(hKey) + ", " + Quote(lpSubKey) + ", " +
               std::to_string(Reserved) + ", " + Quote(lpClass) + ", " + Hex(dwOptions) + ", " +
               Hex(samDesired) + ", " + Pointer(lpSecurityAttributes, "&sa") + ")" +
               (created ? " -> " + r.Describe(created) : "");
      });
  if (status == ERROR_SUCCESS && phkResult != nullptr) *phkResult = created;
  return status;
}

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult) {
  HKEY opened = nullptr;
  LSTATUS status = Run(
      RegCall::OpenKeyEx,
      [&](EmulatedRegistry& r) { return r.OpenKeyEx(hKey, lpSubKey, samDesired, &opened); },
      [&](EmulatedRegistry& r) {
        return "RegOpenKeyExA(" + r.Describe(hKey) + ", " + Quote(lpSubKey) + ", " +
               Hex(ulOptions) + ", " + Hex(samDesired) + ")" +
               (opened ? " -> " + r.Describe(opened) : "");
      });
  if (status == ERROR_SUCCESS && phkResult != nullptr) *phkResult = opened;
  return status;
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData) {
  const DWORD capacity = lpcbData ? *lpcbData : 0;
  return Run(
      RegCall::QueryValueEx,
      [&](EmulatedRegistry& r) -> LSTATUS {
        if (lpReserved != nullptr) return ERROR_INVALID_PARAMETER;
        return r.QueryValueEx(hKey, lpValueName, lpType, lpData, lpcbData);
      },
      [&](EmulatedRegistry& r) {
        return "RegQueryValueExA(" + r.Describe(hKey) + ", " + Quote(lpValueName) + ", " +
               Pointer(lpReserved, "&reserved") + ", " + Pointer(lpType, "&type") + ", " +
               Pointer(lpData, "buffer") + ", " + (lpcbData ? std::to_string(capacity) : "NULL") +
               ")";
      });
}

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                              const BYTE* lpData, DWORD cbData) {
  return Run(
      RegCall::SetValueEx,
      [&](EmulatedRegistry& r) -> LSTATUS {
        if (Reserved != 0) return ERROR_INVALID_PARAMETER;
        return r.SetValueEx(hKey, lpValueName, dwType, lpData, cbData);
      },
      [&](EmulatedRegistry& r) {
        return "RegSetValueExA(" + r.Describe(hKey) + ", " + Quote(lpValueName) + ", " +
               std::to_string(Reserved) + ", " + std::to_string(dwType) + ", " +
               Pointer(lpData, "data") + ", " + std::to_string(cbData) + ")";
      });
}

LSTATUS WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                             LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  return Run(
      RegCall::EnumValue,
      [&](EmulatedRegistry& r) -> LSTATUS {
        // Only names and types are emulated; the tool never enumerates.
        if (lpReserved != nullptr || lpData != nullptr || lpcbData != nullptr) {
          return ERROR_INVALID_PARAMETER;
        }
        return r.EnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpType);
      },
      [&](EmulatedRegistry& r) {
        return "RegEnumValueA(" + r.Describe(hKey) + ", " + std::to_string(dwIndex) + ")";
      });
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  return Run(
      RegCall::DeleteValue, [&](EmulatedRegistry& r) { return r.DeleteValue(hKey, lpValueName); },
      [&](EmulatedRegistry& r) {
        return "RegDeleteValueA(" + r.Describe(hKey) + ", " + Quote(lpValueName) + ")";
      });
}

LSTATUS WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
  return Run(
      RegCall::DeleteTree, [&](EmulatedRegistry& r) { return r.DeleteTree(hKey, lpSubKey); },
      [&](EmulatedRegistry& r) {
        return "RegDeleteTreeA(" + r.Describe(hKey) + ", " + Quote(lpSubKey) + ")";
      });
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) {
  return Run(
      RegCall::CloseKey, [&](EmulatedRegistry& r) { return r.CloseKey(hKey); },
      [&](EmulatedRegistry& r) { return "RegCloseKey(" + r.Describe(hKey) + ")"; });
}

}  // extern "C"
