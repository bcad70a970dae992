// Stands in for the product's program in the sample installers. Like the
// real one, which the Run entry starts at logon, it stays running with a
// hidden top-level window of class "OrvaneWindow" until that window is
// asked to close; the NSIS installer and uninstaller close it that way
// before they replace or delete the files. Windows build only.
//
//   Orvane.exe [READY_FILE [ignore-close | no-window]]
//
// With READY_FILE, it creates that (empty) file once it is ready, so that
// a test knows when an installer can find it. The last argument makes an
// instance that a polite request does not close: a window that ignores
// WM_CLOSE, as a hung or a busy program's does, or no window at all, as
// for an instance in another session, whose windows no installer sees.
#include <windows.h>

#include <string>

namespace {

bool ignore_close = false;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(/*nExitCode=*/0);
    return 0;
  }
  if (message == WM_CLOSE && ignore_close) return 0;
  // WM_CLOSE's default destroys the window.
  return DefWindowProcA(window, message, wparam, lparam);
}

// Under a temporary name first, so that the file appears whole.
void SignalReady(const char* path) {
  const std::string partial = std::string(path) + ".partial";
  const HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, /*dwShareMode=*/0,
                                  /*lpSecurityAttributes=*/nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, /*hTemplateFile=*/nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  CloseHandle(file);
  MoveFileExA(partial.c_str(), path, MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/,
                   int /*show*/) {
  const std::string mode = __argc > 2 ? __argv[2] : "";
  ignore_close = mode == "ignore-close";
  if (mode == "no-window") {
    if (__argc > 1) SignalReady(__argv[1]);
    Sleep(INFINITE);
  }
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = "OrvaneWindow";
  if (!RegisterClassA(&window_class)) return 1;
  // Never shown: the product lives in the background.
  const HWND window =
      CreateWindowExA(/*dwExStyle=*/0, "OrvaneWindow", "Orvane", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, /*hWndParent=*/nullptr,
                      /*hMenu=*/nullptr, instance, /*lpParam=*/nullptr);
  if (window == nullptr) return 1;
  if (__argc > 1) SignalReady(__argv[1]);

  MSG message;
  while (GetMessageA(&message, /*hWnd=*/nullptr, /*wMsgFilterMin=*/0, /*wMsgFilterMax=*/0) > 0) {
    DispatchMessageA(&message);
  }
  return 0;
}
