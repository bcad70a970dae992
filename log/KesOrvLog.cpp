#include "log/KesOrvLog.h"

#include "platform/WinApi.h"

namespace Kestrova_Orvane {
namespace {

constexpr char kLogFolder[] = "C:\\Temp";
constexpr char kLogFilePath[] = "C:\\Temp\\KesOrvLog.log";

KesOrvLog* instance = nullptr;

bool IsLink(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

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
// create C:\Temp and plant a junction or symbolic link there or in place of
// the log file, turning the append into a write to a file of their
// choosing. The log then stays closed and its messages are dropped, as
// when C:\Temp is missing. (A link planted between this check and the
// open is not caught; the check closes the standing trap.)
//
// Text mode, so each line feed reaches the file as CR LF on Windows. The
// standard stream shares the file for reading and writing with others.
KesOrvLog::KesOrvLog() {
  if (IsLink(kLogFolder) || IsLink(kLogFilePath)) return;
  stream.open(NativePath(kLogFilePath), std::ios::out | std::ios::app);
}

KesOrvLog::~KesOrvLog() = default;

void KesOrvLog::Write(std::string message) {
  stream << message << '\n';
  stream.flush();
}

}  // namespace Kestrova_Orvane
