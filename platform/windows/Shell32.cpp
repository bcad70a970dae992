//===-- platform/windows/Shell32.cpp - ShellExecuteA, bound on first use --===//
//
// Windows only. Nothing here may emulate: this is the real shell call.
//
// Importing shell32.dll would load it, and the windowing libraries it
// depends on, at every start of the program, although only a launch needs
// it. So the tool does not import it: this definition of ShellExecuteA
// loads shell32.dll from the system folder on the first call and forwards
// every call, arguments untouched, to the real function.
//
//===----------------------------------------------------------------------===//
#include <cstring>

#include "platform/WinApi.h"

namespace {

using ShellExecuteAFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// What ShellExecuteA itself answers when a DLL it needs cannot be found.
constexpr ULONG_PTR kDllNotFound = 32;  // SE_ERR_DLLNOTFOUND

ShellExecuteAFunction Bind() {
  // A full path, so that no shell32.dll planted beside the program or in
  // the current folder is ever loaded.
  constexpr char kFileName[] = "\\shell32.dll";
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + sizeof kFileName > MAX_PATH) return nullptr;
  std::memcpy(path + length, kFileName, sizeof kFileName);
  // Stays loaded until the process ends.
  HMODULE shell = LoadLibraryA(path);
  if (shell == nullptr) return nullptr;
  FARPROC function = GetProcAddress(shell, "ShellExecuteA");
  return reinterpret_cast<ShellExecuteAFunction>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

extern "C" HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                          LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) {
  static const ShellExecuteAFunction bound = Bind();
  if (bound == nullptr) return reinterpret_cast<HINSTANCE>(kDllNotFound);
  return bound(hwnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
}
