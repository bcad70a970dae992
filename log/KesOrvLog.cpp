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

// Closes a file handle at the end of the scope.
class ScopedFileHandle {
 public:
  explicit ScopedFileHandle(HANDLE file) : handle(file) {}
  ScopedFileHandle(const ScopedFileHandle&) = delete;
  ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;
  ~ScopedFileHandle() {
    if (IsValid()) CloseHandle(handle);
  }
  bool IsValid() const { return handle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle; }

 private:
  HANDLE handle;
};

// An ordinary file known by this one name: not a folder, not a reparse
// point, and no other hard link to it.
bool IsFileWithOneName(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(file, &information)) return false;
  constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  return (information.dwFileAttributes & kNotAFile) == 0 && information.nNumberOfLinks == 1;
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
// create C:\Temp and put a junction or symbolic link there, or a link in
// place of the log file: a symbolic link, or a hard link to a file the user
// may not write, which Windows lets users make. Appending through it would
// write to a file of their choosing. The log then stays closed and its
// messages are dropped, as when C:\Temp is missing.
//
// The file is checked through a handle of its own, which opens a link
// itself rather than its target and creates a missing file. It does not
// share deletion and stays open until the stream has opened the file too,
// so the name cannot be made to point elsewhere in between. (A junction
// planted at C:\Temp between its check and that open is not caught; the
// checks close the standing trap.)
//
// Text mode, so each line feed reaches the file as CR LF on Windows. The
// standard stream shares the file for reading and writing with others.
KesOrvLog::KesOrvLog() {
  if (IsLink(kLogFolder) || IsLink(kLogFilePath)) return;
  const ScopedFileHandle held(CreateFileA(kLogFilePath, FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          /*lpSecurityAttributes=*/nullptr, OPEN_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                          /*hTemplateFile=*/nullptr));
  if (!held.IsValid() || !IsFileWithOneName(held.Get())) return;
  stream.open(NativePath(kLogFilePath), std::ios::out | std::ios::app);
}

KesOrvLog::~KesOrvLog() = default;

void KesOrvLog::Write(std::string message) {
  stream << message << '\n';
  stream.flush();
}

}  // namespace Kestrova_Orvane
