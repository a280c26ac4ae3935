#pragma once

#include <string>

#include "ui/UiContext.h"

namespace zorvik::ui {

// cmdOK_Click. An empty database field is refused with a box. Otherwise the day after the stop
// date is stored in StopDatePlusOne (a stop date that is not a date is reported and nothing runs),
// then Add or Log Clean runs as selected; Refresh does nothing more here.
void CmdOkClick(UiContext& ctx);

// Help_Click. Opens help/ZorvikHelp.htm below the program folder (joined with the folder's own
// separator) in the desktop's viewer, without waiting. Tells the user when no viewer could be
// started.
void HelpClick(UiContext& ctx);

// The folder that holds DXKeeper's Databases folder, with its trailing separator, cut from
// `logPath`; empty when the path has no "Databases" folder. Either separator counts, so Windows
// paths and native ones both work.
std::string DialogStartFolderOf(const std::string& logPath);

// txtCall_DblClick. Picks a database file in the file-open dialog (starting on the file chosen
// last, before any choice beside DXKeeper's Databases folder), puts it into the field and checks
// it as TxtCallLostFocus does.
void TxtCallDblClick(UiContext& ctx);

// txtCall_LostFocus. Checks that the field names a file that opens as a log (opened read as given,
// never created), then restores the Normal billboard, recounts the queue, shows the usage note,
// selects Add and moves the focus to OK. An empty field or a path that does not open is told in a
// box and the focus goes back to the field; nothing else changes.
void TxtCallLostFocus(UiContext& ctx);

}  // namespace zorvik::ui
