#pragma once

#include <functional>

#include "ui/UiContext.h"

namespace zorvik::ui {

// Runs one of the window's handlers on `ctx`. A failure that escapes it, a library's exception
// included, is reported in the standard box: never left to end the program or to cross the
// toolkit's event dispatch.
void RunReported(UiContext& ctx, const std::function<void(UiContext&)>& handler);

}  // namespace zorvik::ui
