//===-- platform/emulation/EmulatedDrive.h - Drive C: as a local folder ---===//
//
// Build machine only. "C:\" maps to a folder that a test or a run chooses;
// until one is chosen, the drive does not exist and nothing on it opens.
// A run may choose it through the KESORV_EMULATED_DRIVE_C environment variable.
//
//===----------------------------------------------------------------------===//
#ifndef KESORV_PLATFORM_EMULATION_EMULATEDDRIVE_H
#define KESORV_PLATFORM_EMULATION_EMULATEDDRIVE_H

#include <string>

namespace Kestrova_Orvane {
namespace emulation {

class EmulatedDrive {
 public:
  static EmulatedDrive& Instance();

  EmulatedDrive(const EmulatedDrive&) = delete;
  EmulatedDrive& operator=(const EmulatedDrive&) = delete;

  void SetRoot(std::string folder) { root = std::move(folder); }
  const std::string& Root() const { return root; }
  // The local path of a "C:\..." path; empty text when it is not on C:
  // or no folder stands for the drive.
  std::string Map(const std::string& windowsPath) const;

 private:
  EmulatedDrive();
  std::string root;
};

}  // namespace emulation
}  // namespace Kestrova_Orvane

#endif
