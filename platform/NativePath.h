//===-- platform/NativePath.h - Where a Windows path lives on this build --===//
//
// The standard library opens files by the name this returns. On Windows a
// path is used as it stands; the emulation maps drive C: to a folder of the
// build machine. Only platform/ knows the mapping.
//
//===----------------------------------------------------------------------===//
#ifndef KESORV_PLATFORM_NATIVEPATH_H
#define KESORV_PLATFORM_NATIVEPATH_H

#include <string>

namespace Kestrova_Orvane {

// `windowsPath` is an absolute path such as "C:\Temp\x.log".
std::string NativePath(const std::string& windowsPath);

}  // namespace Kestrova_Orvane

#endif
