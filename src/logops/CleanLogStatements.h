#pragma once

#include <string_view>

namespace zorvik::logdb {

// The two updates of Log Clean, as DXKeeper's users know them from its statement text, odd
// spacing included. Only these QSL letters mean something to DXKeeper; anything else keeps a
// contact out of the Add candidates for good, so it is blanked. Null and empty values are left as
// they are. Letters compare without regard to case, as in DXKeeper's engine: "y" and "r" are the
// letters Y and R and stay (on SQLite, CleanLog adds the collation to each comparison).
inline constexpr std::string_view kCleanReceivedStatement =
    "Update QSOs Set QSL_Rcvd='' "
    "Where QSL_Rcvd <> ''  "
    "and QSL_Rcvd <> 'R' "
    "and QSL_Rcvd <> 'Y' "
    "and QSL_Rcvd <> 'S' "
    "and QSL_Rcvd <> 'V' "
    "and QSL_Rcvd <> 'I' "
    "and QSL_Rcvd <> 'X'";

inline constexpr std::string_view kCleanSentStatement =
    "Update QSOs Set QSL_Sent='' "
    "Where QSL_Sent <> ''  "
    "and QSL_Sent <> 'R' "
    "and QSL_Sent <> 'Y'";

}  // namespace zorvik::logdb
