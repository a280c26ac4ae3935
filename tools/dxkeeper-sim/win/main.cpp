// dxkeeper-sim.exe: a substitute DXKeeper for tests and demos on Windows (and under Wine). Run
// with --help for the options.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ClientCaption.h"
#include "HeldLog.h"
#include "RawDdeServer.h"
#include "SimCommandLine.h"
#include "SimCommands.h"
#include "SimSettings.h"
#include "host/HostMonitor.h"
#include "host/win/WideText.h"

namespace {

using dxkeeper_sim::win::SimCommandLine;

constexpr const char* kWindowTitle = "dxkeeper-sim";
constexpr DWORD kStopWaitMs = 10000;

// The server window, for the console handler (which runs on a thread of its own).
std::atomic<HWND> gWindow{nullptr};

[[noreturn]] void Fail(int status, const std::string& text) {
  std::fprintf(stderr, "dxkeeper-sim: %s\n", text.c_str());
  std::exit(status);
}

std::vector<std::string> Arguments() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; argv != nullptr && i < argc; ++i) {
    args.push_back(zorvik::host::win::ToUtf8(argv[i]));
  }
  LocalFree(argv);
  return args;
}

// Ctrl-C, Ctrl-Break and closing the console end the sim the way closing its window does.
BOOL WINAPI OnConsoleEvent(DWORD) {
  if (HWND window = gWindow.load()) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// --stop: closes the window of the running sim and waits for its process to end.
int StopRunningSim() {
  HWND window = FindWindowA(dxkeeper_sim::win::RawDdeServer::kWindowClass, kWindowTitle);
  if (window == nullptr) Fail(1, "no dxkeeper-sim is running");
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  PostMessageA(window, WM_CLOSE, 0, 0);
  const bool ended = process != nullptr && WaitForSingleObject(process, kStopWaitMs) == 0;
  if (process != nullptr) CloseHandle(process);
  if (!ended) Fail(1, "dxkeeper-sim (process " + std::to_string(pid) + ") did not stop");
  return 0;
}

dxkeeper_sim::win::ExecuteReply Reply(bool done) {
  return done ? dxkeeper_sim::win::ExecuteReply::kAck : dxkeeper_sim::win::ExecuteReply::kNack;
}

}  // namespace

int main() {
  const auto parsed = dxkeeper_sim::win::ParseCommandLine(Arguments());
  if (const auto* error = std::get_if<std::string>(&parsed)) Fail(2, *error);
  const SimCommandLine& line = std::get<SimCommandLine>(parsed);
  if (line.mode == SimCommandLine::Mode::kHelp) {
    std::fputs(dxkeeper_sim::win::HelpText().c_str(), stdout);
    return 0;
  }
  if (line.mode == SimCommandLine::Mode::kStop) return StopRunningSim();

  if (!line.noSettings) {
    if (auto error = dxkeeper_sim::WriteHostSettings(line.log, line.call); !error.empty()) {
      Fail(1, error);
    }
  }
  dxkeeper_sim::HeldLog log(line.log);
  // A log that does not open is no reason to stop: tests of the link need no log, and DXKeeper
  // itself starts with a missing last log.
  if (auto error = log.Open(); !error.empty()) {
    std::fprintf(stderr, "dxkeeper-sim: log not open: %s: %s\n", line.log.c_str(), error.c_str());
  }
  dxkeeper_sim::SimCommands commands(log, dxkeeper_sim::CommandJournal(line.journal), line.refused,
                                     line.queueLog);

  const std::string topic = zorvik::host::kHostTopic;
  const auto bar = topic.find('|');
  dxkeeper_sim::win::ServerFaults faults;
  if (line.mute) {
    using dxkeeper_sim::win::Fault;
    faults.onRequest = faults.onAdvise = faults.onExecute = Fault::kIgnore;
  }
  dxkeeper_sim::win::RawDdeServer server(
      topic.substr(0, bar), topic.substr(bar + 1),
      [&commands](const std::string& command, HWND client) {
        return Reply(commands.Run(command, dxkeeper_sim::win::ClientCaption(client)));
      },
      faults);
  if (auto error = server.Open(kWindowTitle); !error.empty()) Fail(1, error);
  if (server.AnotherServerAnswers()) Fail(1, "another host already serves " + topic);
  server.SetItem("DDECommand", line.ddeCommand);
  server.SetItem("QSLMode", line.qslMode);

  gWindow = server.Window();
  SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
  std::printf("dxkeeper-sim: serving %s\n", topic.c_str());
  std::fflush(stdout);
  const int status = server.Run();
  gWindow = nullptr;
  return status;
}
