#pragma once

#include <functional>

#include "ui/UiContext.h"

namespace zorvik::ui {

// The number reported for a failure that is not one of the program's own (a library's
// exception, a refusal of the window system).
inline constexpr int kInternalError = 51;

// Runs one of the window's handlers on `ctx`. A failure that escapes it, a library's exception
// included, is reported in the standard box: never left to end the program or to cross the
// toolkit's event dispatch.
void RunReported(UiContext& ctx, const std::function<void(UiContext&)>& handler);

}  // namespace zorvik::ui
