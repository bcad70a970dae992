#include "tests/wine/UnicodeRegistry.h"

#include <gtest/gtest.h>

#include "platform/WinApi.h"
#include "tests/support/TestRegistry.h"

namespace Kestrova_Orvane {
namespace test_support {

void UnicodeRegistry::SetString(const std::wstring& path, const std::wstring& name,
                                const std::wstring& text) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), /*Reserved=*/0, /*lpClass=*/nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_WRITE, /*lpSecurityAttributes=*/nullptr,
                            &key, /*lpdwDisposition=*/nullptr));
  const LSTATUS status = RegSetValueExW(key, name.c_str(), /*Reserved=*/0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(text.c_str()),
                                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  ASSERT_EQ(ERROR_SUCCESS, status);
}

std::vector<std::wstring> UnicodeRegistry::ValueNames(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), /*ulOptions=*/0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return {};
  }
  std::vector<std::wstring> names = SortedValueNames<wchar_t>(key, RegEnumValueW);
  RegCloseKey(key);
  return names;
}

std::wstring ThroughCodePage1252(const std::wstring& text) {
  constexpr UINT kCodePage = 1252;
  const int length = static_cast<int>(text.size());
  std::string bytes(text.size() * 2, '\0');
  bytes.resize(static_cast<std::size_t>(
      WideCharToMultiByte(kCodePage, /*dwFlags=*/0, text.data(), length, &bytes[0],
                          static_cast<int>(bytes.size()), /*lpDefaultChar=*/nullptr,
                          /*lpUsedDefaultChar=*/nullptr)));
  std::wstring back(bytes.size(), L'\0');
  back.resize(static_cast<std::size_t>(MultiByteToWideChar(kCodePage, /*dwFlags=*/0, bytes.data(),
                                                           static_cast<int>(bytes.size()), &back[0],
                                                           static_cast<int>(back.size()))));
  return back;
}

std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 4, '\0');
  bytes.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, /*dwFlags=*/0, text.data(), static_cast<int>(text.size()),
                          &bytes[0], static_cast<int>(bytes.size()), /*lpDefaultChar=*/nullptr,
                          /*lpUsedDefaultChar=*/nullptr)));
  return bytes;
}

}  // namespace test_support
}  // namespace Kestrova_Orvane
