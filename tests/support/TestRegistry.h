// Seeds and inspects keys under HKEY_LOCAL_MACHINE through the Win32 API, so
// that a test runs unchanged against the emulation and against a real
// registry. Failures are reported to GoogleTest, not returned.
#ifndef KESORV_TESTS_SUPPORT_TESTREGISTRY_H
#define KESORV_TESTS_SUPPORT_TESTREGISTRY_H

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/WinApi.h"

namespace Kestrova_Orvane {
namespace test_support {

struct StoredValue {
  DWORD type;
  std::string bytes;
  bool operator==(const StoredValue& other) const {
    return type == other.type && bytes == other.bytes;
  }
};

class TestRegistry {
 public:
  // Keys of the tests' own, away from anything the tool touches.
  static constexpr char kScratchKey[] = "Software\\KesOrvTests";

  // Removes the key and everything below it; a missing key is fine.
  static void DeleteTree(const std::string& path);
  // Stores exactly `bytes` (no terminating zero is added).
  static void SetValue(const std::string& path, const std::string& name, DWORD type,
                       const std::string& bytes);
  // Stores a REG_SZ holding `text` and its terminating zero.
  static void SetString(const std::string& path, const std::string& name, const std::string& text);
  static bool KeyExists(const std::string& path);
  static std::optional<StoredValue> GetValue(const std::string& path, const std::string& name);
  // Sorted, so tests can compare them whatever order the registry keeps.
  static std::vector<std::string> ValueNames(const std::string& path);
};

// The names of every value of `key`, sorted. `enumValue` is RegEnumValueA,
// or RegEnumValueW for names in full (UnicodeRegistry).
template <typename Char, typename EnumValue>
std::vector<std::basic_string<Char>> SortedValueNames(HKEY key, EnumValue enumValue) {
  std::vector<std::basic_string<Char>> names;
  for (DWORD index = 0;; ++index) {
    Char name[16384];  // the longest value name, and its zero
    DWORD length = sizeof name / sizeof name[0];
    if (enumValue(key, index, name, &length, /*lpReserved=*/nullptr, /*lpType=*/nullptr,
                  /*lpData=*/nullptr, /*lpcbData=*/nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A fixture whose tests work under the scratch key, empty at the start and
// removed at the end.
class ScratchKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { TestRegistry::DeleteTree(TestRegistry::kScratchKey); }
  void TearDown() override { TestRegistry::DeleteTree(TestRegistry::kScratchKey); }
};

}  // namespace test_support
}  // namespace Kestrova_Orvane

#endif
