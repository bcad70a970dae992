//===-- platform/emulation/EmulatedRegistry.h - HKEY_LOCAL_MACHINE in memory ===//
//
// Build machine only. The state behind the emulated registry functions of
// Advapi32.cpp, and the controls tests use to seed it, inspect it, narrow
// what a key grants, and make any one call fail with a code of their choice.
//
// It follows Windows where the tool relies on it: names compare without
// regard to case; values are a type plus raw bytes, so a string can lack its
// terminating zero or hold one inside; asking for more access than a key
// grants fails with ERROR_ACCESS_DENIED; an empty sub-key opened under
// HKEY_LOCAL_MACHINE yields HKEY_LOCAL_MACHINE itself, whose close succeeds.
//
//===----------------------------------------------------------------------===//
#ifndef KESORV_PLATFORM_EMULATION_EMULATEDREGISTRY_H
#define KESORV_PLATFORM_EMULATION_EMULATEDREGISTRY_H

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/emulation/WinApiEmulation.h"

namespace Kestrova_Orvane {
namespace emulation {

enum class RegCall {
  CreateKeyEx,
  OpenKeyEx,
  QueryValueEx,
  SetValueEx,
  EnumValue,
  DeleteValue,
  DeleteTree,
  CloseKey,
};

struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  bool operator==(const RegistryValue& other) const {
    return type == other.type && data == other.data;
  }
};

// Orders names as the registry compares them: ASCII letters without case.
struct RegistryNameLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

class EmulatedRegistry {
 public:
  static EmulatedRegistry& Instance();

  EmulatedRegistry(const EmulatedRegistry&) = delete;
  EmulatedRegistry& operator=(const EmulatedRegistry&) = delete;

  // Back to an empty HKEY_LOCAL_MACHINE granting everything, no open
  // handles, no planned failures and an empty call list.
  void Reset();

  // Seeding and inspection. Paths are relative to HKEY_LOCAL_MACHINE; these
  // bypass handles, access lists, planned failures and the call list. A path
  // that is not a valid key path is not created (false).
  bool CreateKey(const std::string& path);
  bool SetValue(const std::string& path, const std::string& name, DWORD type,
                std::vector<BYTE> data);
  // A REG_SZ value holding `text` and its terminating zero.
  void SetString(const std::string& path, const std::string& name, const std::string& text);
  bool KeyExists(const std::string& path) const;
  std::optional<RegistryValue> GetValue(const std::string& path, const std::string& name) const;
  std::vector<std::string> ValueNames(const std::string& path) const;
  // Access rights the key grants to the running user (KEY_ALL_ACCESS unless
  // narrowed); the key is created if missing.
  bool SetGrantedAccess(const std::string& path, REGSAM granted);

  // The `skip`+1-th call of `call` from now returns `code` and does nothing else.
  void FailCall(RegCall call, LONG code, int skip = 0);

  std::size_t OpenHandleCount() const { return handles.size(); }
  // One line per registry call with every argument and the result, e.g.
  //   RegDeleteValueA(h1, "Name") = 0
  const std::vector<std::string>& Calls() const { return calls; }
  void ClearCalls() { calls.clear(); }

  // The implementations behind the functions of Advapi32.cpp.
  LSTATUS CreateKeyEx(HKEY parent, LPCSTR subKey, REGSAM desired, PHKEY result,
                      LPDWORD disposition);
  LSTATUS OpenKeyEx(HKEY parent, LPCSTR subKey, REGSAM desired, PHKEY result);
  LSTATUS QueryValueEx(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD size);
  LSTATUS SetValueEx(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size);
  LSTATUS EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD type);
  LSTATUS DeleteValue(HKEY key, LPCSTR name);
  LSTATUS DeleteTree(HKEY key, LPCSTR subKey);
  LSTATUS CloseKey(HKEY key);

  // Planned failure for this call, if one is due.
  std::optional<LONG> TakePlannedFailure(RegCall call);
  void Record(std::string line) { calls.push_back(std::move(line)); }
  // "HKLM", "NULL", "h<n>" for the n-th handle handed out, or hex.
  std::string Describe(HKEY key) const;

 private:
  struct Key {
    std::map<std::string, std::shared_ptr<Key>, RegistryNameLess> subKeys;
    std::map<std::string, RegistryValue, RegistryNameLess> values;
    REGSAM granted = KEY_ALL_ACCESS;
    bool deleted = false;
  };
  struct Handle {
    std::shared_ptr<Key> key;
    REGSAM access = 0;
  };
  struct PlannedFailure {
    RegCall call;
    LONG code;
    int skip;
  };

  EmulatedRegistry();
  // The key a handle refers to, with the access the handle carries.
  LSTATUS Resolve(HKEY key, std::shared_ptr<Key>& found, REGSAM& access) const;
  std::shared_ptr<Key> Walk(const std::string& path, bool create);
  HKEY NewHandle(std::shared_ptr<Key> key, REGSAM access);

  std::shared_ptr<Key> root;
  std::map<HKEY, Handle> handles;
  std::size_t handlesHandedOut = 0;
  std::vector<PlannedFailure> planned;
  std::vector<std::string> calls;
};

}  // namespace emulation
}  // namespace Kestrova_Orvane

#endif
