#include "Generator.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "BandPlan.h"
#include "Contact.h"
#include "ContactWriter.h"
#include "LogFiles.h"
#include "SqliteLog.h"

namespace zorvik::logtools {

namespace {

constexpr int kEntityCount = 340;
constexpr int kCodeRange = 400;
// Share of all contacts that should be Add candidates with the default options.
constexpr double kCandidateShare = 0.30;
constexpr double kOwnOperatorShare = 0.90;
constexpr double kNoEntityShare = 0.01;
constexpr double kQueueCallRepeat = 0.20;

template <typename T>
struct Weighted {
  T value;
  double weight;
};

constexpr std::array<Weighted<std::string_view>, 14> kBandWeights = {{
    {"20M", 22},
    {"40M", 14},
    {"15M", 10},
    {"10M", 10},
    {"80M", 8},
    {"17M", 7},
    {"30M", 5},
    {"12M", 5},
    {"6M", 4},
    {"160M", 3},
    {"2M", 3},
    {"60M", 2},
    {"4M", 0.5},
    {"70CM", 1},
}};

constexpr std::array<Weighted<std::string_view>, 11> kModeWeights = {{
    {"SSB", 30},
    {"CW", 25},
    {"FT8", 22},
    {"RTTY", 6},
    {"FT4", 3},
    {"PSK31", 4},
    {"PSK63", 1.5},
    {"PSK125", 0.5},
    {"AM", 1},
    {"FM", 2},
    {"JT65", 1},
}};

constexpr std::array<std::string_view, 3> kOtherOperators = {"W1AW", "KB1OPS", "N1GUEST"};
constexpr std::array<std::string_view, 12> kNames = {"Al",  "Bea",  "Carl", "Dina", "Ed",  "Fay",
                                                     "Gus", "Hana", "Ivo",  "Jo",   "Kim", "Lou"};

// QSL states other than "neither sent nor received": accepted letters, and values the Log
// Clean action blanks, as real logs collect them.
struct QslState {
  const char* sent;  // nullptr is Null
  const char* rcvd;
  double weight;
};
constexpr std::array<QslState, 16> kOtherQslStates = {{
    {"Y", "Y", 36},
    {"Y", nullptr, 14},
    {"Y", "", 8},
    {"R", nullptr, 8},
    {nullptr, "R", 5},
    {"Y", "V", 8},
    {"Y", "S", 1.5},
    {nullptr, "I", 1},
    {"Y", "X", 1.5},
    // values Log Clean blanks
    {"N", "N", 5},
    {"N", nullptr, 3},
    {nullptr, "YES", 2},
    {"S", nullptr, 2},
    {"", "Q", 1.5},
    {" ", "", 1},
    {"Q", "N", 1.5},
}};

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  // The standard engines are specified bit for bit; the distributions are not, so the mapping
  // to ranges is done here to keep a seed's log the same everywhere.
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
  double Unit() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
  bool Chance(double p) { return Unit() < p; }

  template <typename T, std::size_t N>
  const T& Pick(const std::array<Weighted<T>, N>& table) {
    double total = 0;
    for (const auto& entry : table) total += entry.weight;
    double at = Unit() * total;
    for (const auto& entry : table) {
      if (at < entry.weight) return entry.value;
      at -= entry.weight;
    }
    return table.back().value;
  }

