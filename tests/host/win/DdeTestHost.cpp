// A stand-in for DXKeeper's DDE server for the link tests: the sim's raw WM_DDE_* server
// (tools/dxkeeper-sim/win/RawDdeServer.h) with any items and the faults the tests need.
//
//   dde-test-host.exe --ready <event> [--journal <file>] [--refuse-execute] [--busy]
//                     [--no-advise] [--hang-after-connect] [--hang-on-advise]
//                     [--quit-after-connect] [--quit-on-advise] [item=value ...]
//
// Serves service "DXKeeper", topic "DDEServer"; items as given. Each execute it acknowledges is
// appended to the journal as one UTF-8 line before the acknowledgement. The server window is
// titled with the ready event's name, which is set once the window exists.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "host/win/WideText.h"
#include "win/RawDdeServer.h"

namespace {

using dxkeeper_sim::win::ExecuteReply;
using dxkeeper_sim::win::Fault;
using dxkeeper_sim::win::ServerFaults;
using zorvik::host::win::ToUtf8;

struct Options {
  std::wstring readyEvent;
  std::wstring journal;
  ExecuteReply refusal = ExecuteReply::kAck;  // kAck: executes are run
  ServerFaults faults;
  std::map<std::string, std::string> items;  // UTF-8
};

bool Parse(Options& options) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return false;
  bool ok = true;
  for (int i = 1; i < argc && ok; ++i) {
    const std::wstring arg = argv[i];
    ServerFaults& f = options.faults;
    if (arg == L"--ready" && i + 1 < argc) {
      options.readyEvent = argv[++i];
    } else if (arg == L"--journal" && i + 1 < argc) {
      options.journal = argv[++i];
    } else if (arg == L"--refuse-execute") {
      options.refusal = ExecuteReply::kNack;
    } else if (arg == L"--busy") {
      options.refusal = ExecuteReply::kBusy;
    } else if (arg == L"--no-advise") {
      f.refuseAdvise = true;
    } else if (arg == L"--hang-after-connect") {
      f.onRequest = f.onAdvise = f.onExecute = Fault::kHang;
    } else if (arg == L"--hang-on-advise") {
      f.onAdvise = Fault::kHang;
    } else if (arg == L"--quit-after-connect") {
      f.onRequest = f.onAdvise = f.onExecute = Fault::kQuit;
    } else if (arg == L"--quit-on-advise") {
      f.onAdvise = Fault::kQuit;
    } else if (auto eq = arg.find(L'='); eq != std::wstring::npos) {
      options.items[ToUtf8(arg.substr(0, eq))] = ToUtf8(arg.substr(eq + 1));
    } else {
      ok = false;
    }
  }
  LocalFree(argv);
  return ok && !options.readyEvent.empty();
}

}  // namespace

int main() {
  Options options;
  if (!Parse(options)) {
    std::fprintf(stderr, "usage: dde-test-host --ready <event> [options] [item=value ...]\n");
    return 2;
  }
  dxkeeper_sim::win::RawDdeServer server(
      "DXKeeper", "DDEServer",
      [&options](const std::string& command, HWND) {
        if (options.refusal != ExecuteReply::kAck) return options.refusal;
        if (!options.journal.empty()) {
          std::ofstream(std::filesystem::path(options.journal), std::ios::binary | std::ios::app)
              << command << "\n";
        }
        return ExecuteReply::kAck;
      },
      options.faults);
  if (!server.Open(ToUtf8(options.readyEvent)).empty()) return 4;
  for (const auto& [item, value] : options.items) server.SetItem(item, value);

  if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, options.readyEvent.c_str())) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  return server.Run();
}
