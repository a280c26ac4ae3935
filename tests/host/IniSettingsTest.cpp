#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "host/linux/IniFile.h"
#include "host/linux/IniSettingsStore.h"
#include "support/SimProcess.h"

namespace zorvik::host {
namespace {

TEST(FindIniValue, ReadsValuesVerbatim) {
  const struct {
    const char* name;
    std::string text;
    std::optional<std::string> want;
  } cases[] = {
      {"plain", "[Configuration]\nLogPathName=/home/a/log.sqlite\n", "/home/a/log.sqlite"},
      {"Windows path keeps backslashes", "[Configuration]\nLogPathName=C:\\Logs\\new\\a.mdb\n",
       "C:\\Logs\\new\\a.mdb"},
      {"comma and semicolon are part of the value", "[Configuration]\nLogPathName=/a,b;c.db\n",
       "/a,b;c.db"},
      {"CRLF and a byte-order mark", "\xEF\xBB\xBF[Configuration]\r\nLogPathName=x\r\n", "x"},
      {"blanks around key and value", "[ Configuration ]\n  LogPathName =  x y  \n", "x y"},
      {"quotes keep outer blanks", "[Configuration]\nLogPathName=\" x \"\n", " x "},
      {"section and key ignore letter case", "[configuration]\nLOGPATHNAME=x\n", "x"},
      {"first of two wins", "[Configuration]\nLogPathName=1\nLogPathName=2\n", "1"},
      {"'=' inside the value", "[Configuration]\nLogPathName=a=b\n", "a=b"},
      {"empty value is present", "[Configuration]\nLogPathName=\n", ""},
      {"key in another section", "[Other]\nLogPathName=x\n[Configuration]\nCallSign=K1\n",
       std::nullopt},
      {"key before any section", "LogPathName=x\n[Configuration]\n", std::nullopt},
      {"commented out", "[Configuration]\n;LogPathName=x\n#LogPathName=y\n", std::nullopt},
      {"prefix of the key is not the key", "[Configuration]\nLogPath=x\n", std::nullopt},
      {"no line end at the end", "[Configuration]\nLogPathName=x", "x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindIniValue(c.text, "Configuration", "LogPathName"), c.want) << c.name;
  }
}

TEST(FormatIniValue, ReadsBackExactly) {
  for (const std::string value :
       {"", "plain", " leading", "trailing ", "\"quoted\"", "\"", "C:\\a b\\c,d;e.mdb", "ä ö ü"}) {
    const auto written = FormatIniValue(value);
    ASSERT_TRUE(written) << value;
    EXPECT_EQ(FindIniValue("[S]\nK=" + *written + "\n", "S", "K"), value) << value;
  }
  EXPECT_FALSE(FormatIniValue("two\nlines"));
  EXPECT_FALSE(FormatIniValue("cr\r"));
}

TEST(IniFilePath, FollowsXdgConfigHome) {
  testing::SimEnvironment env;
  EXPECT_EQ(IniFilePath("DXKeeper"),
            std::filesystem::path(env.ConfigHome()) / "DXKeeper/DXKeeper.ini");
  for (const char* bad : {"", ".", "..", "a/b", "../DXKeeper"}) {
    EXPECT_FALSE(IniFilePath(bad)) << bad;
  }
  // A relative XDG_CONFIG_HOME is not to be used; the home folder's .config is.
  ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);
  const char* home = std::getenv("HOME");
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(IniFilePath("DXKeeper"), std::filesystem::path(home) / ".config/DXKeeper/DXKeeper.ini");
}

TEST(IniSettingsStore, ReadsTheFileAfreshAndEmptyWhenMissing) {
  testing::SimEnvironment env;
  IniSettingsStore store;
  EXPECT_EQ(store.GetSetting("DXKeeper", "Configuration", "LogPathName"), "");

  std::filesystem::create_directories(env.ConfigHome() + "/DXKeeper");
  std::ofstream(env.SettingsFile()) << "[Configuration]\nLogPathName=C:\\Logs\\a.mdb\n";
  EXPECT_EQ(store.GetSetting("DXKeeper", "Configuration", "LogPathName"), "C:\\Logs\\a.mdb");
  EXPECT_EQ(store.GetSetting("DXKeeper", "Configuration", "CallSign"), "");
  EXPECT_EQ(store.GetSetting("DXKeeper", "Other", "LogPathName"), "");
  EXPECT_EQ(store.GetSetting("Nobody", "Configuration", "LogPathName"), "");
  EXPECT_EQ(store.GetSetting("../DXKeeper", "Configuration", "LogPathName"), "");

  std::ofstream(env.SettingsFile()) << "[Configuration]\nLogPathName=/changed\n";
  EXPECT_EQ(store.GetSetting("DXKeeper", "Configuration", "LogPathName"), "/changed");
}

}  // namespace
}  // namespace zorvik::host
