#pragma once

#include <string>

namespace zorvik::host {

// The DDE client text box `DDE`: one conversation at a time, opened by the last link set-up.
// Plain C++ so that the Windows implementation (DDEML) builds without Qt.
//
// A link set-up is, in this order: SetText(""), SetLinkTopic("DXKeeper|DDEServer"),
// SetLinkItem(item), SetLinkMode(1). Setting the mode to 1 (automatic) opens the conversation on
// the item and fills Text() with the item's current value.
//
// Failures are thrown as zorvik::Failure with the platform's DDE numbers:
//   282 no application answered the link set-up;
//   285 the application refused an execute;
//   293 an execute with no conversation open;
//   any other number (286: no answer in time) is a connect error.
// No call blocks for more than a few seconds, whatever the host does.
class DdeClient {
 public:
  virtual ~DdeClient() = default;

  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual void SetLinkTopic(const std::string& topic) = 0;  // "application|topic"
  virtual void SetLinkItem(const std::string& item) = 0;
  // 0 ends the link (no conversation afterwards); 1 opens an automatic link on the item.
  virtual void SetLinkMode(int mode) = 0;
  // Sends `command` as one execute on the open conversation. No reply is read.
  virtual void LinkExecute(const std::string& command) = 0;
};

}  // namespace zorvik::host
