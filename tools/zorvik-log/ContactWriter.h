#pragma once

#include "Contact.h"
#include "SqliteLog.h"

namespace zorvik::logtools {

// Appends contacts to QSOs with one prepared statement, so a caller inside one transaction can
// write a million rows quickly. The log must outlive the writer. Failures throw ToolError.
class ContactWriter {
 public:
  explicit ContactWriter(LogConnection& log);
  // Returns the new row's rowid.
  std::int64_t Append(const Contact& contact);

 private:
  LogConnection& log_;
  Statement insert_;
};

}  // namespace zorvik::logtools
