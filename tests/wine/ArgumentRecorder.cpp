// A stand-in uninstaller for the end-to-end tests. Windows build only.
//
// Writes what it was started with to "<its own path>.record", then stays
// until "<its own path>.release" exists (at most a minute), so that a test
// can see that whoever started it did not wait for it; then writes
// "<its own path>.ended".
#include <fstream>
#include <string>

#include "platform/WinApi.h"

int main(int argc, char* argv[]) {
  char self[MAX_PATH];
  const std::string base(self, GetModuleFileNameA(nullptr, self, MAX_PATH));

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  {
    std::ofstream record(base + ".record", std::ios::binary);
    record << "show: "
           << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow)
                                                        : std::string("default"))
           << "\n";
    for (int i = 1; i < argc; ++i) record << "argument: " << argv[i] << "\n";
  }

  const std::string release = base + ".release";
  for (int waited = 0; waited < 600; ++waited) {
    if (GetFileAttributesA(release.c_str()) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(/*dwMilliseconds=*/100);
  }
  std::ofstream(base + ".ended") << "ended\n";
  return 0;
}
