#pragma once

// The sim's command-line options and the part of its description that is the same on every
// system; each system's main() adds where the settings and the DDE server live there.
namespace dxkeeper_sim {

struct OptionText {
  const char* name;       // without the leading "--"
  const char* valueName;  // nullptr for an option without a value
  const char* help;
  const char* defaultValue;  // nullptr: none
};

inline constexpr OptionText kLogOption{"log", "PATH", "Log database path; becomes LogPathName.",
                                       nullptr};
inline constexpr OptionText kCallOption{"call", "CALL", "Operator call sign; becomes CallSign.",
                                        nullptr};
inline constexpr OptionText kQslModeOption{"qslmode", "TEXT",
                                           "Value of the QSLMode item (default \"0\").", "0"};
inline constexpr OptionText kDdeCommandOption{
    "ddecommand", "TEXT", "Value of the DDECommand item; \"\" makes DXKeeper look not running.",
    "DXKeeper"};
inline constexpr OptionText kRefuseOption{
    "refuse", "WORD", "Refuse this command word (e.g. closelog); may be repeated.", nullptr};
inline constexpr OptionText kNoSettingsOption{"no-settings", nullptr, "Do not write the settings.",
                                              nullptr};
inline constexpr OptionText kMuteOption{
    "mute", nullptr, "Accept conversations but never answer: a hung host.", nullptr};
inline constexpr OptionText kJournalOption{"journal", "FILE",
                                           "Append every command received to FILE.", nullptr};

inline constexpr OptionText kQueueLogOption{
    "queue-log", "PATH",
    "SQLite log whose committed queue rows the journal counts (default: the --log one; for a Jet "
    "log played by the test stand-in for DAO, the SQLite log behind it).",
    nullptr};

inline constexpr OptionText kSimOptions[] = {
    kLogOption,        kCallOption, kQslModeOption, kDdeCommandOption, kRefuseOption,
    kNoSettingsOption, kMuteOption, kJournalOption, kQueueLogOption,
};

// What the sim serves and how it runs DXKeeper's commands.
inline constexpr const char* kServedText =
    R"(Items: DDECommand (non-empty unless --ddecommand "" is given) and QSLMode ("0" unless set).
Commands: "001closelog" closes the log, "001openlastlog" reopens it, "001commandcomplete"
does nothing; any other command, or one named by --refuse, is refused. Every command
received is appended to the journal (--journal): ISO local time, a tab, the command, a tab
and "queue=<n>", the PrintQueue rows committed in the log when the command arrived
("queue=?" when they cannot be counted).)";

}  // namespace dxkeeper_sim
