#pragma once

#include <string>

#include "FakeDialogs.h"
#include "LogFixture.h"

namespace zorvik::reliability {

// A log for fault tests: `entities` entities with one free "W" slot each (20M SSB, call
// "F<code>"), one entity whose 40M CW slot is queued already (its candidate gets marked during
// a run), and a QTHs row. A finished run queues exactly `entities` contacts.
void FillFaultLog(logops_test::ScratchLog& log, int entities);

// Every box shown, one per line, for failure messages.
std::string ShownBoxes(const testing::FakeDialogs& dialogs);

// The whole file, byte for byte ("<missing>" when there is none).
std::string FileBytes(const std::string& path);

}  // namespace zorvik::reliability
