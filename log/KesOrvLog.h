// The tool's diagnostic log: plain lines appended to "C:\Temp\KesOrvLog.log".
//
// One instance per process, created on the first message and never
// destroyed, so the file is opened at most once and only when there is
// something to say. A missing "C:\Temp" is not an error: messages are then
// dropped, and no folder or file is created anywhere else. The same holds
// when "C:\Temp" or the log file is a junction or symbolic link, or when
// the log file has another hard link: the log is never written through one.
#ifndef KESORV_LOG_KESORVLOG_H
#define KESORV_LOG_KESORVLOG_H

#include <fstream>
#include <string>

namespace Kestrova_Orvane {

class KesOrvLog {
 public:
  // The single log, or null when it cannot be created (the caller then drops
  // its message). A failed creation is tried again on the next call; a file
  // that failed to open is not.
  static KesOrvLog* GetInstance();

  KesOrvLog(const KesOrvLog&) = delete;
  KesOrvLog& operator=(const KesOrvLog&) = delete;
  virtual ~KesOrvLog();

  // Appends `message` and a line end, and flushes so the line is on disk
  // when this returns. Silent when the file could not be opened or written.
  void Write(std::string message);

 private:
  KesOrvLog();

  std::ofstream stream;
};

}  // namespace Kestrova_Orvane

#endif
