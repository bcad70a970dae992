//===-- platform/emulation/EmulatedShell.cpp ------------------------------===//
//
// Build machine only.
//
//===----------------------------------------------------------------------===//
#include "platform/emulation/EmulatedShell.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/emulation/EmulatedDrive.h"

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

std::optional<std::string> EmulatedShell::ProgramNamedBy(std::string file) {
  if (file.size() >= 2 && file.front() == '"' && file.back() == '"') {
    file = file.substr(1, file.size() - 2);
  }
  if (file.find('"') != std::string::npos) return std::nullopt;
  std::replace(file.begin(), file.end(), '/', '\\');
  const std::string local = EmulatedDrive::Instance().Map(file);
  std::error_code error;
  if (local.empty() || !std::filesystem::is_regular_file(local, error)) return std::nullopt;
  return file;
}

EmulatedShell& EmulatedShell::Instance() {
  static EmulatedShell shell;
  return shell;
}

}  // namespace emulation
}  // namespace Kestrova_Orvane
