// A stand-in uninstaller for the end-to-end tests. Windows build only.
//
// Writes what it was started with to "<its own path>.record": the window
// show command, then each argument of its Unicode command line, as
// CommandLineToArgvW splits it, in UTF-8. Then it stays until "<its own path>.release"
// exists (at most a minute), so that a test can see that whoever started it
// did not wait for it, and writes "<its own path>.ended".
//
// Each file is written under another name and then renamed, so that a test
// that polls for it never reads it half-written.
#include <string>

#include "platform/WinApi.h"

// After platform/WinApi.h, which brings in <windows.h>: this header needs its types.
#include <shellapi.h>

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, /*dwFlags=*/0, text, /*cchWideChar=*/-1, nullptr, 0,
                                       /*lpDefaultChar=*/nullptr, /*lpUsedDefaultChar=*/nullptr);
  if (size <= 1) return std::string();
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, /*dwFlags=*/0, text, /*cchWideChar=*/-1, &bytes[0], size,
                      /*lpDefaultChar=*/nullptr, /*lpUsedDefaultChar=*/nullptr);
  bytes.pop_back();  // the terminating zero
  return bytes;
}

void WriteWhole(const std::wstring& path, const std::string& bytes) {
  const std::wstring partial = path + L".partial";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, /*dwShareMode=*/0,
                            /*lpSecurityAttributes=*/nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            /*hTemplateFile=*/nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                            /*lpOverlapped=*/nullptr);
  CloseHandle(file);
  if (ok && written == bytes.size()) {
    MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

}  // namespace

int main() {
  wchar_t self[MAX_PATH];
  const std::wstring base(self, GetModuleFileNameW(nullptr, self, MAX_PATH));

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  std::string record = "show: ";
  record += (startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow)
                                                     : std::string("default");
  record += "\n";
  int count = 0;
  if (wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) record += "argument: " + Utf8(arguments[i]) + "\n";
    LocalFree(arguments);
  }
  WriteWhole(base + L".record", record);

  const std::wstring release = base + L".release";
  for (int waited = 0; waited < 600; ++waited) {
    if (GetFileAttributesW(release.c_str()) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(/*dwMilliseconds=*/100);
  }
  WriteWhole(base + L".ended", "ended\n");
  return 0;
}
