//===-- platform/emulation/Kernel32.cpp - Files and code page -------------===//
//
// Build machine only. File functions work in the folder that stands for
// drive C:, where a symbolic link stands for a reparse point:
// GetFileAttributesA and CreateFileA with FILE_FLAG_OPEN_REPARSE_POINT see
// the link itself. A file handle is a descriptor of this process;
// EmulatedDrive applies sharing between the handles, and to renames and
// deletes, which need delete access. GetFinalPathNameByHandleA names the
// file where it is now, as the system does.
// IsDBCSLeadByte answers for the code page EmulatedDrive holds.
//
//===----------------------------------------------------------------------===//
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "platform/emulation/EmulatedDrive.h"
#include "platform/emulation/WinApiEmulation.h"

using Kestrova_Orvane::emulation::EmulatedDrive;
using Kestrova_Orvane::emulation::FileCall;

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

template <typename Result>
Result Fail(DWORD error, Result result) {
  lastError = error;
  return result;
}

EmulatedDrive::FileId IdOf(const struct stat& status) {
  return EmulatedDrive::FileId{status.st_dev, status.st_ino};
}

// Whether the name `local` (a link itself, not its target) may be renamed
// or deleted: that opens it for deletion, sharing everything.
bool MayDelete(const std::string& local) {
  struct stat status;
  if (lstat(local.c_str(), &status) != 0) return Fail(ERROR_FILE_NOT_FOUND, false);
  if (!EmulatedDrive::Instance().MayOpen(IdOf(status), DELETE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)) {
    return Fail(ERROR_SHARING_VIOLATION, false);
  }
  return true;
}

std::string LocalPath(LPCSTR windowsPath) {
  if (windowsPath == nullptr) return std::string();
  try {
    return EmulatedDrive::Instance().Map(windowsPath);
  } catch (...) {
    return std::string();
  }
}

// `status` from lstat or fstat; `local` names the same file, for the
// target of a link.
DWORD Attributes(const struct stat& status, const std::string& local) {
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

HANDLE FromDescriptor(int descriptor) {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor) + 1);
}

int ToDescriptor(HANDLE handle) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(handle) - 1);
}

}  // namespace

extern "C" DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  const std::string local = LocalPath(lpFileName);
  struct stat status;
  const DWORD attributes = local.empty() || lstat(local.c_str(), &status) != 0
                               ? INVALID_FILE_ATTRIBUTES
                               : Attributes(status, local);
  EmulatedDrive::Instance().Returning(FileCall::GetFileAttributes);
  return attributes;
}

