// The logs of the two runs of this suite on Windows, compared (ZORVIK_LOG_DUMPS names a folder):
// the run through SQLite writes every scratch log's final dump there when the log goes; the run
// through DAO (ZORVIK_LOG_ENGINE=dao) compares each of its logs with the dump of the same test's
// same log, and fails the test whose log came out different.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "LogFixture.h"

namespace zorvik::logops_test {
namespace {

// "Suite.Test#n": the n-th log (from 1) of the test now running, as a file name.
std::string DumpName() {
  static std::string lastTest;
  static int count = 0;
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "outside";
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == ':') c = '_';
  }
  count = name == lastTest ? count + 1 : 1;
  lastTest = name;
  return name + "#" + std::to_string(count) + ".dump";
}

void RecordOrCompare(ScratchLog& log) {
  const char* folder = std::getenv("ZORVIK_LOG_DUMPS");
  if (folder == nullptr || *folder == '\0') return;
  const std::filesystem::path sqliteDump = std::filesystem::path(folder) / "sqlite" / DumpName();
  std::string dump;
  try {
    dump = log.Dump();
  } catch (const std::exception& e) {
    dump = std::string("no dump: ") + e.what();
  }
  if (!ThroughDao()) {
    std::filesystem::create_directories(sqliteDump.parent_path());
    std::ofstream(sqliteDump, std::ios::binary | std::ios::trunc) << dump;
    return;
  }
  std::ifstream recorded(sqliteDump, std::ios::binary);
  if (!recorded) {
    ADD_FAILURE() << "no log of the run through SQLite to compare with: " << sqliteDump.string();
    return;
  }
  const std::string expected(std::istreambuf_iterator<char>(recorded), {});
  EXPECT_EQ(dump, expected) << "the log came out differently through DAO than through SQLite ("
                            << sqliteDump.filename().string() << ")";
}

[[maybe_unused]] const bool kCompared = [] {
  ScratchLog::whenGone = &RecordOrCompare;
  return true;
}();

}  // namespace
}  // namespace zorvik::logops_test
