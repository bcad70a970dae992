//===-- platform/emulation/Shell32.cpp - ShellExecuteA, emulated ----------===//
//
// Build machine only. Records the request, and starts the program it names
// only in name (EmulatedShell.h).
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

// What ShellExecuteA returns: above 32 when it started the program,
// SE_ERR_FNF when it found none, 0 when out of memory.
HINSTANCE Result(ULONG_PTR code) { return reinterpret_cast<HINSTANCE>(code); }
constexpr ULONG_PTR kStarted = 33;

}  // namespace

extern "C" HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                          LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) {
  try {
    EmulatedShell& shell = EmulatedShell::Instance();
    shell.Record(ShellRequest{hwnd != nullptr, Text(lpOperation), Text(lpFile), Text(lpParameters),
                              Text(lpDirectory), nShowCmd});
    std::optional<std::string> program;
    if (lpFile != nullptr) program = EmulatedShell::ProgramNamedBy(lpFile);
    if (!program) return Result(SE_ERR_FNF);
    shell.Start(std::move(*program));
  } catch (const std::bad_alloc&) {
    return Result(0);
  }
  return Result(kStarted);
}
