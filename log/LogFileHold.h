// C:\Temp and the log file in it, each checked by name, then opened without
// following a link, checked through its own handle, and held: the folder
// must be a plain folder, the file a plain file with this one name,
// created when missing, that the system names as lying in the held folder.
//
// Both handles read (the folder's listing, the file's data) and share
// reading and writing but not deletion. Sharing binds every open that
// reads, writes or deletes, renames included, so while they are held
// neither name can be renamed, deleted or replaced by a link. It does not
// bind making an empty folder a junction where it stands; a file opened
// through such a folder lies elsewhere and is refused, though the empty
// file that its open created stays where the junction led. Once the file
// is in the folder, the folder is no longer empty: whatever opens
// "C:\Temp\KesOrvLog.log" meanwhile opens the very file that was checked,
// in the very folder. Others may still read and write both, a second hold
// included, as a concurrent run of the tool takes.
#ifndef KESORV_LOG_LOGFILEHOLD_H
#define KESORV_LOG_LOGFILEHOLD_H

#include "platform/WinApi.h"

namespace Kestrova_Orvane {

class LogFileHold {
 public:
  static constexpr char kFolder[] = "C:\\Temp";
  static constexpr char kFile[] = "C:\\Temp\\KesOrvLog.log";

  // Opens and checks the folder, then the file. Nothing is created when the
  // folder is missing or not a plain folder.
  LogFileHold();
  // Closes whatever is held.
  ~LogFileHold();
  LogFileHold(const LogFileHold&) = delete;
  LogFileHold& operator=(const LogFileHold&) = delete;

  // Whether both are held and passed their checks.
  bool IsHeld() const { return file != INVALID_HANDLE_VALUE; }

 private:
  void Release();

  HANDLE folder = INVALID_HANDLE_VALUE;
  HANDLE file = INVALID_HANDLE_VALUE;
};

}  // namespace Kestrova_Orvane

#endif
