#include "Cli.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <exception>
#include <map>
#include <optional>

#include "Generator.h"
#include "Importer.h"
#include "LogFiles.h"
#include "ProgressRecompute.h"
#include "SqliteLog.h"

namespace zorvik::logtools {

namespace {

constexpr std::size_t kProblemsShown = 20;

struct UsageError {
  std::string message;
};

// The command line split into positional words and --options (with a value where one is due).
class Arguments {
 public:
  Arguments(const std::vector<std::string>& args, std::initializer_list<std::string_view> flags,
            std::initializer_list<std::string_view> valued) {
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& word = args[i];
      if (word.rfind("--", 0) != 0) {
        positional_.push_back(word);
        continue;
      }
      const auto is = [&word](std::string_view name) { return name == word; };
      if (std::any_of(flags.begin(), flags.end(), is)) {
        options_[word] = "";
      } else if (std::any_of(valued.begin(), valued.end(), is)) {
        if (i + 1 >= args.size()) throw UsageError{word + " needs a value"};
        options_[word] = args[++i];
      } else {
        throw UsageError{"unknown option " + word};
      }
    }
  }

  const std::vector<std::string>& Positional() const { return positional_; }
  bool Has(const std::string& name) const { return options_.contains(name); }
  std::optional<std::string> Value(const std::string& name) const {
    const auto it = options_.find(name);
    if (it == options_.end()) return std::nullopt;
    return it->second;
  }

  std::uint64_t Number(const std::string& name, std::uint64_t fallback) const {
    const auto text = Value(name);
    if (!text) return fallback;
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc() || end != text->data() + text->size() || text->empty()) {
      throw UsageError{name + " needs a whole number, not \"" + *text + "\""};
    }
    return value;
  }

  void ExpectPositional(std::size_t count, const char* what) const {
    if (positional_.size() != count) throw UsageError{std::string("expected ") + what};
  }

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string, std::less<>> options_;
};

void PrintProgress(std::ostream& out, const ProgressSummary& p) {
  out << "progress: " << p.entities << " entities (" << p.rowsInserted << " new), " << p.workedSlots
      << " slots worked not confirmed, " << p.confirmedSlots << " slots confirmed\n";
}

int RunNew(const std::vector<std::string>& args, std::ostream& out) {
  const Arguments a(args, {"--force"}, {});
  a.ExpectPositional(1, "new PATH");
  StagedLogFile staged(a.Positional()[0], a.Has("--force"));
  {
    LogConnection log(staged.TempPath().string(), LogConnection::Mode::kCreateNew);
    CreateLogTables(log);
  }
  staged.Publish();
  out << "created empty log " << a.Positional()[0] << "\n";
  return kExitOk;
}

int RunGenerate(const std::vector<std::string>& args, std::ostream& out) {
  const Arguments a(args, {"--indexes", "--force"}, {"--contacts", "--queue", "--seed", "--call"});
  a.ExpectPositional(1, "generate PATH --contacts N");
  if (!a.Has("--contacts")) throw UsageError{"generate needs --contacts N"};
  GenerateOptions options;
  options.logPath = a.Positional()[0];
  options.contacts = a.Number("--contacts", 0);
  // A few queued contacts by default, so that a demo log shows the "already queued" paths.
  options.queueRows = a.Number("--queue", std::min<std::uint64_t>(options.contacts / 50, 200));
  options.seed = a.Number("--seed", options.seed);
  options.call = a.Value("--call").value_or(options.call);
  options.indexes = a.Has("--indexes");
  options.replace = a.Has("--force");
  if (options.call.empty() || options.call.find('\'') != std::string::npos) {
    throw UsageError{"--call needs a call sign"};
  }
  if (options.queueRows > options.contacts) {
    throw UsageError{"--queue cannot exceed --contacts"};
  }
  const auto started = std::chrono::steady_clock::now();
  const GenerateReport report = GenerateLog(options);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  out << "generated " << options.logPath.string() << ": " << report.contacts << " contacts ("
      << report.candidates << " candidates for " << options.call << "), " << report.queueRows
      << " queue rows, " << report.entities << " entities"
      << (options.indexes ? ", with indexes" : "") << ", in " << took.count() << " s\n";
  PrintProgress(out, report.progress);
  return kExitOk;
}

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const Arguments a(args, {"--verbose"}, {"--call"});
  a.ExpectPositional(2, "import PATH FILE.adi");
  ImportOptions options;
  options.logPath = a.Positional()[0];
  options.adifPath = a.Positional()[1];
  options.defaultOperator = a.Value("--call");
  const ImportReport report = ImportAdif(options);
  const std::size_t shown = a.Has("--verbose") ? report.problems.size() : kProblemsShown;
  for (std::size_t i = 0; i < report.problems.size() && i < shown; ++i) {
    err << options.adifPath.string() << ": " << report.problems[i].message << "\n";
  }
  if (report.problems.size() > shown) {
    err << "... and " << (report.problems.size() - shown)
        << " more problems (--verbose lists them all)\n";
  }
  out << (report.createdLog ? "created " : "imported into ") << options.logPath.string() << ": "
      << report.records << " records read, " << report.added << " contacts added, "
      << report.refused << " refused\n";
  PrintProgress(out, report.progress);
  return kExitOk;
}

