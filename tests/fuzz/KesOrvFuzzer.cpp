// libFuzzer target: arbitrary registry values, key paths, value names and
// command lines through the emulated Win32 layer into the tool. Checks what
// must hold whatever the input: the text read is the stored text up to its
// first zero with backslash characters rewritten, or empty when the value is
// not acceptable; the uninstaller gets exactly those texts; a run deletes at
// most the value it names, holds no key afterwards and returns 0.
// Build machine only (clang, -fsanitize=fuzzer,address,undefined).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cleanup/KesOrvCleanup.h"
#include "cleanup/ProgramMain.h"
#include "platform/emulation/EmulatedDrive.h"
#include "platform/emulation/EmulatedRegistry.h"
#include "platform/emulation/EmulatedShell.h"
#include "tests/support/ToolPaths.h"

using namespace Kestrova_Orvane;
using emulation::EmulatedDrive;
using emulation::EmulatedRegistry;
using emulation::EmulatedShell;
using emulation::HiddenOpen;
using emulation::RegistryNameLess;
using test_support::kProductKey;
using test_support::kRunKey;

namespace {

#define CHECK(condition) \
  if (!(condition)) std::abort()

struct Stored {
  bool present;
  DWORD type;
  std::vector<BYTE> bytes;
  REGSAM granted;
};

Stored ConsumeValue(FuzzedDataProvider& input) {
  Stored value;
  value.present = input.ConsumeBool();
  value.type = input.ConsumeIntegralInRange<DWORD>(0, 8);
  value.bytes = input.ConsumeBytes<BYTE>(input.ConsumeIntegralInRange<std::size_t>(0, 600));
  value.granted = input.ConsumeBool() ? KEY_ALL_ACCESS : KEY_READ;
  return value;
}

bool IsLead(BYTE c, bool doubleByte) {
  return doubleByte && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

// The text a stored value must read as; empty when it must not be read.
std::string Expected(const Stored& value, bool doubleByte) {
  const bool acceptable = value.present && (value.type == REG_SZ || value.type == REG_EXPAND_SZ) &&
                          value.bytes.size() <= 512 &&
                          (value.bytes.empty() || value.bytes.back() == 0) &&
                          value.granted == KEY_ALL_ACCESS;
  if (!acceptable) return "";
  std::string text(value.bytes.begin(), std::find(value.bytes.begin(), value.bytes.end(), 0));
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLead(static_cast<BYTE>(text[i]), doubleByte)) {
      ++i;
    } else if (text[i] == '\\') {
      text[i] = '/';
    }
  }
  return text;
}

void CheckShape(const std::string& text, bool doubleByte) {
  CHECK(text.size() <= 511);
  CHECK(text.find('\0') == std::string::npos);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLead(static_cast<BYTE>(text[i]), doubleByte)) {
      ++i;
    } else {
      CHECK(text[i] != '\\');
    }
  }
}

void Seed(const std::string& path, const std::string& name, const Stored& value) {
  EmulatedRegistry& registry = EmulatedRegistry::Instance();
  if (!registry.CreateKey(path)) return;
  if (value.present) (void)registry.SetValue(path, name, value.type, value.bytes);
  (void)registry.SetGrantedAccess(path, value.granted);
}

// Text as a C string carries it: up to its first zero.
std::string ConsumeText(FuzzedDataProvider& input, std::size_t maximum) {
  return input.ConsumeRandomLengthString(maximum).c_str();
}

void FuzzReadRegistry(FuzzedDataProvider& input, bool doubleByte) {
  const std::string keyPath = ConsumeText(input, 80);
  const std::string valueName = ConsumeText(input, 80);
  Stored value = ConsumeValue(input);
  const bool valid = EmulatedRegistry::Instance().CreateKey(keyPath);
  Seed(keyPath, valueName, value);
  if (!valid || (keyPath.empty() && valueName.empty())) value.present = false;
  // HKEY_LOCAL_MACHINE itself is opened without an access check.
  if (keyPath.empty()) value.granted = KEY_ALL_ACCESS;
  std::string text;
  {
    KesRegistryHelper helper;
    text = helper.ReadRegistry(keyPath, valueName);
  }
  CheckShape(text, doubleByte);
  CHECK(text == Expected(value, doubleByte));
  CHECK(EmulatedRegistry::Instance().OpenHandleCount() == 0);
}

void FuzzUninstall(FuzzedDataProvider& input, bool doubleByte) {
  Stored file = ConsumeValue(input);
  Stored parameters = ConsumeValue(input);
  parameters.granted = file.granted;  // one key, one access list
  Seed(kProductKey, "UninstallString", file);
  Seed(kProductKey, "UninstallArgs", parameters);
  { KesOrvCleanup cleanup(CleanupMode::Uninstall, ""); }
  const std::string expectedFile = Expected(file, doubleByte);
  const std::string expectedParameters = Expected(parameters, doubleByte);
  const auto& requests = EmulatedShell::Instance().Requests();
  if (expectedFile.empty() && expectedParameters.empty()) {
    CHECK(requests.empty());
  } else {
    CHECK(requests.size() == 1);
    CHECK(requests[0] == HiddenOpen(expectedFile, expectedParameters));
  }
  CHECK(EmulatedRegistry::Instance().OpenHandleCount() == 0);
}

void FuzzCommandLine(FuzzedDataProvider& input) {
  EmulatedRegistry& registry = EmulatedRegistry::Instance();
  const std::vector<std::string> before = {"Orvane", "Other", ConsumeText(input, 40)};
  for (const std::string& name : before) registry.SetString(kRunKey, name, "x.exe");
  std::vector<std::string> arguments(input.ConsumeIntegralInRange<std::size_t>(0, 6));
  for (std::string& argument : arguments) argument = ConsumeText(input, 100);
  arguments.insert(arguments.begin(), "KesOrvCleanup.exe");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(&argument[0]);
  argv.push_back(nullptr);

  CHECK(ProgramMain(static_cast<int>(arguments.size()), argv.data()) == 0);
  CHECK(registry.OpenHandleCount() == 0);
  const bool removal = arguments.size() >= 3;
  for (const std::string& name : before) {
    // An empty name deletes nothing (it is logged instead).
    const bool named = removal && !arguments[1].empty() &&
                       !RegistryNameLess()(name, arguments[1]) &&
                       !RegistryNameLess()(arguments[1], name);
    CHECK(registry.GetValue(kRunKey, name).has_value() != named);
  }
  CHECK(EmulatedShell::Instance().Requests().empty());  // no product key
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  EmulatedRegistry::Instance().Reset();
  EmulatedShell::Instance().Reset();
  const bool doubleByte = input.ConsumeBool();
  EmulatedDrive::Instance().SetCodePage(doubleByte ? 932 : 1252);
  switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
      FuzzReadRegistry(input, doubleByte);
      break;
    case 1:
      FuzzUninstall(input, doubleByte);
      break;
    default:
      FuzzCommandLine(input);
      break;
  }
  return 0;
}
