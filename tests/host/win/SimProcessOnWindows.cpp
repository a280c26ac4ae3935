#include "SimProcessOnWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "ProcessSupport.h"
#include "host/win/WideText.h"

namespace zorvik::testing {
namespace {

constexpr ULONGLONG kLimitMs = 10000;

// A started sim whose standard output and error come through a pipe.
struct Child {
  HANDLE process = nullptr;
  HANDLE output = nullptr;
};

Child Start(const std::vector<std::string>& arguments) {
  std::wstring command = QuoteArgument(ProgramDirectory() + L"dxkeeper-sim.exe");
  for (const auto& arg : arguments) command += L" " + QuoteArgument(host::win::ToWide(arg));
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return {};
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = write;
  PROCESS_INFORMATION info{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &info);
  CloseHandle(write);  // the child's copy is the only writer now: its end is the pipe's end
  if (!started) {
    CloseHandle(read);
    return {};
  }
  CloseHandle(info.hThread);
  return {info.hProcess, read};
}

// Reads what the child has written until `enough` holds for it or the pipe ends (the child has
// exited), at most kLimitMs. Returns false on the time limit.
template <typename Enough>
bool ReadOutput(const Child& child, std::string& output, Enough enough) {
  const ULONGLONG end = GetTickCount64() + kLimitMs;
  while (!enough(output)) {
    DWORD available = 0;
    if (!PeekNamedPipe(child.output, nullptr, 0, nullptr, &available, nullptr)) return true;
    if (available == 0) {
      if (GetTickCount64() > end) return false;
      WaitForSingleObject(child.process, 20);
      continue;
    }
    std::string chunk(available, '\0');
    DWORD got = 0;
    if (!ReadFile(child.output, chunk.data(), available, &got, nullptr)) return true;
    output.append(chunk, 0, got);
  }
  return true;
}

int ExitCodeOf(HANDLE process) {
  DWORD code = 0;
  return GetExitCodeProcess(process, &code) ? static_cast<int>(code) : -1;
}

}  // namespace

SimProcessOnWindows::SimProcessOnWindows(const std::vector<std::string>& arguments) {
  static std::atomic<int> counter{0};
  journal_ = TempDirectory() + L"ZorvikSim-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++counter) + L".journal";
  DeleteFileW(journal_.c_str());
  std::vector<std::string> all = arguments;
  all.insert(all.end(), {"--journal", host::win::ToUtf8(journal_)});
  const Child child = Start(all);
  if (child.process == nullptr) {
    ADD_FAILURE() << "cannot start dxkeeper-sim.exe, error " << GetLastError();
    return;
  }
  process_ = child.process;
  std::string output;
  const bool inTime = ReadOutput(child, output, [](const std::string& out) {
    const auto at = out.find("dxkeeper-sim: serving ");
    return at != std::string::npos && out.find('\n', at) != std::string::npos;
  });
  CloseHandle(child.output);
  if (!inTime || output.find("dxkeeper-sim: serving DXKeeper|DDEServer") == std::string::npos) {
    ADD_FAILURE() << "dxkeeper-sim.exe does not serve; its output:\n" << output;
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
    process_ = nullptr;
  }
}

SimProcessOnWindows::~SimProcessOnWindows() {
  Stop();
  DeleteFileW(journal_.c_str());
}

int SimProcessOnWindows::Stop() {
  if (process_ == nullptr) return exitCode_;
  const Outcome stop = Run({"--stop"});
  EXPECT_EQ(0, stop.exitCode) << "dxkeeper-sim --stop: " << stop.output;
  if (WaitForSingleObject(process_, 5000) == WAIT_OBJECT_0) {
    exitCode_ = ExitCodeOf(process_);
  } else {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
  return exitCode_;
}

std::vector<std::string> SimProcessOnWindows::JournalLines() const {
  std::ifstream in{std::filesystem::path(journal_)};
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

SimProcessOnWindows::Outcome SimProcessOnWindows::Run(const std::vector<std::string>& arguments) {
  Outcome outcome;
  const Child child = Start(arguments);
  if (child.process == nullptr) return outcome;
  const bool inTime = ReadOutput(child, outcome.output, [](const std::string&) { return false; });
  if (!inTime) TerminateProcess(child.process, 1);
  WaitForSingleObject(child.process, 5000);
  if (inTime) outcome.exitCode = ExitCodeOf(child.process);
  CloseHandle(child.output);
  CloseHandle(child.process);
  return outcome;
}

}  // namespace zorvik::testing
