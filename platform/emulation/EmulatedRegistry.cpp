//===-- platform/emulation/EmulatedRegistry.cpp ---------------------------===//
//
// Build machine only: an in-memory registry. Windows behaviour that the tool
// does not rely on is left out rather than guessed.
//
//===----------------------------------------------------------------------===//
#include "platform/emulation/EmulatedRegistry.h"

#include <algorithm>
#include <cstdio>

namespace Kestrova_Orvane {
namespace emulation {
namespace {

constexpr LONG kKeyDeleted = 1018;  // ERROR_KEY_DELETED
constexpr REGSAM kViewFlags = KEY_WOW64_32KEY | KEY_WOW64_64KEY;

unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// Splits "A\B\C" into its names. A trailing backslash is accepted, a leading
// one or an empty name in the middle is not (ERROR_BAD_PATHNAME), as on Windows.
LSTATUS SplitPath(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  if (path.empty()) return ERROR_SUCCESS;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end == start) return ERROR_BAD_PATHNAME;
    names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return ERROR_SUCCESS;
}

bool Grants(REGSAM granted, REGSAM desired) { return ((desired & ~kViewFlags) & ~granted) == 0; }

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

bool RegistryNameLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return Fold(static_cast<unsigned char>(x)) < Fold(static_cast<unsigned char>(y));
  });
}

EmulatedRegistry& EmulatedRegistry::Instance() {
  static EmulatedRegistry registry;
  return registry;
}

EmulatedRegistry::EmulatedRegistry() { Reset(); }

void EmulatedRegistry::Reset() {
  root = std::make_shared<Key>();
  handles.clear();
  handlesHandedOut = 0;
  planned.clear();
  calls.clear();
}

std::shared_ptr<EmulatedRegistry::Key> EmulatedRegistry::Walk(const std::string& path,
                                                              bool create) {
  std::vector<std::string> names;
  if (SplitPath(path, names) != ERROR_SUCCESS) return nullptr;
  std::shared_ptr<Key> key = root;
  for (const std::string& name : names) {
    auto found = key->subKeys.find(name);
    if (found == key->subKeys.end()) {
      if (!create) return nullptr;
      found = key->subKeys.emplace(name, std::make_shared<Key>()).first;
    }
    key = found->second;
  }
  return key;
}

bool EmulatedRegistry::CreateKey(const std::string& path) { return Walk(path, true) != nullptr; }

bool EmulatedRegistry::SetValue(const std::string& path, const std::string& name, DWORD type,
                                std::vector<BYTE> data) {
  std::shared_ptr<Key> key = Walk(path, true);
  if (!key) return false;
  key->values[name] = RegistryValue{type, std::move(data)};
  return true;
}

void EmulatedRegistry::SetString(const std::string& path, const std::string& name,
                                 const std::string& text) {
  std::vector<BYTE> data(text.begin(), text.end());
  data.push_back(0);
  (void)SetValue(path, name, REG_SZ, std::move(data));
}

bool EmulatedRegistry::KeyExists(const std::string& path) const {
  return const_cast<EmulatedRegistry*>(this)->Walk(path, false) != nullptr;
}

std::optional<RegistryValue> EmulatedRegistry::GetValue(const std::string& path,
                                                        const std::string& name) const {
  auto key = const_cast<EmulatedRegistry*>(this)->Walk(path, false);
  if (!key) return std::nullopt;
  auto found = key->values.find(name);
  if (found == key->values.end()) return std::nullopt;
  return found->second;
}

std::vector<std::string> EmulatedRegistry::ValueNames(const std::string& path) const {
  std::vector<std::string> names;
  if (auto key = const_cast<EmulatedRegistry*>(this)->Walk(path, false)) {
    for (const auto& value : key->values) names.push_back(value.first);
  }
  return names;
}

bool EmulatedRegistry::SetGrantedAccess(const std::string& path, REGSAM granted) {
  std::shared_ptr<Key> key = Walk(path, true);
  if (!key) return false;
  key->granted = granted;
  return true;
}

void EmulatedRegistry::FailCall(RegCall call, LONG code, int skip) {
  planned.push_back(PlannedFailure{call, code, skip});
}

