#pragma once

#include <optional>
#include <string>

struct sqlite3;

namespace dxkeeper_sim {

// The log database as DXKeeper holds it while it has the log open: a read-only connection with
// the file really open, so a test can see it held and released. No lock stays taken between
// commands, since DXKeeper's own engine lets other programs write beside it.
class HeldLog {
 public:
  explicit HeldLog(std::string path) : path_(std::move(path)) {}
  ~HeldLog() { Close(); }
  HeldLog(const HeldLog&) = delete;
  HeldLog& operator=(const HeldLog&) = delete;

  // Opens the log if it is not open. Returns an error text, empty on success.
  std::string Open();
  void Close() noexcept;
  bool IsOpen() const { return db_ != nullptr; }
  // The number of PrintQueue rows committed to the log now, as any other reader sees them (read
  // through a connection of its own, whether the log is held or not); nullopt when the log cannot
  // be read within a second.
  std::optional<long long> CommittedQueueRows() const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  sqlite3* db_ = nullptr;
};

}  // namespace dxkeeper_sim
