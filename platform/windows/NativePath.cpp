//===-- platform/windows/NativePath.cpp - Windows: paths used as they stand ===//
//
// Windows only. Nothing here may emulate or translate.
//
//===----------------------------------------------------------------------===//
#include "platform/NativePath.h"

namespace Kestrova_Orvane {

std::string NativePath(const std::string& windowsPath) { return windowsPath; }

}  // namespace Kestrova_Orvane
