//===-- platform/emulation/EmulatedDrive.cpp ------------------------------===//
//
// Build machine only.
//
//===----------------------------------------------------------------------===//
#include "platform/emulation/EmulatedDrive.h"

#include <algorithm>
#include <cstdlib>

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

}  // namespace emulation
}  // namespace Kestrova_Orvane
