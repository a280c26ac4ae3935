#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::host {

// The local-socket stand-in for DDE, shared by the client and the substitute host. The protocol
// itself is described in docs/host-link.md.

// Verbs of the line protocol.
namespace verb {
inline constexpr std::string_view kAdvise = "ADVISE";    // client: open an automatic link
inline constexpr std::string_view kRequest = "REQUEST";  // client: one-off read of an item
inline constexpr std::string_view kExecute = "EXECUTE";  // client: run a command
inline constexpr std::string_view kData = "DATA";        // host: the value asked for
inline constexpr std::string_view kUpdate = "UPDATE";    // host: unprompted new item value
inline constexpr std::string_view kAck = "ACK";          // host: command done
inline constexpr std::string_view kNack = "NACK";        // host: refused
}  // namespace verb

// A peer that sends a longer line without a line end is broken or hostile; it is cut off rather
// than buffered without bound.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

// Where the sockets live: $ZORVIK_DDE_DIR when set (tests), else "dde" in the user's runtime
// directory ($XDG_RUNTIME_DIR, else Qt's runtime location). Empty when none is known.
std::filesystem::path DdeDirectory();

// The socket file name for a link topic ("DXKeeper|DDEServer" -> "DXKeeper%7CDDEServer"): every
// byte other than ASCII letters, digits, '-', '_' and '.' is written as %XX, so distinct topics
// never share a socket and no topic can name a path outside the directory.
std::string SocketFileName(std::string_view topic);

enum class DirectoryState { kMissing, kPrivate, kExposed };

// Whether `dir` is a real directory (not a symlink) owned by this user that no one else may
// enter. Only such a directory is trusted: anyone who can write to it could pose as the host.
DirectoryState CheckDdeDirectory(const std::filesystem::path& dir);

// Creates `dir` (and missing parents) with mode 0700 if needed. Returns an error text, or the
// empty text when `dir` is now private.
std::string EnsureDdeDirectory(const std::filesystem::path& dir);

struct Message {
  std::string verb;
  std::string payload;
};

// "VERB payload\n", the payload UTF-8 with '\\', CR and LF escaped as \\, \r, \n; a payload-less
// message is "VERB\n".
std::string EncodeMessage(std::string_view verb, std::string_view payload = {});

// Reads one line (without its line end). Returns nullopt for a malformed escape or empty verb.
std::optional<Message> DecodeMessage(std::string_view line);

}  // namespace zorvik::host
