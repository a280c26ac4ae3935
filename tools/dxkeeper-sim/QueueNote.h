#pragma once

#include <string>

namespace dxkeeper_sim {

// What the journal adds to every command's line: "queue=<n>", the number of PrintQueue rows
// committed in the log at `logPath` when the command arrived, read on a connection of its own
// (so a test can tell, by order rather than by clocks, that the program committed its rows before
// it asked DXKeeper to take the log back); "queue=?" when the log or its queue cannot be read.
std::string QueueNote(const std::string& logPath);

}  // namespace dxkeeper_sim