 private:
  std::mt19937_64 engine_;
};

struct Entity {
  std::string code;
  std::string prefix;
  std::vector<std::string> recentCalls;  // calls are worked again now and then
};

std::vector<Entity> MakeEntities(Random& random) {
  std::vector<Entity> entities;
  // 340 of the codes 1..400: 37 is prime to 400, so c*37 mod 400 runs over every residue once
  // and the 60 codes mapping below 60 are left out, spread over the whole range.
  for (int code = 1; code <= kCodeRange; ++code) {
    if ((code * 37) % kCodeRange < kCodeRange - kEntityCount) continue;
    const int k = static_cast<int>(entities.size());
    std::string prefix{static_cast<char>('A' + (k * 7) % 26), static_cast<char>('A' + k / 26)};
    entities.push_back({std::to_string(code), std::move(prefix), {}});
  }
  // Popularity follows rank; shuffle so that rank and code are unrelated.
  for (std::size_t i = entities.size() - 1; i > 0; --i) {
    std::swap(entities[i], entities[random.Below(i + 1)]);
  }
  return entities;
}

std::string MakeCall(Random& random, Entity& entity) {
  if (!entity.recentCalls.empty() && random.Chance(0.25)) {
    return entity.recentCalls[random.Below(entity.recentCalls.size())];
  }
  std::string call = entity.prefix;
  call += static_cast<char>('0' + random.Below(10));
  const std::size_t letters = 1 + random.Below(3);
  for (std::size_t i = 0; i < letters; ++i) call += static_cast<char>('A' + random.Below(26));
  if (entity.recentCalls.size() < 32) {
    entity.recentCalls.push_back(call);
  } else {
    entity.recentCalls[random.Below(32)] = call;
  }
  return call;
}

std::optional<std::string> Text(const char* value) {
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

// The one location of the generated log; queue rows copy it as the Add action does.
constexpr const char* kQthInsert =
    "INSERT INTO QTHs (QTHID, City, County, State, Country, Grid, Latitude, Longitude, CQZone, "
    "ITUZone, Iota, StreetAddress, PostalCode) VALUES ('HOME', 'Millbrook', 'Dutchess', 'NY', "
    "'United States', 'FN31', '41.78', '-73.69', '5', '8', '', '1 Antenna Road', '12545')";

class Generation {
 public:
  Generation(const GenerateOptions& options, LogConnection& log)
      : options_(options),
        log_(log),
        random_(options.seed),
        entities_(MakeEntities(random_)),
        writer_(log),
        queueInsert_(log, QueueInsertSql()) {
    // Zipf-like popularity: a few entities are worked all the time, many only a few times.
    double total = 0;
    for (std::size_t rank = 0; rank < entities_.size(); ++rank) {
      total += 1.0 / std::pow(static_cast<double>(rank + 1), 0.9);
      cumulative_.push_back(total);
    }
    for (double& c : cumulative_) c /= total;
    const std::size_t queued = std::min(options.queueRows, options.contacts);
    const double eligible = kOwnOperatorShare * (1 - kNoEntityShare);
    const double rest = static_cast<double>(options.contacts - queued);
    unsentShare_ = rest > 0
                       ? std::min(1.0, kCandidateShare * static_cast<double>(options.contacts) /
                                           (eligible * rest))
                       : 0;
  }

  GenerateReport Run() {
    GenerateReport report;
    report.entities = entities_.size();
    {
      Statement progress(log_,
                         "INSERT INTO Progress (CountryCode, Prefix, BandModes) "
                         "VALUES (?1, ?2, NULL)");
      std::vector<const Entity*> byCode;
      for (const Entity& e : entities_) byCode.push_back(&e);
      std::sort(byCode.begin(), byCode.end(), [](const Entity* a, const Entity* b) {
        return std::stoi(a->code) < std::stoi(b->code);
      });
      for (const Entity* e : byCode) {
        progress.Reset();
        progress.BindText(1, e->code);
        progress.BindText(2, e->prefix);
        progress.Step();
      }
    }
    log_.Exec(kQthInsert);

    std::size_t queueLeft = std::min(options_.queueRows, options_.contacts);
    for (std::size_t i = 0; i < options_.contacts; ++i) {
      // Selection sampling: exactly queueLeft of the remaining contacts end up queued.
      const bool queued = queueLeft > 0 && random_.Below(options_.contacts - i) < queueLeft;
      Contact contact = MakeContact(queued);
      if (queued) {
        --queueLeft;
        QueueRow(contact);
        ++report.queueRows;
      }
      writer_.Append(contact);
      if (IsCandidate(contact)) ++report.candidates;
    }
    report.contacts = options_.contacts;
    // Every queue row of a call sign carries the number of rows with that call.
    log_.Exec(
        "UPDATE PrintQueue SET Incidence = (SELECT CAST(count(*) AS TEXT) FROM PrintQueue AS p "
        "WHERE p.Call = PrintQueue.Call)");
    return report;
  }

 private:
  static const char* QueueInsertSql() {
    return "INSERT INTO PrintQueue (Call, DXCC, QSO_Begin, RST_Sent, RST_Rcvd, mode, Freq, band, "
           "via, Operator, QSL_Rcvd, Incidence, \"Unique\", Needed, Notes, Enabled, MYQTHID, "
           "City, County, State, Country, Grid, Latitude, Longitude, CQZone, ITUZone, Iota, "
           "StreetAddress, PostalCode, BAND_RX, FREQ_RX, PROP_MODE, SAT_NAME, SAT_MODE, dxccid, "
           "Name, Address, TX_Power, QTH, CONTEST_ID) "
           "SELECT ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, 'R', '1', ?11, 'Y', ?12, 'Y', ?13, "
           "City, County, State, Country, Grid, Latitude, Longitude, CQZone, ITUZone, Iota, "
           "StreetAddress, PostalCode, NULL, NULL, NULL, NULL, NULL, ?14, ?15, NULL, ?16, ?17, "
           "?18 FROM (SELECT * FROM QTHs LIMIT 1)";
  }

  bool IsCandidate(const Contact& c) const {
    const auto blank = [](const std::optional<std::string>& v) { return !v || v->empty(); };
    return blank(c.qslSent) && blank(c.qslRcvd) && c.dxccId != "0" &&
           c.operatorCall == options_.call;
  }

  Entity& PickEntity() {
    const double u = random_.Unit();
    const auto it = std::lower_bound(cumulative_.begin(), cumulative_.end(), u);
    const std::size_t rank = std::min<std::size_t>(
        static_cast<std::size_t>(it - cumulative_.begin()), entities_.size() - 1);
    return entities_[rank];
  }

  Contact MakeContact(bool queued) {
    Contact c;
    Entity& entity = PickEntity();
    c.call = MakeCall(random_, entity);
    const bool noEntity = !queued && random_.Chance(kNoEntityShare);
    c.dxccId = noEntity ? "0" : entity.code;
    if (!noEntity) c.dxccPrefix = entity.prefix;

    const std::string_view band = random_.Pick(kBandWeights);
    std::string_view mode = random_.Pick(kModeWeights);
    if ((band == "2M" || band == "70CM") && random_.Chance(0.5)) mode = "FM";
    c.band = std::string(band);
    c.mode = std::string(mode);
    const BandEdges edges = *EdgesOfBand(band);
    // CW keeps to the bottom of a band; everything else uses all of it.
    const double span = (edges.highMHz - edges.lowMHz) * (mode == "CW" ? 0.15 : 1.0);
    c.freq = std::round((edges.lowMHz + span * random_.Unit()) * 1000.0) / 1000.0;

    const auto begin =
        std::chrono::sys_seconds{kFirstDay} + std::chrono::seconds(random_.Below(kRangeSeconds));
    c.qsoBegin = IsoDateTime(begin);
    c.qsoEnd = IsoDateTime(begin + std::chrono::seconds(30 + random_.Below(20 * 60)));

    const bool digital = mode != "SSB" && mode != "CW" && mode != "AM" && mode != "FM";
    if (digital && mode != "RTTY") {
      c.rstSent = std::to_string(-static_cast<int>(random_.Below(25)));
      c.rstRcvd = std::to_string(-static_cast<int>(random_.Below(25)));
    } else {
      const std::string tail = (mode == "CW" || mode == "RTTY") ? "9" : "";
      c.rstSent = "5" + std::to_string(5 + random_.Below(5)) + tail;
      c.rstRcvd = "5" + std::to_string(5 + random_.Below(5)) + tail;
    }
    c.operatorCall = (queued || random_.Chance(kOwnOperatorShare))
                         ? options_.call
                         : std::string(kOtherOperators[random_.Below(kOtherOperators.size())]);
    c.myQthId = random_.Chance(0.9) ? "HOME" : "PORTABLE";
    if (random_.Chance(0.6)) c.name = std::string(kNames[random_.Below(kNames.size())]);
    if (random_.Chance(0.1)) c.qslVia = random_.Chance(0.5) ? "BUREAU" : "W9MGR";
    if (random_.Chance(0.05)) c.qslMsg = "TNX QSO 73";
    c.txPower = random_.Chance(0.8) ? "100" : "5";
    if (random_.Chance(0.05)) c.contestId = mode == "CW" ? "CQ-WW-CW" : "CQ-WW-SSB";

    if (queued) {
      // As the Add action leaves a queued contact.
      c.qslSent = std::nullopt;
      c.qslRcvd = "R";
      if (!queueCalls_.empty() && random_.Chance(kQueueCallRepeat)) {
        c.call = queueCalls_[random_.Below(queueCalls_.size())];
      }
    } else if (random_.Chance(unsentShare_)) {
      // Neither sent nor received, in the forms real logs hold: Null, empty, or one of each.
      switch (random_.Below(10)) {
        case 0:
          c.qslSent = "";
          c.qslRcvd = "";
          break;
        case 1:
          c.qslSent = "";
          break;
        case 2:
          c.qslRcvd = "";
          break;
        default:
          break;
      }
    } else {
      double total = 0;
      for (const QslState& s : kOtherQslStates) total += s.weight;
      double at = random_.Unit() * total;
      const QslState* chosen = &kOtherQslStates.back();
      for (const QslState& s : kOtherQslStates) {
        if (at < s.weight) {
          chosen = &s;
          break;
        }
        at -= s.weight;
      }
      c.qslSent = Text(chosen->sent);
      c.qslRcvd = Text(chosen->rcvd);
    }
    return c;
  }

  void QueueRow(const Contact& c) {
    const bool first = queuedCalls_.insert(*c.call).second;
    if (first) queueCalls_.push_back(*c.call);
    Statement& q = queueInsert_;
    q.Reset();
    q.BindOptional(1, c.call);
    q.BindOptional(2, c.dxccPrefix);
    q.BindOptional(3, c.qsoBegin);
    q.BindOptional(4, c.rstSent);
    q.BindOptional(5, c.rstRcvd);
    q.BindOptional(6, c.mode);
    q.BindReal(7, c.freq);
    q.BindOptional(8, c.band);
    q.BindOptional(9, c.qslVia);
    q.BindOptional(10, c.operatorCall);
    q.BindText(11, first ? "Y" : "N");
    q.BindOptional(12, c.qslMsg);
    q.BindOptional(13, c.myQthId);
    q.BindOptional(14, c.dxccId);
    q.BindOptional(15, c.name);
    q.BindOptional(16, c.txPower);
    q.BindOptional(17, c.qth);
    q.BindOptional(18, c.contestId);
    q.Step();
  }

  static constexpr std::chrono::sys_days kFirstDay{std::chrono::year{2000} / 1 / 1};
  static constexpr std::chrono::sys_days kEndDay{std::chrono::year{2025} / 1 / 1};
  static constexpr std::size_t kRangeSeconds =
      static_cast<std::size_t>((kEndDay - kFirstDay).count()) * 86400;

  const GenerateOptions& options_;
  LogConnection& log_;
  Random random_;
  std::vector<Entity> entities_;
  std::vector<double> cumulative_;
  double unsentShare_ = 0;
  ContactWriter writer_;
  Statement queueInsert_;
  std::unordered_set<std::string> queuedCalls_;
  std::vector<std::string> queueCalls_;
};

}  // namespace

const char* AddIndexSql() {
  // QSOs_Slot_End holds only unsent, unreceived contacts, in the candidates' order, with every
  // other field the candidate condition tests: the candidate selection reads it alone, with no
  // sort. QSL_Rcvd is in its condition only, so a contact whose QSL_Rcvd goes from Null to ''
  // keeps its place in it. QSOs_QSL_Rcvd only holds "~" marks, so it costs nothing to keep up on
  // other writes. ANALYZE gives the planner the figures to prefer these over a full scan.
  return "CREATE INDEX IF NOT EXISTS QSOs_QSL_Rcvd ON QSOs (QSL_Rcvd) WHERE QSL_Rcvd = '~';\n"
         "CREATE INDEX IF NOT EXISTS QSOs_Slot_End ON QSOs (DXCCID, Band, Mode, QSO_End DESC, "
         "Operator) WHERE (QSL_Sent Is Null Or QSL_Sent = '') AND (QSL_Rcvd Is Null Or "
         "QSL_Rcvd = '');\n"
         "CREATE INDEX IF NOT EXISTS PrintQueue_Call ON PrintQueue (Call);\n"
         "CREATE INDEX IF NOT EXISTS PrintQueue_Slot ON PrintQueue (dxccid, band, mode);\n"
         "CREATE INDEX IF NOT EXISTS Progress_CountryCode ON Progress (CountryCode);\n"
         "ANALYZE;\n";
}

GenerateReport GenerateLog(const GenerateOptions& options) {
  StagedLogFile staged(options.logPath, options.replace);
  GenerateReport report;
  {
    LogConnection log(staged.TempPath().string(), LogConnection::Mode::kCreateNew);
    // The file is a private temporary until it is published, so the crash safety of a journal
    // buys nothing here and costs most of the time of a large log. A larger cache speeds up
    // building the indexes.
    log.Exec(
        "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -65536; "
        "PRAGMA temp_store = MEMORY");
    CreateLogTables(log);
    Transaction transaction(log);
    report = Generation(options, log).Run();
    report.progress = RecomputeProgress(log);
    if (options.indexes) log.Exec(AddIndexSql());
    transaction.Commit();
  }
  staged.Publish();
  return report;
}

}  // namespace zorvik::logtools
