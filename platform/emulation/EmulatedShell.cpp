//===-- platform/emulation/EmulatedShell.cpp ------------------------------===//
//
// Build machine only.
//
//===----------------------------------------------------------------------===//
#include "platform/emulation/EmulatedShell.h"

namespace Kestrova_Orvane {
namespace emulation {
namespace {

void PrintText(const std::optional<std::string>& text, std::ostream* out) {
  if (text) {
    *out << '"' << *text << '"';
  } else {
    *out << "NULL";
  }
}

}  // namespace

ShellRequest HiddenOpen(const std::string& file, const std::string& parameters) {
  return ShellRequest{false, "open", file, parameters, std::nullopt, SW_HIDE};
}

void PrintTo(const ShellRequest& request, std::ostream* out) {
  *out << "ShellExecuteA(" << (request.hasOwner ? "hwnd" : "NULL") << ", ";
  PrintText(request.verb, out);
  *out << ", ";
  PrintText(request.file, out);
  *out << ", ";
  PrintText(request.parameters, out);
  *out << ", ";
  PrintText(request.directory, out);
  *out << ", " << request.show << ")";
}

EmulatedShell& EmulatedShell::Instance() {
  static EmulatedShell shell;
  return shell;
}

}  // namespace emulation
}  // namespace Kestrova_Orvane
