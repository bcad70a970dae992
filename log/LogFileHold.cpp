#include "log/LogFileHold.h"

#include <cstring>

namespace Kestrova_Orvane {
namespace {

// Wine reports a link planted from the Unix side (it makes none itself) by
// its name only, not through a handle opened on it; Windows reports a link
// both ways.
bool IsLink(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

constexpr DWORD kFolderOrLink = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;

bool IsPlainFolder(HANDLE folder) {
  BY_HANDLE_FILE_INFORMATION information;
  return GetFileInformationByHandle(folder, &information) &&
         (information.dwFileAttributes & kFolderOrLink) == FILE_ATTRIBUTE_DIRECTORY;
}

bool IsFileWithOneName(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information;
  return GetFileInformationByHandle(file, &information) &&
         (information.dwFileAttributes & kFolderOrLink) == 0 && information.nNumberOfLinks == 1;
}

// The names that the system gives: letters of either case name the same.
bool SameName(const char* a, const char* b) {
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  while (*a != '\0' && lower(*a) == lower(*b)) {
    ++a;
    ++b;
  }
  return *a == '\0' && *b == '\0';
}

// A file opened through a folder made a junction in place since its check
// lies elsewhere (LogFileHold.h): the system must name it as the held
// folder followed by the log's name.
bool LiesIn(HANDLE folder, HANDLE file) {
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  const char* name = LogFileHold::kFile + std::strlen(LogFileHold::kFolder);  // "\KesOrvLog.log"
  const std::size_t nameLength = std::strlen(name);
  char expected[MAX_PATH];
  const DWORD length = GetFinalPathNameByHandleA(folder, expected, MAX_PATH, kFlags);
  if (length == 0 || length + nameLength >= MAX_PATH) return false;
  std::memcpy(expected + length, name, nameLength + 1);
  char actual[MAX_PATH];
  const DWORD actualLength = GetFinalPathNameByHandleA(file, actual, MAX_PATH, kFlags);
  return actualLength != 0 && actualLength < MAX_PATH && SameName(actual, expected);
}

}  // namespace

LogFileHold::LogFileHold() {
  if (IsLink(kFolder)) return;
  folder = CreateFileA(kFolder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                       /*hTemplateFile=*/nullptr);
  if (folder == INVALID_HANDLE_VALUE || !IsPlainFolder(folder) || IsLink(kFile)) {
    Release();
    return;
  }
  file = CreateFileA(kFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     /*lpSecurityAttributes=*/nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                     /*hTemplateFile=*/nullptr);
  if (file == INVALID_HANDLE_VALUE || !IsFileWithOneName(file) || !LiesIn(folder, file)) {
    Release();
  }
}

LogFileHold::~LogFileHold() { Release(); }

void LogFileHold::Release() {
  for (HANDLE* handle : {&file, &folder}) {
    if (*handle != INVALID_HANDLE_VALUE) CloseHandle(*handle);
    *handle = INVALID_HANDLE_VALUE;
  }
}

}  // namespace Kestrova_Orvane