// OPEN_EXISTING and OPEN_ALWAYS only. A folder opens only with
// FILE_FLAG_BACKUP_SEMANTICS, as on Windows.
extern "C" HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                     LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/,
                                     DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                     HANDLE /*hTemplateFile*/) {
  HANDLE result = INVALID_HANDLE_VALUE;
  const std::string local = LocalPath(lpFileName);
  struct stat status;
  const bool openLinkItself = (dwFlagsAndAttributes & FILE_FLAG_OPEN_REPARSE_POINT) != 0 &&
                              lstat(local.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
  int flags = O_CLOEXEC;
  if (openLinkItself) {
    flags |= O_PATH | O_NOFOLLOW;
  } else {
    flags |= O_RDONLY;
    if (dwCreationDisposition == OPEN_ALWAYS) flags |= O_CREAT;
  }
  const int descriptor = local.empty() ? -1 : open(local.c_str(), flags, 0666);
  if (descriptor < 0) {
    lastError = ERROR_FILE_NOT_FOUND;
  } else if (fstat(descriptor, &status) != 0 ||
             (S_ISDIR(status.st_mode) &&
              (dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) == 0)) {
    close(descriptor);
    lastError = ERROR_ACCESS_DENIED;
  } else if (!EmulatedDrive::Instance().MayOpen(IdOf(status), dwDesiredAccess, dwShareMode)) {
    close(descriptor);
    lastError = ERROR_SHARING_VIOLATION;
  } else {
    EmulatedDrive::Instance().Opened(descriptor, IdOf(status), dwDesiredAccess, dwShareMode);
    result = FromDescriptor(descriptor);
  }
  EmulatedDrive::Instance().Returning(FileCall::CreateFile);
  return result;
}

extern "C" BOOL WINAPI GetFileInformationByHandle(HANDLE hFile,
                                                  LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
  struct stat status;
  if (lpFileInformation == nullptr || fstat(ToDescriptor(hFile), &status) != 0) {
    EmulatedDrive::Instance().Returning(FileCall::GetFileInformationByHandle);
    return Fail(ERROR_INVALID_HANDLE, 0);
  }
  *lpFileInformation = BY_HANDLE_FILE_INFORMATION{};
  // A descriptor opened with O_PATH on a link reports the link itself.
  lpFileInformation->dwFileAttributes = Attributes(status, std::string());
  lpFileInformation->dwVolumeSerialNumber = static_cast<DWORD>(status.st_dev);
  lpFileInformation->nFileSizeHigh =
      static_cast<DWORD>(static_cast<std::uint64_t>(status.st_size) >> 32);
  lpFileInformation->nFileSizeLow = static_cast<DWORD>(status.st_size);
  lpFileInformation->nNumberOfLinks = static_cast<DWORD>(status.st_nlink);
  lpFileInformation->nFileIndexHigh =
      static_cast<DWORD>(static_cast<std::uint64_t>(status.st_ino) >> 32);
  lpFileInformation->nFileIndexLow = static_cast<DWORD>(status.st_ino);
  EmulatedDrive::Instance().Returning(FileCall::GetFileInformationByHandle);
  return 1;
}

// Where the file is now, as the system sees it: a file off drive C: has no
// such name.
extern "C" DWORD WINAPI GetFinalPathNameByHandleA(HANDLE hFile, LPSTR lpszFilePath,
                                                  DWORD cchFilePath, DWORD /*dwFlags*/) {
  std::string windows;
  try {
    std::error_code error;
    const std::filesystem::path local = std::filesystem::read_symlink(
        "/proc/self/fd/" + std::to_string(ToDescriptor(hFile)), error);
    if (error) return Fail(ERROR_INVALID_HANDLE, 0);
    windows = EmulatedDrive::Instance().WindowsPath(local.string());
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_OUTOFMEMORY, 0);
  }
  if (windows.empty()) return Fail(ERROR_PATH_NOT_FOUND, 0);
  if (cchFilePath <= windows.size()) return static_cast<DWORD>(windows.size() + 1);
  std::memcpy(lpszFilePath, windows.c_str(), windows.size() + 1);
  return static_cast<DWORD>(windows.size());
}

extern "C" BOOL WINAPI CloseHandle(HANDLE hObject) {
  EmulatedDrive::Instance().Closed(ToDescriptor(hObject));
  const BOOL closed = close(ToDescriptor(hObject)) == 0;
  EmulatedDrive::Instance().Returning(FileCall::CloseHandle);
  return closed;
}

// Without MOVEFILE_REPLACE_EXISTING an existing new name is an error.
extern "C" BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
  const std::string from = LocalPath(lpExistingFileName);
  const std::string to = LocalPath(lpNewFileName);
  if (from.empty() || to.empty()) return Fail(ERROR_FILE_NOT_FOUND, 0);
  struct stat status;
  if (lstat(to.c_str(), &status) == 0) {
    if ((dwFlags & MOVEFILE_REPLACE_EXISTING) == 0) return Fail(ERROR_ALREADY_EXISTS, 0);
    if (!MayDelete(to)) return 0;
  }
  if (!MayDelete(from)) return 0;
  return std::rename(from.c_str(), to.c_str()) == 0 ? 1 : Fail(ERROR_ACCESS_DENIED, 0);
}

extern "C" BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
  const std::string local = LocalPath(lpFileName);
  if (local.empty() || !MayDelete(local)) return 0;
  return unlink(local.c_str()) == 0 ? 1 : Fail(ERROR_ACCESS_DENIED, 0);
}

// A symbolic link that stands for a junction is removed as a folder.
extern "C" BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
  const std::string local = LocalPath(lpPathName);
  struct stat status;
  if (local.empty() || !MayDelete(local)) return 0;
  lstat(local.c_str(), &status);
  const int removed = S_ISLNK(status.st_mode) ? unlink(local.c_str()) : rmdir(local.c_str());
  return removed == 0 ? 1 : Fail(ERROR_ACCESS_DENIED, 0);
}

extern "C" DWORD WINAPI GetLastError(void) { return lastError; }
extern "C" void WINAPI SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

extern "C" BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) {
  switch (EmulatedDrive::Instance().CodePage()) {
    case 932:  // Shift JIS
      return (TestChar >= 0x81 && TestChar <= 0x9F) || (TestChar >= 0xE0 && TestChar <= 0xFC);
    default:  // single-byte code pages have no lead bytes
      return 0;
  }
}
