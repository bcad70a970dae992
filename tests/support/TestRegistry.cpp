#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

namespace Kestrova_Orvane {
namespace test_support {
namespace {

// Opens an existing key for the test's own reads; null when missing.
HKEY OpenForTest(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), /*ulOptions=*/0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

}  // namespace

void TestRegistry::DeleteTree(const std::string& path) {
  const LSTATUS status = RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
  ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << path << ": " << status;
}

void TestRegistry::SetValue(const std::string& path, const std::string& name, DWORD type,
                            const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), /*Reserved=*/0, /*lpClass=*/nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_WRITE, /*lpSecurityAttributes=*/nullptr,
                            &key, /*lpdwDisposition=*/nullptr))
      << path;
  // Windows counts a terminating zero that directly follows the data as
  // part of a string value; a non-zero byte there keeps the value exactly
  // as given.
  std::vector<BYTE> data(bytes.begin(), bytes.end());
  data.push_back(0xFF);
  const LSTATUS status = RegSetValueExA(key, name.c_str(), /*Reserved=*/0, type, data.data(),
                                        static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
  ASSERT_EQ(ERROR_SUCCESS, status) << path << " " << name;
}

void TestRegistry::SetString(const std::string& path, const std::string& name,
                             const std::string& text) {
  SetValue(path, name, REG_SZ, text + '\0');
}

bool TestRegistry::KeyExists(const std::string& path) {
  HKEY key = OpenForTest(path);
  if (key == nullptr) return false;
  RegCloseKey(key);
  return true;
}

std::optional<StoredValue> TestRegistry::GetValue(const std::string& path,
                                                  const std::string& name) {
  HKEY key = OpenForTest(path);
  if (key == nullptr) return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  std::optional<StoredValue> value;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> data(size + 1);
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size) == ERROR_SUCCESS) {
      value = StoredValue{type, std::string(data.begin(), data.begin() + size)};
    }
  }
  RegCloseKey(key);
  return value;
}

std::vector<std::string> TestRegistry::ValueNames(const std::string& path) {
  HKEY key = OpenForTest(path);
  if (key == nullptr) return {};
  std::vector<std::string> names = SortedValueNames<char>(key, RegEnumValueA);
  RegCloseKey(key);
  return names;
}

}  // namespace test_support
}  // namespace Kestrova_Orvane
