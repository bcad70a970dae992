// The benchmark's physical floor: the least a registry tool can do. It
// loads advapi32.dll (imported, as the tool imports it) and opens and
// closes one key, the tool's autostart key, built and linked exactly like
// the tool.
#include <windows.h>

#include "tests/support/ToolPaths.h"

int main() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Kestrova_Orvane::test_support::kRunKey,
                    /*ulOptions=*/0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
  return 0;
}
