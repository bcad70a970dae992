#include "tests/wine/ChildProcess.h"

namespace Kestrova_Orvane {
namespace testing {
namespace {

// Starts the child through `create` with its output going to a pipe,
// waits for it and collects the output.
template <typename Create>
ChildResult Collect(Create create) {
  ChildResult result;
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, /*lpSecurityDescriptor=*/nullptr,
                                     /*bInheritHandle=*/TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, /*nSize=*/0)) return result;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  PROCESS_INFORMATION process = {};
  result.started = create(GetStdHandle(STD_INPUT_HANDLE), writeEnd, process);
  CloseHandle(writeEnd);
  if (result.started) {
    // Waits for the child alone: a program it started may hold the pipe
    // open for longer. A child that prints more than the pipe holds would
    // block, but the programs run here print nothing or little.
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    DWORD available = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      char buffer[4096];
      DWORD got = 0;
      if (!ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
      result.output.append(buffer, got);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(readEnd);
  return result;
}

// One argument as it must appear on a command line, for the C runtime of
// the child to hand it over unchanged.
template <typename Text>
Text Quote(const Text& argument) {
  using Char = typename Text::value_type;
  static const Char kSpecial[] = {' ', '\t', '\n', '\v', '"', 0};
  if (!argument.empty() && argument.find_first_of(kSpecial) == Text::npos) return argument;
  // Backslashes are literal unless they precede a quote, where each one
  // must be doubled; the closing quote counts as such a quote.
  Text quoted(1, '"');
  std::size_t backslashes = 0;
  for (Char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(2 * backslashes + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  quoted += '"';
  return quoted;
}

template <typename Text>
Text CommandLine(const Text& program, const std::vector<Text>& arguments) {
  Text commandLine = Quote(program);
  for (const Text& argument : arguments) {
    commandLine += ' ';
    commandLine += Quote(argument);
  }
  return commandLine;
}

}  // namespace

std::string ChildProcess::BesideThisProgram(const std::string& fileName) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1) + fileName;
}

ChildResult ChildProcess::Run(const std::string& program,
                              const std::vector<std::string>& arguments) {
  std::string commandLine = CommandLine(program, arguments);
  return Collect([&](HANDLE input, HANDLE output, PROCESS_INFORMATION& process) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    return CreateProcessA(program.c_str(), &commandLine[0], /*lpProcessAttributes=*/nullptr,
                          /*lpThreadAttributes=*/nullptr, /*bInheritHandles=*/TRUE,
                          /*dwCreationFlags=*/0, /*lpEnvironment=*/nullptr,
                          /*lpCurrentDirectory=*/nullptr, &startup, &process) != FALSE;
  });
}

ChildResult ChildProcess::Run(const std::wstring& program,
                              const std::vector<std::wstring>& arguments) {
  std::wstring commandLine = CommandLine(program, arguments);
  return Collect([&](HANDLE input, HANDLE output, PROCESS_INFORMATION& process) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    return CreateProcessW(program.c_str(), &commandLine[0], /*lpProcessAttributes=*/nullptr,
                          /*lpThreadAttributes=*/nullptr, /*bInheritHandles=*/TRUE,
                          /*dwCreationFlags=*/0, /*lpEnvironment=*/nullptr,
                          /*lpCurrentDirectory=*/nullptr, &startup, &process) != FALSE;
  });
}

}  // namespace testing
}  // namespace Kestrova_Orvane
