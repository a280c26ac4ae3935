#pragma once

#include <string>

#include "core/Failure.h"

namespace zorvik::host::win {

// DDE failure numbers beyond the four the rest of the program tells apart (core/Failure.h): the
// VB run-time's DDE error numbers that DXKeeper's users know. All of them are connect errors.
namespace dde_err {
inline constexpr int kNoChannels = 281;            // out of memory or system resources
inline constexpr int kChannelLocked = 284;         // a call is still waiting on this link
inline constexpr int kHostQuit = 291;              // the host went away during a call
inline constexpr int kMessageLost = 295;           // a DDE message could not be posted
inline constexpr int kInvalidTopic = 297;          // the link topic is not "application|topic"
inline constexpr int kSystemFailure = 298;         // DDE could not be started or misbehaved
inline constexpr int kInvalidPropertyValue = 380;  // a link mode other than 0 or 1
}  // namespace dde_err

// What the client was doing when DDEML gave an error; it decides how some errors read.
enum class DdeStep { kConnect, kAdvise, kRequest, kExecute };

// The Failure for DDEML error `dmlError` (a DMLERR_* value) during `step`, with a description
// that names the step and the DDEML code. The mapping the callers rely on:
//   no conversation established on connect -> 282;
//   the host refused or was busy (DMLERR_NOTPROCESSED, DMLERR_BUSY) -> 285;
//   any ACK timeout -> 286; the conversation gone on execute -> 293;
//   everything else -> one of dde_err::*.
Failure DdeFailure(unsigned dmlError, DdeStep step);

// True when `dmlError` means the reply may still arrive late, so the conversation can no longer
// be trusted to pair replies with requests.
bool IsDdeTimeout(unsigned dmlError);

// True when `dmlError` means the conversation no longer exists.
bool IsConversationGone(unsigned dmlError);

}  // namespace zorvik::host::win
