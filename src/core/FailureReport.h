#pragma once

#include <string>

#include "Dialogs.h"
#include "Failure.h"

namespace zorvik {

// Text of the standard report: the number, " : " and the description.
std::string StandardReportText(const Failure& failure);

// The standard report: OK only, no icon, the application title.
void ReportFailure(Dialogs& dialogs, const Failure& failure);

// "error code: N\r\nDescription: D" in a box with the stop icon titled "Connect Error" (host link).
void ReportHostConnectError(Dialogs& dialogs, const Failure& failure);

}  // namespace zorvik
