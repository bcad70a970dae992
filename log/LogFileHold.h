// LogFileHold: the log's folder and file, checked and held open while the
// log opens the file, so that the log is never written through a link.
//
// Once constructed, IsHeld() says whether both passed every check; the file
// is created when missing, the folder never. Until
// destroyed, the two handles share reading and writing, a concurrent run of
// the tool included, but not deletion: neither name can be renamed,
// deleted or replaced by a link meanwhile, so whatever opens the log's
// path then opens the very file that was checked.
//
// Refused, with nothing written and no file created, unless said:
// - the folder missing, or not a plain folder: a junction or a symbolic
//   link, by its name or through its handle;
// - the file a symbolic link, or a file with a second hard link;
// - a file that the system does not name as lying in the held folder. An
//   empty folder can still be made a junction where it stands, as sharing
//   does not bind that; the empty file that the open created then stays
//   where the junction led.
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
