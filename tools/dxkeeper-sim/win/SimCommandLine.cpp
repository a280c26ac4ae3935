#include "SimCommandLine.h"

#include <algorithm>
#include <optional>

#include "SimOptionTexts.h"

namespace dxkeeper_sim::win {
namespace {

constexpr const char* kUsage = R"(Usage: dxkeeper-sim --log PATH --call CALL [options]
       dxkeeper-sim --stop

A substitute for the logging program DXKeeper, for tests and demos of Zorvik on Windows
and under Wine.

On start it writes DXKeeper's settings LogPathName (--log) and CallSign (--call) to
HKEY_CURRENT_USER\Software\VB and VBA Program Settings\DXKeeper\Configuration; opens the
log database read-only and holds it open; then serves DDE service "DXKeeper", topic
"DDEServer" from a hidden window titled "dxkeeper-sim" and prints
"dxkeeper-sim: serving DXKeeper|DDEServer" on standard output.

)";

constexpr const char* kEnding = R"(
On Windows a journal line then ends with a tab and "caption=" and the caption of the
sending program's window when the command arrived, when that program shows a window.

Runs until its window gets WM_CLOSE, on Ctrl-C, or until "dxkeeper-sim --stop", which
closes the running sim's window and waits for it to end (status 0; 1 when no sim runs or
it does not end within 10 s). Exit status 1: it could not start (another host serves the
topic, the settings cannot be written); 2: bad command line.

Options:
)";

}  // namespace

std::variant<SimCommandLine, std::string> ParseCommandLine(const std::vector<std::string>& args) {
  SimCommandLine line;
  line.qslMode = kQslModeOption.defaultValue;
  line.ddeCommand = kDdeCommandOption.defaultValue;
  bool haveLog = false;
  bool haveCall = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (name == "--help" || name == "-h") {
      line.mode = SimCommandLine::Mode::kHelp;
      return line;
    }
    if (!name.starts_with("--")) return "unexpected argument " + name + " (see --help)";
    name.erase(0, 2);
    if (const auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    const OptionText* option = nullptr;
    for (const OptionText& text : kSimOptions) {
      if (name == text.name) option = &text;
    }
    if (name == "stop" && !value) {
      line.mode = SimCommandLine::Mode::kStop;
      continue;
    }
    if (option == nullptr) return "unknown option --" + name + " (see --help)";
    if (option->valueName == nullptr) {
      if (value) return "--" + name + " takes no value";
      if (name == kNoSettingsOption.name) {
        line.noSettings = true;
      } else if (name == kMuteOption.name) {
        line.mute = true;
      } else {
        return "--" + name + " is not handled here";
      }
      continue;
    }
    if (!value) {
      if (i + 1 == args.size()) return "--" + name + " needs a value";
      value = args[++i];
    }
    if (name == kLogOption.name) {
      line.log = *value;
      haveLog = true;
    } else if (name == kCallOption.name) {
      line.call = *value;
      haveCall = true;
    } else if (name == kQslModeOption.name) {
      line.qslMode = *value;
    } else if (name == kDdeCommandOption.name) {
      line.ddeCommand = *value;
    } else if (name == kRefuseOption.name) {
      line.refused.insert(*value);
    } else if (name == kQueueLogOption.name) {
      line.queueLog = *value;
    } else if (name == kJournalOption.name) {
      line.journal = *value;
    } else {
      return "--" + name + " is not handled here";
    }
  }
  if (line.mode == SimCommandLine::Mode::kServe && (!haveLog || !haveCall)) {
    return "--log and --call are required (see --help)";
  }
  return line;
}

std::string HelpText() {
  std::string text = std::string(kUsage) + kServedText + kEnding;
  for (const OptionText& option : kSimOptions) {
    std::string left = std::string("  --") + option.name;
    if (option.valueName) left += std::string(" ") + option.valueName;
    left.resize(std::max<size_t>(left.size() + 2, 22), ' ');
    text += left + option.help + "\n";
  }
  text += "  --stop              Stop the running dxkeeper-sim and wait for it to end.\n";
  text += "  --help              Show this text.\n";
  return text;
}

}  // namespace dxkeeper_sim::win
