#include "logops/LogBackup.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "core/Failure.h"
#include "core/LocalToday.h"
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

constexpr std::string_view kBackupMark = ".zorvik-backup-";
constexpr std::string_view kUnfinishedSuffix = "-new";  // the copy until it is complete

#ifdef _WIN32
// The Windows failures a user can act on, as the portable conditions the messages tell apart.
std::error_code LastError() {
  const DWORD error = GetLastError();
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::permission_denied);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return std::make_error_code(std::errc::device_or_resource_busy);
    default:
      return std::error_code(static_cast<int>(error), std::system_category());
  }
}

struct FileHandle {
  HANDLE h;
  explicit FileHandle(HANDLE handle) : h(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

// Copies `from` to the new file `to` and brings the copy to disk. The log is read with every
// sharing mode, so DXKeeper may hold it open, and even open it, while it is copied; the copy
// itself is Zorvik's alone until it is complete.
std::error_code CopyToDisk(const fs::path& from, const fs::path& to) {
  FileHandle source(CreateFileW(from.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (source.h == INVALID_HANDLE_VALUE) return LastError();
  FileHandle target(CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (target.h == INVALID_HANDLE_VALUE) return LastError();
  std::array<char, 1 << 16> buffer;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(source.h, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
      return LastError();
    if (read == 0) break;
    DWORD written = 0;
    if (!WriteFile(target.h, buffer.data(), read, &written, nullptr)) return LastError();
    if (written != read) return std::make_error_code(std::errc::no_space_on_device);
  }
  // A power cut during the engine's commit must not find the backup still in the cache.
  if (!FlushFileBuffers(target.h)) return LastError();
  return {};
}

// Gives the finished copy its name; the name is on disk when this returns, so a power cut
// during the engine's commit cannot leave the backup without it.
std::error_code MoveIntoPlace(const fs::path& from, const fs::path& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return LastError();
  return {};
}
#else
struct Descriptor {
  int fd;
  explicit Descriptor(int descriptor) : fd(descriptor) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

std::error_code FlushToDisk(const fs::path& file) {
  Descriptor descriptor(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (descriptor.fd < 0 || ::fsync(descriptor.fd) != 0) {
    return std::error_code(errno, std::generic_category());
  }
  return {};
}

// Copies `from` to the new file `to` and brings the copy to disk: a power cut during the
// engine's commit must not find the backup still in the cache.
std::error_code CopyToDisk(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::exists(to, ec)) return std::make_error_code(std::errc::file_exists);
  if (!fs::copy_file(from, to, fs::copy_options::none, ec)) return ec;
  // A read-only log gives a read-only copy, which could not be removed when it is no longer kept.
  fs::permissions(to, fs::perms::owner_write, fs::perm_options::add, ec);
  return FlushToDisk(to);
}

// Gives the finished copy its name; the name is on disk when this returns (the folder is
// flushed), so a power cut during the engine's commit cannot leave the backup without it.
std::error_code MoveIntoPlace(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (ec) return ec;
  return FlushToDisk(to.parent_path().empty() ? fs::path(".") : to.parent_path());
}
#endif

// The time of day on the user's clock, as the backup's name gives it: YYYYMMDD-HHMMSS.
std::string Stamp(std::chrono::system_clock::time_point when) {
  const std::tm local = LocalTime(std::chrono::system_clock::to_time_t(when)).value_or(std::tm{});
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](unsigned char c) { return std::isdigit(c) != 0; });
}

// A file name compared as the system compares it: Windows' names do not tell letter case apart.
std::string NameKey(std::string name) {
#ifdef _WIN32
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
  return name;
}

// Where a backup's name stands among the others: its stamp, then its number in that second.
using BackupOrder = std::pair<std::string, unsigned long>;

// The order of `file_name` if it names a backup of the log named `log_name`
// (`<log_name>.zorvik-backup-YYYYMMDD-HHMMSS[-N]`), with `suffix` after it.
std::optional<BackupOrder> OrderOf(const std::string& file_name, const std::string& log_name,
                                   std::string_view suffix = {}) {
  const std::string head = NameKey(log_name + std::string(kBackupMark));
  std::string name = NameKey(file_name);
  if (name.size() < head.size() + suffix.size() || name.compare(0, head.size(), head) != 0)
    return std::nullopt;
  if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return std::nullopt;
  const std::string_view rest =
      std::string_view(name).substr(head.size(), name.size() - head.size() - suffix.size());
  // YYYYMMDD-HHMMSS is 15 characters; a number after it follows a dash.
  if (rest.size() < 15 || rest[8] != '-' || !AllDigits(rest.substr(0, 8)) ||
      !AllDigits(rest.substr(9, 6)))
    return std::nullopt;
  unsigned long number = 1;
  if (rest.size() > 15) {
    const std::string_view tail = rest.substr(15);
    if (tail[0] != '-' || !AllDigits(tail.substr(1)) || tail.size() > 10) return std::nullopt;
    number = std::stoul(std::string(tail.substr(1)));
  }
  return BackupOrder{std::string(rest.substr(0, 15)), number};
}

// A path's text as the program keeps paths: UTF-8 (Utf8Path reads it back).
std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

fs::path FolderOf(const fs::path& log) {
  return log.parent_path().empty() ? fs::path(".") : log.parent_path();
}

// Copies that a run cut short left behind (a crash, a power cut): never a backup, and in the way
// of nothing, but clutter in the user's log folder.
void RemoveUnfinishedCopies(const fs::path& log) {
  std::error_code ec;
  const std::string log_name = Utf8(log.filename());
  for (fs::directory_iterator it(FolderOf(log), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (it->is_regular_file(ignored) &&
        OrderOf(Utf8(it->path().filename()), log_name, kUnfinishedSuffix)) {
      fs::remove(it->path(), ignored);
    }
  }
}

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
  if (ec == std::errc::device_or_resource_busy) {
    Fail(backup, err::kPathFileAccess,
         "another program holds the log so that it cannot be read; close it and try again");
  }
  Fail(backup, err::kPathFileAccess, ec.message());
}

}  // namespace

std::string BackupPathFor(const std::string& log_path, std::chrono::system_clock::time_point when) {
  return log_path + std::string(kBackupMark) + Stamp(when);
}

std::vector<std::string> BackupsOf(const std::string& log_path) {
  const fs::path log = Utf8Path(log_path);
  const std::string log_name = Utf8(log.filename());
  std::vector<std::pair<BackupOrder, std::string>> found;
  std::error_code ec;
  for (fs::directory_iterator it(FolderOf(log), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (!it->is_regular_file(ignored)) continue;
    const std::string name = Utf8(it->path().filename());
    if (const std::optional<BackupOrder> order = OrderOf(name, log_name)) {
      // The path as the log's was given, so that it reads as the user's own.
      found.emplace_back(*order, log_path.substr(0, log_path.size() - log_name.size()) + name);
    }
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (auto& [order, path] : found) paths.push_back(std::move(path));
  return paths;
}

std::string BackUpBeforeWriting(const Database& db, std::chrono::system_clock::time_point when) {
  if (!db.NeedsBackupBeforeWriting()) return {};
  const fs::path log = Utf8Path(db.Path());
  RemoveUnfinishedCopies(log);

  // A name no backup has yet: a second run within the same second gets the next number.
  const std::string base = BackupPathFor(db.Path(), when);
  std::string backup = base;
  std::error_code ec;
  for (int number = 2; fs::exists(Utf8Path(backup), ec); ++number) {
    if (number > 999) Fail(base, err::kPathFileAccess, "too many copies were made in one second");
    backup = base + "-" + std::to_string(number);
  }
  const fs::path target = Utf8Path(backup);
  const fs::path unfinished = Utf8Path(backup + std::string(kUnfinishedSuffix));

  const auto failWith = [&](const std::error_code& cause) {
    std::error_code ignored;
    // A folder of that name is someone else's, not a half copy.
    if (fs::is_directory(unfinished, ignored)) {
      Fail(backup, err::kPathFileAccess,
           "a folder named '" + backup + std::string(kUnfinishedSuffix) + "' is in the way");
    }
    fs::remove(unfinished, ignored);
    Fail(backup, cause);
  };
  if (const std::error_code copied = CopyToDisk(log, unfinished)) failWith(copied);
  if (const std::error_code moved = MoveIntoPlace(unfinished, target)) failWith(moved);

  // Only now that the new copy is complete and on disk do the oldest ones go. The new one stays
  // whatever its name says, even if the clock was set back since an older one was made.
  std::vector<std::string> older = BackupsOf(db.Path());
  older.erase(std::remove_if(older.begin(), older.end(),
                             [&](const std::string& path) {
                               return NameKey(Utf8(Utf8Path(path).filename())) ==
                                      NameKey(Utf8(target.filename()));
                             }),
              older.end());
  const std::size_t keepOlder = kBackupsKept - 1;
  for (std::size_t i = 0; i + keepOlder < older.size(); ++i) {
    std::error_code ignored;  // one that cannot go stays; the run has its backup
    fs::remove(Utf8Path(older[i]), ignored);
  }
  return backup;
}

}  // namespace zorvik::logdb
