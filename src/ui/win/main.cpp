// Zorvik: puts the QSL cards DXKeeper still needs into its print queue. The Windows program.
//
// Exit status: 0 after the window was closed; 2 when DXKeeper is not installed and 3 when it is
// not running (the window was never shown); 1 when the window could not be created.

#include <windows.h>

#include <exception>

#include "core/FailureReport.h"
#include "host/Platform.h"
#include "logdb/dao/ComHolders.h"
#include "logdb/dao/DaoEngine.h"
#include "ui/win/WinDialogs.h"
#include "ui/win/WinPlatform.h"
#include "ui/win/WinProgram.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // COM for DAO (DXKeeper's Jet logs) and the shell's help-page viewer, for the whole run.
  const zorvik::logdb::dao::ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  zorvik::logdb::dao::UseDaoForJetLogs();
  zorvik::ui::win::UseLocaleDates();
  try {
    zorvik::ui::win::WinProgram program(zorvik::host::MakeDdeClient(),
                                        zorvik::host::MakeSettingsStore());
    const zorvik::ui::StartOutcome outcome = program.Start();
    if (outcome != zorvik::ui::StartOutcome::kShowWindow) return zorvik::ui::ExitStatus(outcome);
    return program.Run();
  } catch (const zorvik::Failure& failure) {
    zorvik::ui::win::WinDialogs dialogs;
    zorvik::ReportFailure(dialogs, failure);
    return 1;
  } catch (const std::exception& e) {
    // A library's failure (no thread for the DDE link, no memory) gets a box too.
    zorvik::ui::win::WinDialogs dialogs;
    zorvik::ReportFailure(dialogs, zorvik::Failure(zorvik::err::kInternalError, e.what()));
    return 1;
  }
}
