#include "log/KesOrvLog.h"

#include "log/LogFileHold.h"
#include "platform/WinApi.h"

namespace Kestrova_Orvane {
namespace {

KesOrvLog* instance = nullptr;

}  // namespace

KesOrvLog* KesOrvLog::GetInstance() {
  if (instance == nullptr) {
    try {
      instance = new KesOrvLog();
    } catch (...) {
      return nullptr;
    }
  }
  return instance;
}

// The tool often runs with an installer's elevated rights, and any user can
// create C:\Temp and put a junction or symbolic link there, or a link in
// place of the log file: a symbolic link, or a hard link to a file the user
// may not write, which Windows lets users make. Appending through it would
// write to a file of their choosing. The log then stays closed and its
// messages are dropped, as when C:\Temp is missing. The folder and the file
// are checked and held (LogFileHold) until the stream has opened the file,
// so that no link can take their place in between.
//
// Text mode, so each line feed reaches the file as CR LF on Windows. The
// standard stream shares the file for reading and writing with others.
KesOrvLog::KesOrvLog() {
  const LogFileHold hold;
  if (hold.IsHeld()) stream.open(NativePath(LogFileHold::kFile), std::ios::out | std::ios::app);
}

KesOrvLog::~KesOrvLog() = default;

void KesOrvLog::Write(std::string message) {
  stream << message << '\n';
  stream.flush();
}

}  // namespace Kestrova_Orvane
