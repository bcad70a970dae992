//===-- platform/emulation/NativePath.cpp - Drive C: mapped to a folder ---===//
//
// Build machine only.
//
//===----------------------------------------------------------------------===//
#include "platform/NativePath.h"

#include "platform/emulation/EmulatedDrive.h"

namespace Kestrova_Orvane {

std::string NativePath(const std::string& windowsPath) {
  return emulation::EmulatedDrive::Instance().Map(windowsPath);
}

}  // namespace Kestrova_Orvane
