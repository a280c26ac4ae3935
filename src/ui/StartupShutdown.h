#pragma once

#include <chrono>

#include "core/LocalToday.h"
#include "ui/UiContext.h"

namespace zorvik::ui {

// How start-up ended.
enum class StartOutcome {
  kShowWindow,    // the window opens (fully set up, or partly after a reported failure)
  kNotInstalled,  // DXKeeper's settings are missing: the program ends without showing the window
  kNotRunning,    // DXKeeper does not answer: the program ends without showing the window
};

// The process exit status for an outcome: 0 when the window ran, 2 when DXKeeper is not installed,
// 3 when it is not running, so that a script starting Zorvik can tell the cases apart.
int ExitStatus(StartOutcome outcome);

// Form_Load. Reads DXKeeper's settings, checks that DXKeeper runs (the caption shows the result),
// then shows the start-up warning in the Alert style and fills the database field and the
// stop-date field (with `today` in the locale's short form). A missing install or host is told in
// a box and returned; the caller must then end the program at once, without FormUnload. Any other
// failure is shown in a box and the window opens as far as it got.
StartOutcome FormLoad(UiContext& ctx, std::chrono::sys_days today = LocalToday());

// Form_Unload. Tells DXKeeper "commandcomplete" whatever the last check found, then closes the four
// record sets, ignoring failures. Never throws; the window always closes.
void FormUnload(UiContext& ctx) noexcept;

}  // namespace zorvik::ui
