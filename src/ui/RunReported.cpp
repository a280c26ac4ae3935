#include "ui/RunReported.h"

#include <exception>

#include "core/FailureReport.h"

namespace zorvik::ui {

void RunReported(UiContext& ctx, const std::function<void(UiContext&)>& handler) {
  try {
    handler(ctx);
  } catch (const Failure& failure) {
    ReportFailure(ctx.host.dialogs, failure);
  } catch (const std::exception& e) {
    ReportFailure(ctx.host.dialogs, Failure(err::kInternalError, e.what()));
  }
}

}  // namespace zorvik::ui
