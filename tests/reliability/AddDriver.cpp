// zorvik-add-driver: one Add action (or Log Clean with --clean), window-free, on a given log, with
// fake dialogs, window and DXKeeper, as its own process so that a test can kill it or run it with
// other rights.
//
//   zorvik-add-driver LOG [--start DATE] [--call CALL] [--all-ops] [--clean] [--drop-root]
//
// Prints what the user would have seen, one line each: "box\t<title>\t<flags>\t<text>" (CR and
// LF in the text written as \r and \n), "billboard\t<text>", "queue\t<count>", "sent\t<command>".
// Exit status 0 after the action, 2 for a bad command line, 3 when the rights cannot be dropped.
#include <grp.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "FakeDialogs.h"
#include "FakeHost.h"
#include "FakeView.h"
#include "core/ZorvikMod.h"
#include "logops/LogOperations.h"

namespace {

std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

// Root writes to read-only files; a read-only log is only read-only to an ordinary user.
bool DropRoot() {
  if (geteuid() != 0) return true;
  constexpr uid_t kNobody = 65534;
  return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zorvik;
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: zorvik-add-driver LOG [--start DATE] [--call CALL] [--all-ops] [--clean] "
                 "[--drop-root]\n");
    return 2;
  }
  const std::string path = argv[1];
  std::string start = "1/1/1900";
  std::string call = "K1ZRV";
  bool allOperators = false;
  bool clean = false;
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--start" && i + 1 < argc) {
      start = argv[++i];
    } else if (option == "--call" && i + 1 < argc) {
      call = argv[++i];
    } else if (option == "--all-ops") {
      allOperators = true;
    } else if (option == "--clean") {
      clean = true;
    } else if (option == "--drop-root") {
      if (!DropRoot()) return 3;
    } else {
      std::fprintf(stderr, "zorvik-add-driver: unknown option %s\n", option.c_str());
      return 2;
    }
  }

  ZorvikMod mod;
  mod.LogPathName = path;
  mod.HostCallSign = call;
  mod.StopDatePlusOne = "1/1/2100";
  testing::FakeDde dde;
  testing::FakeSettings settings;
  settings.Set("LogPathName", path);
  testing::FakeDialogs dialogs;
  testing::FakeView view;
  view.databaseField = path;
  view.startDate = start;
  view.allOperators = allOperators;
  host::HostContext host{mod, dde, settings, dialogs, view, {"Zorvik", 1, 4, 2}};
  logdb::LogSession session;
  logdb::AppContext ctx{host, session};

  if (clean) {
    logdb::CleanLog(ctx);
  } else {
    logdb::LoadQslQueue(ctx);
  }

  for (const auto& box : dialogs.boxes) {
    std::printf("box\t%s\t%d\t%s\n", box.title.c_str(), box.flags, OneLine(box.text).c_str());
  }
  std::printf("billboard\t%s\nqueue\t%s\n", view.billboard.c_str(), view.queueCount.c_str());
  for (const auto& command : dde.journal) std::printf("sent\t%s\n", command.c_str());
  return 0;
}