int RunProgress(const std::vector<std::string>& args, std::ostream& out) {
  const Arguments a(args, {}, {});
  a.ExpectPositional(1, "progress PATH");
  LogConnection log(a.Positional()[0], LogConnection::Mode::kOpenExisting);
  RequireLogTables(log);
  Transaction transaction(log);
  const ProgressSummary summary = RecomputeProgress(log);
  transaction.Commit();
  PrintProgress(out, summary);
  return kExitOk;
}

}  // namespace

const char* UsageText() {
  return R"(Usage: zorvik-log COMMAND ...

Stands in for what the host logging program does to its own log file (SQLite).

  zorvik-log new PATH [--force]
      Create an empty log: the tables QSOs, Progress, QTHs and PrintQueue, no rows.

  zorvik-log generate PATH --contacts N [--queue N] [--seed S] [--call CALL]
                      [--indexes] [--force]
      Create a synthetic log of N contacts (made-up entities, codes 1..400, and call signs):
      340 entities, bands 160M..2M plus 60M, 4M and 70CM, modes SSB CW FT8 FT4 RTTY AM FM
      PSK31 PSK63 PSK125 JT65, dates 2000-01-01..2024-12-31, mixed QSL states (Null, empty,
      accepted letters and letters Log Clean blanks), about 90% by CALL and the rest by other
      operators. About 30% of the contacts are Add candidates (QSL sent and received both
      Null or empty, entity not "0", operator CALL). Progress is computed from the contacts;
      QTHs holds one row.
      --queue N    queue N contacts as the Add action would (QSL_Rcvd "R", one PrintQueue
                   row each, some call signs queued more than once); default one in
                   fifty contacts, at most 200
      --seed S     the same seed gives the same log; default 1
      --call CALL  the log's own call sign; default K1ZRV
      --indexes    add indexes that help the Add action: QSOs(QSL_Rcvd) for "~"
                   marks, QSOs(DXCCID, Band, Mode, QSO_End DESC, Operator) for
                   unsent, unreceived contacts, PrintQueue(Call),
                   PrintQueue(dxccid, band, mode), Progress(CountryCode); then ANALYZE
      --force      replace an existing file at PATH (otherwise refused)

  zorvik-log import PATH FILE.adi [--call CALL] [--verbose]
      Append the contacts of an ADIF file to the log (created when missing) and recompute
      Progress, in one transaction. Records without CALL or with a missing or unreadable
      QSO_DATE or TIME_ON are refused and listed; the rest are imported. QSL_SENT and
      QSL_RCVD are kept as they are (upper-cased), so "N" stays "N".
      --call CALL  operator for records without OPERATOR and STATION_CALLSIGN
      --verbose    list every problem (otherwise the first 20)

  zorvik-log progress PATH
      Recompute Progress.BandModes from the contacts: 44 characters per entity, the bands
      160M 80M 40M 30M 20M 17M 15M 12M 10M 6M 2M for AM/FM/SSB, CW, other modes and
      PSK31/PSK63/PSK125. "-" not worked, "W" worked and no card received, "C" confirmed by
      a received card (QSL_Rcvd Y), "V" a confirmation verified for award credit
      (QSL_Rcvd V). Band and mode texts must match exactly ("20M", not "20m").

  zorvik-log --help
      This text.

Exit status: 0 done, 1 failed (the log is left as it was), 2 wrong command line.
)";
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << UsageText();
    return kExitUsage;
  }
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  try {
    if (command == "--help" || command == "-h" || command == "help") {
      out << UsageText();
      return kExitOk;
    }
    if (command == "new") return RunNew(rest, out);
    if (command == "generate") return RunGenerate(rest, out);
    if (command == "import") return RunImport(rest, out, err);
    if (command == "progress") return RunProgress(rest, out);
    throw UsageError{"unknown command " + command};
  } catch (const UsageError& e) {
    err << "zorvik-log: " << e.message << " (zorvik-log --help shows the usage)\n";
    return kExitUsage;
  } catch (const std::exception& e) {
    err << "zorvik-log " << command << ": " << e.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace zorvik::logtools
