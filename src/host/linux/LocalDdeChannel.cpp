#include "host/linux/LocalDdeChannel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>
#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace zorvik::host {

std::filesystem::path DdeDirectory() {
  if (const char* dir = std::getenv("ZORVIK_DDE_DIR"); dir && dir[0] != '\0') {
    return std::filesystem::path(dir);
  }
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
    return std::filesystem::path(runtime) / "dde";
  }
  // Qt makes this folder (0700, /tmp/runtime-<user>) when the session does not provide one.
  const QString qtRuntime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (qtRuntime.isEmpty()) return {};
  return std::filesystem::path(qtRuntime.toStdString()) / "dde";
}

std::string SocketFileName(std::string_view topic) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string name;
  for (unsigned char c : topic) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    if (plain) {
      name += static_cast<char>(c);
    } else {
      name += '%';
      name += kHex[c >> 4];
      name += kHex[c & 0xF];
    }
  }
  // "." and ".." would name directories; a leading dot is escaped too so no name is hidden.
  if (!name.empty() && name.front() == '.') name.replace(0, 1, "%2E");
  return name;
}

DirectoryState CheckDdeDirectory(const std::filesystem::path& dir) {
  struct stat st {};
  if (dir.empty() || ::lstat(dir.c_str(), &st) != 0) return DirectoryState::kMissing;
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
    return DirectoryState::kExposed;
  }
  return DirectoryState::kPrivate;
}

std::string EnsureDdeDirectory(const std::filesystem::path& dir) {
  if (dir.empty()) return "no runtime directory is known";
  if (CheckDdeDirectory(dir) == DirectoryState::kMissing) {
    std::error_code ec;
    if (dir.has_parent_path()) std::filesystem::create_directories(dir.parent_path(), ec);
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
      return "cannot create " + dir.string() + ": " + std::generic_category().message(errno);
    }
  }
  switch (CheckDdeDirectory(dir)) {
    case DirectoryState::kPrivate:
      return {};
    case DirectoryState::kExposed:
      return dir.string() + " is not a directory private to this user (mode 0700)";
    case DirectoryState::kMissing:
      break;
  }
  return "cannot create " + dir.string();
}

std::string EncodeMessage(std::string_view verbText, std::string_view payload) {
  std::string line(verbText);
  if (!payload.empty()) {
    line += ' ';
    for (char c : payload) {
      switch (c) {
        case '\\':
          line += "\\\\";
          break;
        case '\r':
          line += "\\r";
          break;
        case '\n':
          line += "\\n";
          break;
        default:
          line += c;
      }
    }
  }
  line += '\n';
  return line;
}

std::optional<Message> DecodeMessage(std::string_view line) {
  Message message;
  const auto space = line.find(' ');
  message.verb = std::string(line.substr(0, space));
  if (message.verb.empty()) return std::nullopt;
  if (space == std::string_view::npos) return message;
  const std::string_view raw = line.substr(space + 1);
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\') {
      message.payload += raw[i];
      continue;
    }
    if (++i == raw.size()) return std::nullopt;
    switch (raw[i]) {
      case '\\':
        message.payload += '\\';
        break;
      case 'r':
        message.payload += '\r';
        break;
      case 'n':
        message.payload += '\n';
        break;
      default:
        return std::nullopt;
    }
  }
  return message;
}

}  // namespace zorvik::host
