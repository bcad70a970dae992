//===-- platform/emulation/EmulatedDrive.cpp ------------------------------===//
//
// Build machine only.
//
//===----------------------------------------------------------------------===//
#include "platform/emulation/EmulatedDrive.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace Kestrova_Orvane {
namespace emulation {

EmulatedDrive& EmulatedDrive::Instance() {
  static EmulatedDrive drive;
  return drive;
}

EmulatedDrive::EmulatedDrive() {
  if (const char* folder = std::getenv("KESORV_EMULATED_DRIVE_C")) root = folder;
}

std::string EmulatedDrive::Map(const std::string& windowsPath) const {
  const bool onDriveC = windowsPath.size() >= 3 &&
                        (windowsPath[0] == 'C' || windowsPath[0] == 'c') && windowsPath[1] == ':' &&
                        windowsPath[2] == '\\';
  if (!onDriveC || root.empty()) return std::string();
  std::string local = root + windowsPath.substr(2);
  std::replace(local.begin() + root.size(), local.end(), '\\', '/');
  return local;
}

std::string EmulatedDrive::WindowsPath(const std::string& local) const {
  std::error_code error;
  const std::string folder = std::filesystem::canonical(root, error);
  if (root.empty() || error || local.compare(0, folder.size(), folder) != 0 ||
      (local.size() > folder.size() && local[folder.size()] != '/')) {
    return std::string();
  }
  std::string windows = "\\\\?\\C:\\" + local.substr(std::min(local.size(), folder.size() + 1));
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return windows;
}

namespace {

// Access that takes part in sharing; attribute and synchronize access do not.
constexpr DWORD kReadAccess =
    FILE_READ_DATA | FILE_EXECUTE | GENERIC_READ | GENERIC_EXECUTE | GENERIC_ALL;
constexpr DWORD kWriteAccess = FILE_WRITE_DATA | FILE_APPEND_DATA | GENERIC_WRITE | GENERIC_ALL;
constexpr DWORD kDeleteAccess = DELETE | GENERIC_ALL;

// Whether an open with `access` is allowed by a handle that shares `share`.
bool Allows(DWORD share, DWORD access) {
  return ((access & kReadAccess) == 0 || (share & FILE_SHARE_READ) != 0) &&
         ((access & kWriteAccess) == 0 || (share & FILE_SHARE_WRITE) != 0) &&
         ((access & kDeleteAccess) == 0 || (share & FILE_SHARE_DELETE) != 0);
}

bool TakesPart(DWORD access) {
  return (access & (kReadAccess | kWriteAccess | kDeleteAccess)) != 0;
}

}  // namespace

bool EmulatedDrive::MayOpen(FileId file, DWORD access, DWORD share) const {
  if (!TakesPart(access)) return true;
  for (const auto& [descriptor, handle] : handles) {
    if (handle.file.device != file.device || handle.file.inode != file.inode) continue;
    if (!TakesPart(handle.access)) continue;
    if (!Allows(handle.share, access) || !Allows(share, handle.access)) return false;
  }
  return true;
}

void EmulatedDrive::Opened(int descriptor, FileId file, DWORD access, DWORD share) {
  handles[descriptor] = Handle{file, access, share};
}

void EmulatedDrive::ActAfter(FileCall call, int nth, std::function<void()> action) {
  planned.push_back(PlannedAction{call, nth, std::move(action)});
}

void EmulatedDrive::Returning(FileCall call) {
  for (auto it = planned.begin(); it != planned.end(); ++it) {
    if (it->call == call && --it->callsLeft == 0) {
      const std::function<void()> action = std::move(it->action);
      planned.erase(it);
      action();
      return;
    }
  }
}

}  // namespace emulation
}  // namespace Kestrova_Orvane
