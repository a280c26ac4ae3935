#pragma once

#include "ui/UiContext.h"

namespace zorvik::ui {

// The mouse-up hints of the options. Each first returns the billboard from the start-up Alert
// style to Normal (once), then shows its hint, whether or not the click changed the option.
void ChkOpsMouseUp(UiContext& ctx);
void OptAddMouseUp(UiContext& ctx);
void OptCleanLogMouseUp(UiContext& ctx);
// Also recounts the queue (the window busy meanwhile) and selects Add again, so Refresh never
// stays selected after a click.
void OptRefreshMouseUp(UiContext& ctx);

}  // namespace zorvik::ui
