#include "ui/OptionHints.h"

#include "core/FailureReport.h"
#include "ui/BillboardStyle.h"

namespace zorvik::ui {
namespace {

// The typos and the double blank are the texts users know; they stay.
constexpr const char* kChkOpsHint =
    "When checked, this selection will include all the operators "
    "in the current database. If unchecked only the  call sign, "
    "desiginated in DXKeeper will be used for any of the functions "
    "shown in the action group.";
constexpr const char* kOptAddHint =
    "When checked, this selection will add Bands / Modes QSOs to the QSL Queue. "
    "\r\n\r\n"
    "Entries may only be removed by pressing the 'Clear' button in DXkeeper's QSL tab.";
constexpr const char* kOptCleanLogHint =
    "This option will clean-up the QSO log prior to using Zorvik. Before using this option "
    "read and understand the help file section titled Log Clean-Up. This option should only "
    "be required once per log if at all. "
    "\r\n\r\n"
    "See Help file for detailed instructions";
constexpr const char* kOptRefreshHint = "The QSO counter was refreshed";

void LeaveStartupStyle(UiContext& ctx) {
  if (ctx.host.mod.BillboardNeedsReset) {
    SetBillboardStyle(ctx.form, kBillboardNormal);
    ctx.host.mod.BillboardNeedsReset = false;
  }
}

template <typename Body>
void RunHint(UiContext& ctx, Body body) {
  try {
    LeaveStartupStyle(ctx);
    body();
  } catch (const Failure& failure) {
    ReportFailure(ctx.host.dialogs, failure);
  }
}

}  // namespace

void ChkOpsMouseUp(UiContext& ctx) {
  RunHint(ctx, [&] { ctx.form.SetBillboard(kChkOpsHint); });
}

void OptAddMouseUp(UiContext& ctx) {
  RunHint(ctx, [&] { ctx.form.SetBillboard(kOptAddHint); });
}

void OptCleanLogMouseUp(UiContext& ctx) {
  RunHint(ctx, [&] { ctx.form.SetBillboard(kOptCleanLogHint); });
}

void OptRefreshMouseUp(UiContext& ctx) {
  RunHint(ctx, [&] {
    {
      // Recounting a large queue takes a moment: the window is busy meanwhile, as for Add.
      BusyScope busy(ctx.form);
      ctx.ops.showQueueCount();
      ctx.form.SelectAdd();
    }
    ctx.form.SetBillboard(kOptRefreshHint);
  });
}

}  // namespace zorvik::ui
