// The sim's own contract: its command line and the settings it writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/linux/IniSettingsStore.h"
#include "support/SimProcess.h"

namespace zorvik::testing {
namespace {

TEST(DxkeeperSim, CommandLine) {
  SimEnvironment env;
  const auto help = SimProcess::Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* option : {"--log", "--call", "--qslmode", "--ddecommand", "--refuse",
                             "--no-settings", "--mute", "--journal"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(SimProcess::Run({"--log", "/x"}).exitCode, 2) << "--call is required";
  EXPECT_EQ(SimProcess::Run({"--call", "K1ABC"}).exitCode, 2) << "--log is required";
}

TEST(DxkeeperSim, WritesTheSettingsTheProgramReads) {
  SimEnvironment env;
  const std::string log = " C:\\Logs\\a,b;c.mdb ";
  {
    SimProcess sim({.log = log, .call = "DL1XYZ/P"});
    host::IniSettingsStore store;
    EXPECT_EQ(store.GetSetting("DXKeeper", "Configuration", "LogPathName"), log);
    EXPECT_EQ(store.GetSetting("DXKeeper", "Configuration", "CallSign"), "DL1XYZ/P");
  }
  std::filesystem::remove(env.SettingsFile());
  SimProcess sim({.noSettings = true});
  EXPECT_FALSE(std::filesystem::exists(env.SettingsFile()));
}

TEST(DxkeeperSim, RefusesToStartBesideALiveHost) {
  SimEnvironment env;
  SimProcess first;
  const auto second = SimProcess::Run({"--log", "/x", "--call", "K1ABC"});
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_NE(second.err.find("already serves"), std::string::npos) << second.err;
}

}  // namespace
}  // namespace zorvik::testing
