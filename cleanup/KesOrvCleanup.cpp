#include "cleanup/KesOrvCleanup.h"

#include <utility>

#include "log/KesOrvLog.h"
#include "platform/WinApi.h"

namespace Kestrova_Orvane {
namespace {

constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kProductKeyPath[] = "SOFTWARE\\Kestrova\\Orvane";
constexpr char kUninstallStringValue[] = "UninstallString";
constexpr char kUninstallArgsValue[] = "UninstallArgs";
constexpr char kOpenVerb[] = "open";

}  // namespace

KesOrvCleanup::KesOrvCleanup(CleanupMode runMode, std::string runValueName)
    : valueName(std::move(runValueName)), mode(runMode) {
  (void)Init();
}

bool KesOrvCleanup::Init() {
  try {
    if (mode == CleanupMode::RemoveRunValue) {
      if (!registry.OpenKey(kRunKeyPath)) return false;
      return registry.DeleteValue(valueName);
    }
    uninstallString = registry.ReadRegistry(kProductKeyPath, kUninstallStringValue);
    uninstallArgs = registry.ReadRegistry(kProductKeyPath, kUninstallArgsValue);
    (void)LaunchUninstaller(uninstallString, uninstallArgs);
    return false;
  } catch (...) {
    if (KesOrvLog* log = KesOrvLog::GetInstance()) log->Write("KesOrvCleanup::Init exception");
    return false;
  }
}

bool KesOrvCleanup::LaunchUninstaller(std::string file, std::string parameters) {
  if (file.empty() && parameters.empty()) return false;
  // Empty text goes to the shell as "", never as null. The result is not
  // examined: there is no one to tell, and the tool does not wait.
  (void)ShellExecuteA(/*hwnd=*/nullptr, kOpenVerb, file.c_str(), parameters.c_str(),
                      /*lpDirectory=*/nullptr, SW_HIDE);
  return true;
}

}  // namespace Kestrova_Orvane
