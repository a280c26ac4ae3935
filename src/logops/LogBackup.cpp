#include "logops/LogBackup.h"

#include <filesystem>
#include <system_error>

#include "core/Failure.h"
#include "logdb/Utf8Path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace zorvik::logdb {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBackupSuffix = ".zorvik-backup";
constexpr const char* kUnfinishedSuffix = "-new";  // the copy until it is complete

// Brings a written file's contents to disk: a power cut during the engine's commit must not
// find the backup still in the cache.
#ifdef _WIN32
std::error_code FlushToDisk(const fs::path& file) {
  struct Handle {
    HANDLE h;
    ~Handle() {
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
  } handle{CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (handle.h == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle.h)) {
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
  }
  return {};
}

// Puts the finished copy in place of the previous backup; the new name is on disk when this
// returns, so a power cut during the engine's commit cannot leave the old copy under it.
std::error_code MoveIntoPlace(const fs::path& from, const fs::path& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
  }
  return {};
}
#else
std::error_code FlushToDisk(const fs::path& file) {
  struct Descriptor {
    int fd;
    ~Descriptor() {
      if (fd >= 0) ::close(fd);
    }
  } descriptor{::open(file.c_str(), O_RDONLY | O_CLOEXEC)};
  if (descriptor.fd < 0 || ::fsync(descriptor.fd) != 0) {
    return std::error_code(errno, std::generic_category());
  }
  return {};
}

// Puts the finished copy in place of the previous backup; the new name is on disk when this
// returns (the folder is flushed), so a power cut during the engine's commit cannot leave the
// old copy under it.
std::error_code MoveIntoPlace(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (ec) return ec;
  return FlushToDisk(to.parent_path().empty() ? fs::path(".") : to.parent_path());
}
#endif

[[noreturn]] void Fail(const std::string& backup, int number, const std::string& why) {
  throw Failure(number, "Zorvik copies the log before changing it, and the copy '" + backup +
                            "' could not be made: " + why + ". Nothing was changed in the log.");
}

[[noreturn]] void Fail(const std::string& backup, const std::error_code& ec) {
  if (ec == std::errc::no_space_on_device) Fail(backup, err::kDiskFull, "the disk is full");
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
      ec == std::errc::read_only_file_system) {
    Fail(backup, err::kPathFileAccess, "the log's folder cannot be written (" + ec.message() + ")");
  }
  Fail(backup, err::kPathFileAccess, ec.message());
}

}  // namespace

std::string BackupPathFor(const std::string& log_path) {
  return log_path + kBackupSuffix;
}

void BackUpBeforeWriting(const Database& db) {
  if (!db.NeedsBackupBeforeWriting()) return;
  const std::string backup = BackupPathFor(db.Path());
  const fs::path target = Utf8Path(backup);
  const fs::path unfinished = Utf8Path(backup + kUnfinishedSuffix);
  std::error_code ec;
  if (fs::is_directory(target, ec))
    Fail(backup, err::kPathFileAccess, "a folder of that name is in the way");

  const auto failWith = [&](const std::error_code& cause) {
    std::error_code ignored;
    fs::remove(unfinished, ignored);
    Fail(backup, cause);
  };
  if (!fs::copy_file(Utf8Path(db.Path()), unfinished, fs::copy_options::overwrite_existing, ec)) {
    failWith(ec);
  }
  // A read-only log gives a read-only copy, which the next run could not replace everywhere.
  fs::permissions(unfinished, fs::perms::owner_write, fs::perm_options::add, ec);
  if (const std::error_code flushed = FlushToDisk(unfinished)) failWith(flushed);
  if (const std::error_code moved = MoveIntoPlace(unfinished, target)) failWith(moved);
}

}  // namespace zorvik::logdb
