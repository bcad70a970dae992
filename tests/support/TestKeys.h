// The keys the tool works on, below HKEY_LOCAL_MACHINE, for the tests, the
// fuzz target and the benchmark. Spelled here rather than taken from the
// tool, so that a wrong path in the tool fails its tests.
#ifndef KESORV_TESTS_SUPPORT_TESTKEYS_H
#define KESORV_TESTS_SUPPORT_TESTKEYS_H

namespace Kestrova_Orvane {
namespace test_support {

inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kProductKey[] = "SOFTWARE\\Kestrova\\Orvane";
inline constexpr wchar_t kWideRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kWideProductKey[] = L"SOFTWARE\\Kestrova\\Orvane";

}  // namespace test_support
}  // namespace Kestrova_Orvane

#endif
