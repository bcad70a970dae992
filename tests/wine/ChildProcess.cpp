#include "tests/wine/ChildProcess.h"

namespace Kestrova_Orvane {
namespace testing {

std::string ChildProcess::Quote(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
    return argument;
  }
  // Backslashes are literal unless they precede a quote, where each one
  // must be doubled; the closing quote counts as such a quote.
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
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
  return quoted + '"';
}

std::string ChildProcess::BesideThisProgram(const std::string& fileName) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1) + fileName;
}

ChildResult ChildProcess::Run(const std::string& program,
                              const std::vector<std::string>& arguments) {
  ChildResult result;
  std::string commandLine = Quote(program);
  for (const std::string& argument : arguments) commandLine += ' ' + Quote(argument);

  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, /*lpSecurityDescriptor=*/nullptr,
                                     /*bInheritHandle=*/TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, /*nSize=*/0)) return result;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process = {};
  result.started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr,
                                  /*bInheritHandles=*/TRUE, /*dwCreationFlags=*/0, nullptr,
                                  nullptr, &startup, &process) != FALSE;
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

}  // namespace testing
}  // namespace Kestrova_Orvane
