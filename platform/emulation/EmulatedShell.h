//===-- platform/emulation/EmulatedShell.h - The shell, as a recorder -----===//
//
// Build machine only. ShellExecuteA starts nothing here: it records each
// request for tests to read, with null arguments kept apart from empty text.
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

  void Reset() { requests.clear(); }
  const std::vector<ShellRequest>& Requests() const { return requests; }
  void Record(ShellRequest request) { requests.push_back(std::move(request)); }

 private:
  EmulatedShell() = default;
  std::vector<ShellRequest> requests;
};

}  // namespace emulation
}  // namespace Kestrova_Orvane

#endif
