//===-- platform/emulation/EmulatedDrive.h - Drive C: as a local folder ---===//
//
// Build machine only. "C:\" maps to a folder that a test or a run chooses;
// until one is chosen, the drive does not exist and nothing on it opens.
// A run may choose it through the KESORV_EMULATED_DRIVE_C environment variable.
// A symbolic link in the folder stands for a reparse point (a junction or a
// symbolic link on Windows).
//
// The drive keeps the file handles open in this process, with their access
// and sharing, and applies Windows' sharing rule to every open, rename and
// delete: only opens that read, write, execute or delete data take part,
// and each must allow what the other does. Opens outside the emulation
// (standard streams, std::filesystem) are neither checked nor recorded.
// A test may also act between two calls of the code under test
// (ActAfter).
//
// The ANSI code page lives here too: 1252 unless a test sets another, so
// that IsDBCSLeadByte answers as on a Windows with that code page.
//
//===----------------------------------------------------------------------===//
#ifndef KESORV_PLATFORM_EMULATION_EMULATEDDRIVE_H
#define KESORV_PLATFORM_EMULATION_EMULATEDDRIVE_H

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/emulation/WinApiEmulation.h"

namespace Kestrova_Orvane {
namespace emulation {

// Calls after which a test may act.
enum class FileCall { GetFileAttributes, CreateFile, GetFileInformationByHandle, CloseHandle };

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
  // The other way: "\\?\C:\..." for a local path in the drive's folder,
  // as the system names a file it has open; empty text for any other path.
  std::string WindowsPath(const std::string& local) const;

  // Sharing. A file is known by its device and inode, a link by its own.
  struct FileId {
    dev_t device;
    ino_t inode;
  };
  // Whether a new open of `file` with `access` and `share` agrees with
  // every handle open on it.
  bool MayOpen(FileId file, DWORD access, DWORD share) const;
  void Opened(int descriptor, FileId file, DWORD access, DWORD share);
  void Closed(int descriptor) { handles.erase(descriptor); }

  // Runs `action` once, as the `nth` call of `call` from now returns, after
  // it has done its work; a test's way to act between two calls.
  void ActAfter(FileCall call, int nth, std::function<void()> action);
  // Called by each emulated function in FileCall as it returns.
  void Returning(FileCall call);

 private:
  EmulatedDrive();
  struct Handle {
    FileId file;
    DWORD access;
    DWORD share;
  };
  std::string root;
  unsigned ansiCodePage = 1252;
  std::map<int, Handle> handles;
  struct PlannedAction {
    FileCall call;
    int callsLeft;
    std::function<void()> action;
  };
  std::vector<PlannedAction> planned;
};

}  // namespace emulation
}  // namespace Kestrova_Orvane

#endif
