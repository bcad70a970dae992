//===-- platform/emulation/EmulatedShell.h - The shell, as a recorder -----===//
//
// Build machine only. ShellExecuteA records each request for tests to read,
// with null arguments kept apart from empty text, and starts a program only
// in name: it notes which file on drive C: Windows would start, as Windows
// finds it (docs/windows-behaviour.md). Where Wine's shell differs, this
// one follows Windows: it expands no environment reference in the file.
//
//===----------------------------------------------------------------------===//
#ifndef KESORV_PLATFORM_EMULATION_EMULATEDSHELL_H
#define KESORV_PLATFORM_EMULATION_EMULATEDSHELL_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/emulation/WinApiEmulation.h"

namespace Kestrova_Orvane {
namespace emulation {

struct ShellRequest {
  bool hasOwner = false;
  std::optional<std::string> verb;
  std::optional<std::string> file;
  std::optional<std::string> parameters;
  std::optional<std::string> directory;
  INT show = -1;

  bool operator==(const ShellRequest& other) const {
    return hasOwner == other.hasOwner && verb == other.verb && file == other.file &&
           parameters == other.parameters && directory == other.directory && show == other.show;
  }
};

// The request the tool makes: no owner, "open", no directory, hidden.
ShellRequest HiddenOpen(const std::string& file, const std::string& parameters);

// Lets test failures print a request readably.
void PrintTo(const ShellRequest& request, std::ostream* out);

class EmulatedShell {
 public:
  static EmulatedShell& Instance();

  EmulatedShell(const EmulatedShell&) = delete;
  EmulatedShell& operator=(const EmulatedShell&) = delete;

  void Reset() {
    requests.clear();
    started.clear();
  }
  const std::vector<ShellRequest>& Requests() const { return requests; }
  void Record(ShellRequest request) { requests.push_back(std::move(request)); }

  // The program that opening `file` starts: the file on drive C: that the
  // whole text names, in quotes or not, with either kind of slash, spelt
  // "C:\..."; nothing when no file has that name. Text after a quoted
  // path, an environment reference, a relative name: no file has such a
  // name here, as none has on Windows (a relative name aside, which
  // Windows looks up in folders this emulation does not have).
  static std::optional<std::string> ProgramNamedBy(std::string file);
  // The programs started so far, in order.
  const std::vector<std::string>& Started() const { return started; }
  void Start(std::string program) { started.push_back(std::move(program)); }

 private:
  EmulatedShell() = default;
  std::vector<ShellRequest> requests;
  std::vector<std::string> started;
};

}  // namespace emulation
}  // namespace Kestrova_Orvane

#endif