std::optional<LONG> EmulatedRegistry::TakePlannedFailure(RegCall call) {
  for (auto it = planned.begin(); it != planned.end(); ++it) {
    if (it->call != call) continue;
    if (it->skip > 0) {
      --it->skip;
      continue;
    }
    LONG code = it->code;
    planned.erase(it);
    return code;
  }
  return std::nullopt;
}

std::string EmulatedRegistry::Describe(HKEY key) const {
  if (key == HKEY_LOCAL_MACHINE) return "HKLM";
  if (key == nullptr) return "NULL";
  auto number = reinterpret_cast<ULONG_PTR>(key);
  char text[32];
  if (number % 4 == 0 && number >= 0x1000 && (number - 0x1000) / 4 < handlesHandedOut) {
    std::snprintf(text, sizeof text, "h%zu", static_cast<std::size_t>((number - 0x1000) / 4 + 1));
  } else {
    std::snprintf(text, sizeof text, "0x%zx", static_cast<std::size_t>(number));
  }
  return text;
}

LSTATUS EmulatedRegistry::Resolve(HKEY key, std::shared_ptr<Key>& found, REGSAM& access) const {
  if (key == HKEY_LOCAL_MACHINE) {
    found = root;
    access = root->granted;
    return ERROR_SUCCESS;
  }
  auto handle = handles.find(key);
  if (handle == handles.end()) return ERROR_INVALID_HANDLE;
  if (handle->second.key->deleted) return kKeyDeleted;
  found = handle->second.key;
  access = handle->second.access;
  return ERROR_SUCCESS;
}

HKEY EmulatedRegistry::NewHandle(std::shared_ptr<Key> key, REGSAM access) {
  // Handles are never reused, so a stale one stays recognisably stale.
  HKEY handle = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1000 + 4 * handlesHandedOut));
  handles.emplace(handle, Handle{std::move(key), access});
  ++handlesHandedOut;
  return handle;
}

