// An Add run killed with SIGKILL at points spread over its duration (twenty unless ZORVIK_KILLS
// says otherwise), on a log of 100,000 contacts: the log must come back exactly as it was (or,
// when the kill came after the commit, exactly as a finished run leaves it), and the next Add
// must give what an uninterrupted run gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "DriverProcess.h"
#include "Generator.h"
#include "LogState.h"
#include "ScratchFolder.h"

namespace zorvik::reliability {
namespace {

namespace fs = std::filesystem;
using std::chrono::duration_cast;
using std::chrono::microseconds;

constexpr std::uint32_t kKillSeed = 20240607;

// Twenty unless ZORVIK_KILLS says otherwise: the sanitizer run, where each Add takes several times
// as long, spreads fewer kills over the same run.
int KillCount() {
  const char* text = std::getenv("ZORVIK_KILLS");
  const int kills = text ? std::atoi(text) : 0;
  return kills > 0 ? kills : 20;
}

// The log file and whatever journal a run left beside it.
void FreshCopy(const std::string& from, const std::string& to) {
  fs::remove(to + "-journal");
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

TEST(KilledAdd, KillsSpreadOverARunOnAHundredThousandContactLog) {
  ScratchFolder folder;
  const std::string original = folder.File("original.sqlite");
  logtools::GenerateOptions options;
  options.logPath = original;
  options.contacts = 100000;
  options.queueRows = 2000;
  options.seed = 11;
  options.indexes = true;
  logtools::GenerateLog(options);
  const std::uint64_t before = LogDigest(original);

  // The uninterrupted run: its result, and its duration to spread the kills over.
  const std::string reference = folder.File("reference.sqlite");
  FreshCopy(original, reference);
  const DriverRun whole = RunAddDriver({reference});
  ASSERT_EQ(whole.exitCode, 0);
  ASSERT_TRUE(whole.Lines("box").empty()) << whole.out;
  const std::uint64_t finished = LogDigest(reference);
  ASSERT_NE(finished, before) << "the run must change the log for the test to mean anything";
  // A second uninterrupted run must give the same log, or "the same result" means nothing. The
  // shorter of the two durations keeps the late kills inside the run.
  FreshCopy(original, reference);
  const DriverRun again = RunAddDriver({reference});
  ASSERT_EQ(LogDigest(reference), finished);
  const auto duration = duration_cast<microseconds>(std::min(whole.took, again.took));

  const int kills = KillCount();
  std::mt19937 random(kKillSeed);
  std::uniform_real_distribution<double> within(0.0, 1.0);
  int rolledBack = 0, committed = 0, ranToEnd = 0;
  const std::string victim = folder.File("victim.sqlite");
  for (int i = 0; i < kills; ++i) {
    // One kill in each equal part of the run, at a random place inside it.
    const auto at =
        microseconds(static_cast<long long>(duration.count() * (i + within(random)) / kills));
    FreshCopy(original, victim);
    const DriverRun killed = RunAddDriver({victim}, at);
    SCOPED_TRACE("kill " + std::to_string(i) + " at " + std::to_string(at.count() / 1000) + " ms");

    ASSERT_EQ(IntegrityCheck(victim), "ok");
    const std::uint64_t after = LogDigest(victim);
    if (!killed.killed) {
      ++ranToEnd;
      EXPECT_EQ(after, finished);
      continue;
    }
    if (after == finished) {
      // Killed after the commit (while DXKeeper was told to reopen, or the count was shown).
      ++committed;
      continue;
    }
    ASSERT_EQ(after, before) << "the log is neither as it was nor as a finished run leaves it";
    ++rolledBack;
    const DriverRun next = RunAddDriver({victim});
    EXPECT_TRUE(next.Lines("box").empty()) << next.out;
    EXPECT_EQ(next.Lines("billboard"), whole.Lines("billboard"));
    EXPECT_EQ(LogDigest(victim), finished);
  }
  std::printf(
      "kill test: run %.2f s, %d kills: %d rolled back, %d after the commit, %d ran to "
      "the end\n",
      whole.took.count(), kills, rolledBack, committed, ranToEnd);
  EXPECT_GE(rolledBack, kills / 2) << "most kills must land inside the writing part of the run";
}

}  // namespace
}  // namespace zorvik::reliability
