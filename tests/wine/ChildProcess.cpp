#include "tests/wine/ChildProcess.h"

namespace Kestrova_Orvane {
namespace test_support {
namespace {

// One argument as it must appear on a command line, for the C runtime of
// the child to hand it over unchanged.
std::wstring Quote(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  // Backslashes are literal unless they precede a quote, where each one
  // must be doubled; the closing quote counts as such a quote.
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      quoted.append(2 * backslashes + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L'"';
}

// What CreateProcessA does with its text.
std::wstring FromAnsiCodePage(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, /*dwFlags=*/0, text.data(),
                                                           static_cast<int>(text.size()), &wide[0],
                                                           static_cast<int>(wide.size()))));
  return wide;
}

}  // namespace

std::wstring ChildProcess::BesideThisProgram(const std::wstring& fileName) {
  wchar_t path[MAX_PATH];
  const std::wstring self(path, GetModuleFileNameW(/*hModule=*/nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of(L"\\/") + 1) + fileName;
}

ChildResult ChildProcess::Run(const std::wstring& program,
                              const std::vector<std::string>& arguments) {
  std::vector<std::wstring> wideArguments;
  for (const std::string& argument : arguments) {
    wideArguments.push_back(FromAnsiCodePage(argument));
  }
  return Run(program, wideArguments);
}

ChildResult ChildProcess::Run(const std::wstring& program,
                              const std::vector<std::wstring>& arguments) {
  std::wstring commandLine = Quote(program);
  for (const std::wstring& argument : arguments) commandLine += L' ' + Quote(argument);

  ChildResult result;
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, /*lpSecurityDescriptor=*/nullptr,
                                     /*bInheritHandle=*/TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, /*nSize=*/0)) return result;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process = {};
  result.started = CreateProcessW(program.c_str(), &commandLine[0], /*lpProcessAttributes=*/nullptr,
                                  /*lpThreadAttributes=*/nullptr, /*bInheritHandles=*/TRUE,
                                  /*dwCreationFlags=*/0, /*lpEnvironment=*/nullptr,
                                  /*lpCurrentDirectory=*/nullptr, &startup, &process) != FALSE;
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

}  // namespace test_support
}  // namespace Kestrova_Orvane
