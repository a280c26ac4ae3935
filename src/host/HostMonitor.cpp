#include "host/HostMonitor.h"

#include "core/Failure.h"
#include "core/FailureReport.h"

namespace zorvik::host {

std::string CaptionText(const ProgramIdentity& identity, const std::string& status) {
  return identity.name + " " + std::to_string(identity.major) + "." +
         std::to_string(identity.minor) + "." + std::to_string(identity.revision) + " - " + status;
}

void SetUpHostLink(DdeClient& dde, const std::string& item) {
  dde.SetText("");
  dde.SetLinkTopic(kHostTopic);
  dde.SetLinkItem(item);
  dde.SetLinkMode(1);
}

namespace {

// Runs one step of the running check. An absent host (282) is the ordinary not-running case and
// lets the next step run; anything else is reported and ends the check. Returns false then.
template <typename Step>
bool RunCheckStep(HostContext& ctx, Step step) {
  try {
    step();
    return true;
  } catch (const Failure& failure) {
    if (failure.Number() == err::kDdeNoAnswer) return true;
    ReportHostConnectError(ctx.dialogs, failure);
    return false;
  }
}

}  // namespace

void CheckHostRunning(HostContext& ctx) {
  // The steps are separate so that a 282 in one of them does not skip the others: the item value
  // is then still the empty text set first, and the host counts as closed.
  DdeClient& dde = ctx.dde;
  if (!RunCheckStep(ctx, [&] { dde.SetText(""); })) return;
  if (!RunCheckStep(ctx, [&] { dde.SetLinkTopic(kHostTopic); })) return;
  if (!RunCheckStep(ctx, [&] { dde.SetLinkItem("DDECommand"); })) return;
  if (!RunCheckStep(ctx, [&] { dde.SetLinkMode(1); })) return;

  std::string value;
  if (!RunCheckStep(ctx, [&] { value = dde.Text(); })) return;
  if (!value.empty()) {
    ctx.mod.HostStatusText = status::kRunning;
    ctx.mod.HostRunning = true;
  } else {
    ctx.mod.HostStatusText = status::kClosed;
    ctx.mod.HostRunning = false;
  }
  ShowHostStatus(ctx);
}

void SendHostCommand(HostContext& ctx, const std::string& word) {
  try {
    ctx.dde.LinkExecute("001" + word);
  } catch (const Failure& failure) {
    // A refused command and a missing conversation are expected outcomes (DXKeeper busy, or
    // found absent earlier); the callers go on either way.
    if (failure.Number() == err::kDdeRefused || failure.Number() == err::kDdeNoConversation) return;
    ReportHostConnectError(ctx.dialogs, failure);
  }
}

void ShowHostStatus(HostContext& ctx) {
  try {
    ctx.view.SetCaption(CaptionText(ctx.identity, ctx.mod.HostStatusText));
  } catch (const Failure& failure) {
    ReportFailure(ctx.dialogs, failure);
  }
}

}  // namespace zorvik::host
