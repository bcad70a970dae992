// Seeds and inspects keys under HKEY_LOCAL_MACHINE through the Unicode
// registry functions, which keep every character: what an installer writes,
// against which the tool's ANSI functions are tested. Windows build only;
// failures are reported to GoogleTest.
#ifndef KESORV_TESTS_WINE_UNICODEREGISTRY_H
#define KESORV_TESTS_WINE_UNICODEREGISTRY_H

#include <string>
#include <vector>

namespace Kestrova_Orvane {
namespace test_support {

class UnicodeRegistry {
 public:
  // Stores a REG_SZ holding `text` and its terminating zero.
  static void SetString(const std::wstring& path, const std::wstring& name,
                        const std::wstring& text);
  // Sorted.
  static std::vector<std::wstring> ValueNames(const std::wstring& path);
};

// `text` as a program whose ANSI code page is 1252 receives it: characters
// the code page lacks become their best-fit lookalikes (L for Ł) or '?'.
std::wstring ThroughCodePage1252(const std::wstring& text);

// UTF-8, for comparing with what the stand-in uninstaller records.
std::string Utf8(const std::wstring& text);

}  // namespace test_support
}  // namespace Kestrova_Orvane

#endif
