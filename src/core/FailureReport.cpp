#include "FailureReport.h"

#include "ZorvikMod.h"

namespace zorvik {

std::string StandardReportText(const Failure& failure) {
  return std::to_string(failure.Number()) + " : " + failure.Description();
}

void ReportFailure(Dialogs& dialogs, const Failure& failure) {
  dialogs.MsgBox(StandardReportText(failure), mb::kOkOnly, kAppTitle);
}

void ReportHostConnectError(Dialogs& dialogs, const Failure& failure) {
  dialogs.MsgBox("error code: " + std::to_string(failure.Number()) +
                     "\r\nDescription: " + failure.Description(),
                 mb::kOkStop, "Connect Error");
}

}  // namespace zorvik
