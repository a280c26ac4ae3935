#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "logdb/Database.h"

namespace zorvik::logdb {

// How many copies of a log Zorvik keeps: the newest ones, the one just made included.
inline constexpr int kBackupsKept = 5;

// Where the copy of the log at `log_path` made at `when` goes: beside the log, named with the
// date and time of the run on the user's clock, `<log_path>.zorvik-backup-YYYYMMDD-HHMMSS`. A
// second copy made within the same second takes `-2`, `-3`, ... after it (BackUpBeforeWriting).
std::string BackupPathFor(const std::string& log_path, std::chrono::system_clock::time_point when);

// The copies of the log at `log_path` that are there now, oldest first (by the date, time and
// number in their names). Only complete copies, by the naming above; anything else beside the
// log, an older Zorvik's `<log>.zorvik-backup` included, is not one of them.
std::vector<std::string> BackupsOf(const std::string& log_path);

// Add and Log Clean call this after opening the log and before their first write. When the
// engine asks for it (Database::NeedsBackupBeforeWriting) the log is copied to a new backup,
// BackupPathFor(db.Path(), when); otherwise nothing happens and the result is empty. Returns the
// new backup's path.
//
// The log is read with sharing that lets DXKeeper keep it open. The copy is written under a
// name of its own first (the backup's with `-new` added), brought to disk, and only then given
// the backup's name; only after that are the copies beyond the newest kBackupsKept removed
// (a copy that cannot be removed stays, and the run goes on). So a copy that fails leaves no
// half copy behind and every older backup in place.
// Throws zorvik::Failure when the copy cannot be made, with a description that names the backup
// and says that the log was not changed: 3026 (the disk is full), 75 (the folder cannot be
// written, the log cannot be read, a folder of the backup's name is in the way, any other file
// failure).
std::string BackUpBeforeWriting(const Database& db, std::chrono::system_clock::time_point when =
                                                        std::chrono::system_clock::now());

}  // namespace zorvik::logdb
