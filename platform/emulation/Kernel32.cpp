//===-- platform/emulation/Kernel32.cpp - File attributes and code page ---===//
//
// Build machine only. GetFileAttributesA looks at the folder that stands for
// drive C:, without following a symbolic link, which it reports as a reparse
// point. IsDBCSLeadByte answers for the code page EmulatedDrive holds.
//
//===----------------------------------------------------------------------===//
#include <sys/stat.h>

#include "platform/emulation/EmulatedDrive.h"
#include "platform/emulation/WinApiEmulation.h"

using Kestrova_Orvane::emulation::EmulatedDrive;

extern "C" DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  if (lpFileName == nullptr) return INVALID_FILE_ATTRIBUTES;
  std::string local;
  try {
    local = EmulatedDrive::Instance().Map(lpFileName);
  } catch (...) {
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat status;
  if (local.empty() || lstat(local.c_str(), &status) != 0) return INVALID_FILE_ATTRIBUTES;
  DWORD attributes = 0;
  if (S_ISLNK(status.st_mode)) {
    attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    struct stat target;
    if (stat(local.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
      attributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
  } else if (S_ISDIR(status.st_mode)) {
    attributes |= FILE_ATTRIBUTE_DIRECTORY;
  } else {
    attributes |= FILE_ATTRIBUTE_ARCHIVE;
  }
  if ((status.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

extern "C" BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) {
  switch (EmulatedDrive::Instance().CodePage()) {
    case 932:  // Shift JIS
      return (TestChar >= 0x81 && TestChar <= 0x9F) || (TestChar >= 0xE0 && TestChar <= 0xFC);
    default:  // single-byte code pages have no lead bytes
      return 0;
  }
}
