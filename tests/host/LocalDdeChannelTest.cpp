#include "host/linux/LocalDdeChannel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "support/SimProcess.h"

namespace zorvik::host {
namespace {

TEST(SocketFileName, IsFileSafeAndDistinct) {
  const struct {
    std::string topic, want;
  } cases[] = {
      {"DXKeeper|DDEServer", "DXKeeper%7CDDEServer"},
      {"../x", "%2E.%2Fx"},
      {"..", "%2E."},
      {"a b%", "a%20b%25"},
      {std::string("n\0l", 3), "n%00l"},
  };
  std::set<std::string> names;
  for (const auto& c : cases) {
    EXPECT_EQ(SocketFileName(c.topic), c.want) << c.topic;
    names.insert(SocketFileName(c.topic));
  }
  EXPECT_EQ(names.size(), std::size(cases));
  // Escaping must not let two topics meet on one socket.
  EXPECT_NE(SocketFileName("a|b"), SocketFileName("a%7Cb"));
}

TEST(Message, RoundTripsAndRejectsBadEscapes) {
  for (const std::string payload : {"", "001closelog", "a\\b", "line\nbreak\r", "ä"}) {
    const std::string line = EncodeMessage(verb::kExecute, payload);
    ASSERT_EQ(line.back(), '\n');
    ASSERT_EQ(line.find('\n'), line.size() - 1) << "one message is one line: " << payload;
    const auto decoded = DecodeMessage(line.substr(0, line.size() - 1));
    ASSERT_TRUE(decoded) << payload;
    EXPECT_EQ(decoded->verb, "EXECUTE");
    EXPECT_EQ(decoded->payload, payload);
  }
  EXPECT_EQ(DecodeMessage("DATA  x")->payload, " x");  // a value may start with a blank
  for (const char* bad : {"", " x", "DATA a\\", "DATA a\\t"}) {
    EXPECT_FALSE(DecodeMessage(bad)) << bad;
  }
}

TEST(CheckDdeDirectory, TrustsOnlyAPrivateDirectory) {
  testing::SimEnvironment env;
  const std::filesystem::path root = env.Root();
  EXPECT_EQ(CheckDdeDirectory(root / "missing"), DirectoryState::kMissing);
  EXPECT_EQ(CheckDdeDirectory(env.DdeDirectory()), DirectoryState::kPrivate);

  ASSERT_EQ(::mkdir((root / "open").c_str(), 0755), 0);
  EXPECT_EQ(CheckDdeDirectory(root / "open"), DirectoryState::kExposed);
  std::filesystem::create_directory_symlink(env.DdeDirectory(), root / "link");
  EXPECT_EQ(CheckDdeDirectory(root / "link"), DirectoryState::kExposed);

  EXPECT_EQ(EnsureDdeDirectory(root / "new/dde"), "");
  EXPECT_EQ(CheckDdeDirectory(root / "new/dde"), DirectoryState::kPrivate);
  EXPECT_NE(EnsureDdeDirectory(root / "open"), "");
}

}  // namespace
}  // namespace zorvik::host
