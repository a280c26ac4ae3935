#include "JetErrors.h"

#include <utility>

namespace zorvik::dao_standin {
namespace {

// Jet 4.0's texts for the failures the stand-in raises.
constexpr std::pair<int, const char*> kDescriptions[] = {
    {err::kNotEnoughMemory, "There isn't enough memory to perform this operation."},
    {jet::kInvalidArgument, "Invalid argument."},
    {jet::kTooManyTransactions,
     "Could not start transaction; too many transactions already nested."},
    {jet::kUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit."},
    {err::kNoCurrentRecord, "No current record."},
    {err::kFileNotFound, "Could not find file '|'."},
    {err::kDiskFull, "Not enough space on disk."},
    {err::kReadOnly, "Cannot update. Database or object is read-only."},
    {err::kNoTransaction,
     "You tried to commit or rollback a transaction without first beginning a transaction."},
    {err::kResourcesExceeded, "System resource exceeded."},
    {err::kFileInUse, "Could not use '|'; file already in use."},
    {err::kCannotLockFile, "Could not lock file."},
    {err::kCannotOpenShared,
     "The Microsoft Jet database engine cannot open the file '|'. It is already opened "
     "exclusively by another user, or you need permission to view its data."},
    {err::kLockCountExceeded,
     "File sharing lock count exceeded. Increase MaxLocksPerFile registry entry."},
    {jet::kTooFewParameters, "Too few parameters. Expected 1."},
    {jet::kCannotExecuteSelect, "Cannot execute a select query."},
    {err::kSyntaxError, "Syntax error (missing operator) in query expression '|'."},
    {err::kCriterionSyntax, "Syntax error (missing operator) in expression."},
    {err::kMissingTable,
     "The Microsoft Jet database engine cannot find the input table or query '|'. Make sure it "
     "exists and that its name is spelled correctly."},
    {jet::kUndefinedFunction, "Undefined function '|' in expression."},
    {jet::kInvalidStatement,
     "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."},
    {jet::kFromSyntax, "Syntax error in FROM clause."},
    {jet::kOrderBySyntax, "Syntax error in ORDER BY clause."},
    {jet::kAfterEndOfStatement, "Characters found after end of SQL statement."},
    {3144, "Syntax error in UPDATE statement."},
    {jet::kFieldTooSmall,
     "The field is too small to accept the amount of data you attempted to add. Try inserting or "
     "pasting less data."},
    {jet::kRecordDeleted, "Record is deleted."},
    {err::kLockedByOther, "Could not update; currently locked."},
    {jet::kInvalidOperation, "Invalid operation."},
    {jet::kNotSupportedForType, "Operation is not supported for this type of object."},
    {err::kLocked, "Could not update; currently locked by user 'Admin' on machine 'DXKEEPER'."},
    {err::kUnknownField, "Item not found in this collection."},
    {jet::kRequired,
     "The field '|' cannot contain a Null value because the Required property for this field "
     "is set to True. Enter a value in this field."},
    {jet::kZeroLength, "Field '|' cannot be a zero-length string."},
    {err::kUnrecognizedFormat, "Unrecognized database format '|'."},
    {err::kObjectClosed, "Object invalid or no longer set."},
    {jet::kNumericOverflow, "Numeric field overflow."},
    {jet::kConversionError, "Data type conversion error."},
    {jet::kCriteriaTypeMismatch, "Data type mismatch in criteria expression."},
};

}  // namespace

std::string JetDescription(int number, std::string_view item) {
  const char* text = nullptr;
  for (const auto& [n, t] : kDescriptions) {
    if (n == number) text = t;
  }
  if (text == nullptr) return std::string(item);
  std::string description(text);
  if (const auto bar = description.find('|'); bar != std::string::npos) {
    description.replace(bar, 1, item);
  }
  return description;
}

void RaiseJet(int number, std::string_view item) {
  throw Failure(number, JetDescription(number, item));
}

void NotPlayed(std::string_view what) {
  throw Failure(err::kEngineError,
                "The DAO stand-in does not play this part of Jet: " + std::string(what));
}

}  // namespace zorvik::dao_standin
