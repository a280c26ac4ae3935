#include "host/win/DdeFailures.h"

#include <windows.h>
// after windows.h, which it needs
#include <ddeml.h>

#include <cstdio>

namespace zorvik::host::win {
namespace {

const char* StepName(DdeStep step) {
  switch (step) {
    case DdeStep::kConnect:
      return "connecting to";
    case DdeStep::kAdvise:
      return "opening the automatic link with";
    case DdeStep::kRequest:
      return "reading an item from";
    case DdeStep::kExecute:
      return "sending a command to";
  }
  return "talking to";
}

std::string Describe(const char* what, unsigned dmlError, DdeStep step) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%04X", dmlError);
  return std::string(what) + " (while " + StepName(step) + " the DDE host; DDEML error " + code +
         ")";
}

}  // namespace

bool IsDdeTimeout(unsigned dmlError) {
  switch (dmlError) {
    case DMLERR_ADVACKTIMEOUT:
    case DMLERR_DATAACKTIMEOUT:
    case DMLERR_EXECACKTIMEOUT:
    case DMLERR_POKEACKTIMEOUT:
    case DMLERR_UNADVACKTIMEOUT:
      return true;
    default:
      return false;
  }
}

bool IsConversationGone(unsigned dmlError) {
  return dmlError == DMLERR_SERVER_DIED || dmlError == DMLERR_NO_CONV_ESTABLISHED;
}

Failure DdeFailure(unsigned dmlError, DdeStep step) {
  if (IsDdeTimeout(dmlError)) {
    return Failure(err::kDdeTimeout,
                   Describe("Timeout while waiting for DDE response", dmlError, step));
  }
  switch (dmlError) {
    case DMLERR_NO_CONV_ESTABLISHED:
      if (step == DdeStep::kConnect) {
        return Failure(
            err::kDdeNoAnswer,
            Describe("No foreign application responded to a DDE initiate", dmlError, step));
      }
      [[fallthrough]];
    case DMLERR_SERVER_DIED:
      if (step == DdeStep::kExecute) {
        return Failure(err::kDdeNoConversation,
                       Describe("DDE method invoked with no channel open", dmlError, step));
      }
      return Failure(dde_err::kHostQuit, Describe("Foreign application quit", dmlError, step));
    // Windows reports a busy host as DMLERR_BUSY, Wine as DMLERR_NOTPROCESSED: both are a refusal.
    case DMLERR_NOTPROCESSED:
    case DMLERR_BUSY:
      return Failure(
          err::kDdeRefused,
          Describe("Foreign application won't perform DDE method or operation", dmlError, step));
    case DMLERR_REENTRANCY:
      return Failure(dde_err::kChannelLocked, Describe("DDE channel locked", dmlError, step));
    case DMLERR_POSTMSG_FAILED:
      return Failure(dde_err::kMessageLost,
                     Describe("Message queue filled; DDE message lost", dmlError, step));
    case DMLERR_MEMORY_ERROR:
    case DMLERR_LOW_MEMORY:
      return Failure(dde_err::kNoChannels,
                     Describe("No more DDE channels (out of memory)", dmlError, step));
    default:
      return Failure(dde_err::kSystemFailure,
                     Describe("The system's DDE support failed", dmlError, step));
  }
}

}  // namespace zorvik::host::win