LSTATUS EmulatedRegistry::CreateKeyEx(HKEY parent, LPCSTR subKey, REGSAM desired, PHKEY result,
                                      LPDWORD disposition) {
  if (subKey == nullptr || result == nullptr) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<Key> key;
  REGSAM access = 0;
  if (LSTATUS status = Resolve(parent, key, access)) return status;
  std::vector<std::string> names;
  if (LSTATUS status = SplitPath(subKey, names)) return status;
  bool created = false;
  for (const std::string& name : names) {
    auto found = key->subKeys.find(name);
    if (found == key->subKeys.end()) {
      if (!Grants(key->granted, KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
      found = key->subKeys.emplace(name, std::make_shared<Key>()).first;
      created = true;
    }
    key = found->second;
  }
  if (!Grants(key->granted, desired)) return ERROR_ACCESS_DENIED;
  *result = NewHandle(key, desired);
  if (disposition != nullptr)
    *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

LSTATUS EmulatedRegistry::OpenKeyEx(HKEY parent, LPCSTR subKey, REGSAM desired, PHKEY result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  if (parent == HKEY_LOCAL_MACHINE && (subKey == nullptr || *subKey == '\0')) {
    // Windows hands back the predefined handle itself, not a new one.
    *result = HKEY_LOCAL_MACHINE;
    return ERROR_SUCCESS;
  }
  std::shared_ptr<Key> key;
  REGSAM access = 0;
  if (LSTATUS status = Resolve(parent, key, access)) return status;
  std::vector<std::string> names;
  if (LSTATUS status = SplitPath(subKey == nullptr ? "" : subKey, names)) return status;
  for (const std::string& name : names) {
    auto found = key->subKeys.find(name);
    if (found == key->subKeys.end()) return ERROR_FILE_NOT_FOUND;
    key = found->second;
  }
  if (!Grants(key->granted, desired)) return ERROR_ACCESS_DENIED;
  *result = NewHandle(key, desired);
  return ERROR_SUCCESS;
}

LSTATUS EmulatedRegistry::QueryValueEx(HKEY handle, LPCSTR name, LPDWORD type, LPBYTE data,
                                       LPDWORD size) {
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<Key> key;
  REGSAM access = 0;
  if (LSTATUS status = Resolve(handle, key, access)) return status;
  if (!Grants(access, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  auto found = key->values.find(name == nullptr ? "" : name);
  if (found == key->values.end()) return ERROR_FILE_NOT_FOUND;
  const RegistryValue& value = found->second;
  const DWORD stored = static_cast<DWORD>(value.data.size());
  if (type != nullptr) *type = value.type;
  if (size == nullptr) return ERROR_SUCCESS;
  const DWORD capacity = *size;
  *size = stored;
  if (data == nullptr) return ERROR_SUCCESS;
  // Too small: the size needed is reported and the buffer is left untouched.
  if (stored > capacity) return ERROR_MORE_DATA;
  std::copy(value.data.begin(), value.data.end(), data);
  // Like Windows, an unterminated string gets a zero after it when there is
  // room, without counting it in the size.
  if (IsStringType(value.type) && stored > 0 && value.data.back() != 0 && stored < capacity) {
    data[stored] = 0;
  }
  return ERROR_SUCCESS;
}

LSTATUS EmulatedRegistry::SetValueEx(HKEY handle, LPCSTR name, DWORD type, const BYTE* data,
                                     DWORD size) {
  if (data == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<Key> key;
  REGSAM access = 0;
  if (LSTATUS status = Resolve(handle, key, access)) return status;
  if (!Grants(access, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  key->values[name == nullptr ? "" : name] =
      RegistryValue{type, std::vector<BYTE>(data, data + size)};
  return ERROR_SUCCESS;
}

LSTATUS EmulatedRegistry::EnumValue(HKEY handle, DWORD index, LPSTR name, LPDWORD nameChars,
                                    LPDWORD type) {
  if (name == nullptr || nameChars == nullptr) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<Key> key;
  REGSAM access = 0;
  if (LSTATUS status = Resolve(handle, key, access)) return status;
  if (!Grants(access, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (index >= key->values.size()) return ERROR_NO_MORE_ITEMS;
  auto value = std::next(key->values.begin(), index);
  if (value->first.size() >= *nameChars) return ERROR_MORE_DATA;
  std::copy(value->first.begin(), value->first.end(), name);
  name[value->first.size()] = '\0';
  *nameChars = static_cast<DWORD>(value->first.size());
  if (type != nullptr) *type = value->second.type;
  return ERROR_SUCCESS;
}

LSTATUS EmulatedRegistry::DeleteValue(HKEY handle, LPCSTR name) {
  std::shared_ptr<Key> key;
  REGSAM access = 0;
  if (LSTATUS status = Resolve(handle, key, access)) return status;
  // Access is checked before the name is looked up, as on Windows.
  if (!Grants(access, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  auto found = key->values.find(name == nullptr ? "" : name);
  if (found == key->values.end()) return ERROR_FILE_NOT_FOUND;
  key->values.erase(found);
  return ERROR_SUCCESS;
}

LSTATUS EmulatedRegistry::DeleteTree(HKEY handle, LPCSTR subKey) {
  std::shared_ptr<Key> key;
  REGSAM access = 0;
  if (LSTATUS status = Resolve(handle, key, access)) return status;
  std::vector<std::string> names;
  if (LSTATUS status = SplitPath(subKey == nullptr ? "" : subKey, names)) return status;
  std::shared_ptr<Key> parent;
  for (const std::string& name : names) {
    auto found = key->subKeys.find(name);
    if (found == key->subKeys.end()) return ERROR_FILE_NOT_FOUND;
    parent = key;
    key = found->second;
  }
  // Handles still open on a deleted key see ERROR_KEY_DELETED from then on.
  struct Marker {
    static void Mark(Key& k) {
      k.deleted = true;
      for (auto& sub : k.subKeys) Mark(*sub.second);
    }
  };
  if (parent) {
    Marker::Mark(*key);
    parent->subKeys.erase(names.back());
  } else {
    // No sub-key: the key itself stays, its values and sub-keys go.
    for (auto& sub : key->subKeys) Marker::Mark(*sub.second);
    key->subKeys.clear();
    key->values.clear();
  }
  return ERROR_SUCCESS;
}

LSTATUS EmulatedRegistry::CloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  if (handles.erase(key) == 0) return ERROR_INVALID_HANDLE;
  return ERROR_SUCCESS;
}

}  // namespace emulation
}  // namespace Kestrova_Orvane
