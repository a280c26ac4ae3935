#pragma once

#include <exception>
#include <string>

namespace zorvik {

// The failure numbers the program tells apart: the numbers DXKeeper's users know from its
// run-time and database-engine messages, so a message reads the same in both programs.
namespace err {
inline constexpr int kOverflow = 6;
inline constexpr int kTypeMismatch = 13;  // text that is not a date
// A failure that is not one of the program's own (a library's exception, a refusal of the
// window system).
inline constexpr int kInternalError = 51;
// A file the program copies or writes itself (the backup before writing)
inline constexpr int kPathFileAccess = 75;
inline constexpr int kObjectNotSet = 91;
// A Null where a text or a date-time is needed (a contact without a call sign, band, mode or
// start time): "Invalid use of Null".
inline constexpr int kInvalidUseOfNull = 94;
inline constexpr int kCannotCreateObject = 429;  // a COM class (DAO) that cannot be created
inline constexpr int kDdeNoAnswer = 282;         // no application answered the link set-up
inline constexpr int kDdeRefused = 285;          // the application refused an execute
inline constexpr int kDdeTimeout = 286;          // no answer in time: a connect error
inline constexpr int kDdeNoConversation = 293;   // execute with no conversation open
// Jet ran out of memory or of room for its transaction's temporary file (%TEMP%).
inline constexpr int kNotEnoughMemory = 2004;
inline constexpr int kNoCurrentRecord = 3021;
inline constexpr int kFileNotFound = 3024;
inline constexpr int kDiskFull = 3026;
inline constexpr int kReadOnly = 3027;
inline constexpr int kNoTransaction = 3034;      // commit or rollback without BeginTrans
inline constexpr int kResourcesExceeded = 3035;  // "System resource exceeded."
inline constexpr int kFileInUse = 3045;          // the log or its lock file held by another
inline constexpr int kCannotLockFile = 3050;
inline constexpr int kCannotOpenShared = 3051;   // no lock file beside the log, or held exclusively
inline constexpr int kLockCountExceeded = 3052;  // more page locks than MaxLocksPerFile
inline constexpr int kStatementUnknownField = 3061;  // a statement naming a field the table lacks
inline constexpr int kSyntaxError = 3075;            // a statement the engine cannot read
inline constexpr int kCriterionSyntax = 3077;        // a search criterion the engine cannot read
inline constexpr int kMissingTable = 3078;
inline constexpr int kEngineError = 3146;  // any other engine failure, its text in the description
inline constexpr int kLockedByOther = 3218;
inline constexpr int kLocked = 3260;
inline constexpr int kUnknownField = 3265;  // Fields() of a name the set or table does not have
inline constexpr int kUnrecognizedFormat = 3343;
inline constexpr int kObjectClosed = 3420;  // a record set used after Close
}  // namespace err

// The one failure type of the program: a number and a description. Raised where the failure
// happens; the handler that owns the user's action decides how to show it (FailureReport.h).
class Failure : public std::exception {
 public:
  Failure(int number, std::string description)
      : number_(number), description_(std::move(description)) {}

  int Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int number_;
  std::string description_;
};

}  // namespace zorvik
