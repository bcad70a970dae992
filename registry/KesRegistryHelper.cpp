#include "registry/KesRegistryHelper.h"

#include <algorithm>

#include "log/KesOrvLog.h"

namespace Kestrova_Orvane {
namespace {

// 511 bytes of text and the terminating zero.
constexpr DWORD kReadBufferSize = 512;

// Turns every backslash character into a forward slash. On a double-byte
// ANSI code page (932, 936, 949, 950) the byte 0x5C is also the second byte
// of many characters, such as 0x95 0x5C in code page 932; those are left
// alone, or the path would name another, nonexistent file.
void RewriteBackslashes(std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(text[i]))) {
      ++i;  // the next byte belongs to the same character
    } else if (text[i] == '\\') {
      text[i] = '/';
    }
  }
}

}  // namespace

bool KesRegistryHelper::OpenKey(std::string subKey) {
  if (subKey.empty()) return false;
  return key.Create(subKey) == ERROR_SUCCESS;
}

bool KesRegistryHelper::DeleteValue(std::string valueName) {
  if (valueName.empty()) {
    // An empty name would delete the key's default value.
    if (KesOrvLog* log = KesOrvLog::GetInstance()) log->Write("Cannot delete value");
    return false;
  }
  // A value that is already gone is what the caller wants; other failures
  // have no one to be reported to.
  (void)RegDeleteValueA(key.Handle(), valueName.c_str());
  return true;
}

std::string KesRegistryHelper::ReadRegistry(std::string keyPath, std::string valueName) {
  // A failed read yields empty text, never an earlier read's: the uninstall
  // mode must not hand the uninstaller its own path as its parameters.
  lastValue.clear();
  if (keyPath.empty() && valueName.empty()) return lastValue;
  try {
    // Open also fails when closing the previous key failed; the new key is
    // held then, but not read.
    if (key.Open(keyPath) == ERROR_SUCCESS) {
      BYTE buffer[kReadBufferSize] = {};
      DWORD count = kReadBufferSize;
      if (key.QueryString(valueName, buffer, count) == ERROR_SUCCESS) {
        // QueryString made sure the text ends inside the buffer.
        const BYTE* end = std::find(buffer, buffer + kReadBufferSize, 0);
        lastValue.assign(reinterpret_cast<const char*>(buffer), reinterpret_cast<const char*>(end));
        RewriteBackslashes(lastValue);
      }
    }
  } catch (...) {
    if (KesOrvLog* log = KesOrvLog::GetInstance()) log->Write("ReadRegistry exception");
    lastValue.clear();
  }
  return lastValue;
}

}  // namespace Kestrova_Orvane
