//===-- platform/emulation/Shell32.cpp - ShellExecuteA, emulated ----------===//
//
// Build machine only. Records the request and starts nothing.
//
//===----------------------------------------------------------------------===//
#include <new>

#include "platform/emulation/EmulatedShell.h"
#include "platform/emulation/WinApiEmulation.h"

using Kestrova_Orvane::emulation::EmulatedShell;
using Kestrova_Orvane::emulation::ShellRequest;

namespace {

std::optional<std::string> Text(LPCSTR text) {
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}

// What ShellExecuteA returns: above 32 for success, 0 when out of memory.
HINSTANCE Result(ULONG_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

}  // namespace

extern "C" HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                          LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) {
  try {
    EmulatedShell::Instance().Record(ShellRequest{hwnd != nullptr, Text(lpOperation), Text(lpFile),
                                                  Text(lpParameters), Text(lpDirectory), nShowCmd});
  } catch (const std::bad_alloc&) {
    return Result(0);
  }
  return Result(33);
}
