#include "log/KesOrvLog.h"

#include "platform/WinApi.h"

namespace Kestrova_Orvane {
namespace {

constexpr char kLogFilePath[] = "C:\\Temp\\KesOrvLog.log";

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

// Text mode, so each line feed reaches the file as CR LF on Windows. The
// standard stream shares the file for reading and writing with others.
KesOrvLog::KesOrvLog() : stream(NativePath(kLogFilePath), std::ios::out | std::ios::app) {}

KesOrvLog::~KesOrvLog() = default;

void KesOrvLog::Write(std::string message) {
  stream << message << '\n';
  stream.flush();
}

}  // namespace Kestrova_Orvane
