//===-- platform/WinApi.h - The tool's only door to the Win32 API ---------===//
//
// Product code (cleanup/, registry/, log/) includes this header and nothing
// else of Windows, and calls the Win32 functions by their own names. This is
// the one place that knows which platform the build is for:
//  - Windows: the real <windows.h>; ShellExecuteA, declared here rather
//    than through <shellapi.h>, is bound on first use (windows/Shell32.cpp).
//  - elsewhere: the in-process emulation of the same functions, so the code
//    tested on the build machine is the code that runs on Windows.
//
//===----------------------------------------------------------------------===//
#ifndef KESORV_PLATFORM_WINAPI_H
#define KESORV_PLATFORM_WINAPI_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
extern "C" HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                          LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd);
#else
#include "platform/emulation/WinApiEmulation.h"
#endif

#include "platform/NativePath.h"

#endif
