#pragma once

#include <set>
#include <string>
#include <variant>
#include <vector>

namespace dxkeeper_sim::win {

// The Windows sim's command line: the options of SimOptionTexts.h, plus --help and --stop.
struct SimCommandLine {
  enum class Mode { kServe, kHelp, kStop };
  Mode mode = Mode::kServe;
  std::string log;
  std::string call;
  std::string qslMode;
  std::string ddeCommand;
  std::set<std::string> refused;
  bool noSettings = false;
  bool mute = false;
  std::string journal;
  std::string queueLog;  // empty: the --log one
};

// Reads the arguments (UTF-8, without the program name); "--name value" and "--name=value" both
// work. Returns the command line, or the error text for a bad one (unknown option, missing value,
// --log or --call missing when serving).
std::variant<SimCommandLine, std::string> ParseCommandLine(const std::vector<std::string>& args);

// The --help text: usage, description and options.
std::string HelpText();

}  // namespace dxkeeper_sim::win
