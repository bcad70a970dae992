//===-- platform/emulation/EmulatedDrive.h - Drive C: as a local folder ---===//
//
// Build machine only. "C:\" maps to a folder that a test or a run chooses;
// until one is chosen, the drive does not exist and nothing on it opens.
// A run may choose it through the KESORV_EMULATED_DRIVE_C environment variable.
// A symbolic link in the folder stands for a reparse point (a junction or a
// symbolic link on Windows).
//
// The ANSI code page lives here too: 1252 unless a test sets another, so
// that IsDBCSLeadByte answers as on a Windows with that code page.
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
  // 1252 (single-byte) or 932 (Japanese, double-byte).
  void SetCodePage(unsigned codePage) { ansiCodePage = codePage; }
  unsigned CodePage() const { return ansiCodePage; }
  const std::string& Root() const { return root; }
  // The local path of a "C:\..." path; empty text when it is not on C:
  // or no folder stands for the drive.
  std::string Map(const std::string& windowsPath) const;

 private:
  EmulatedDrive();
  std::string root;
  unsigned ansiCodePage = 1252;
};

}  // namespace emulation
}  // namespace Kestrova_Orvane

#endif
