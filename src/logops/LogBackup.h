#pragma once

#include <string>

#include "logdb/Database.h"

namespace zorvik::logdb {

// Where the copy of the log at `log_path` goes: `<log_path>.zorvik-backup`, beside the log.
std::string BackupPathFor(const std::string& log_path);

// Add and Log Clean call this after opening the log and before their first write. When the
// engine asks for it (Database::NeedsBackupBeforeWriting) the log is copied to
// BackupPathFor(db.Path()), replacing the copy of an earlier run; otherwise nothing happens.
// The copy is written beside the backup first, brought to disk, and only then renamed over it,
// so a copy that fails leaves the earlier backup as it was and no half copy behind.
// Throws zorvik::Failure when the copy cannot be made, with a description that names the backup
// and says that the log was not changed: 3026 (the disk is full), 75 (the folder cannot be
// written, a folder of the backup's name is in the way, any other file failure).
void BackUpBeforeWriting(const Database& db);

}  // namespace zorvik::logdb
