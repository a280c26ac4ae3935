#pragma once

#include <string>

namespace zorvik {

// The window `Main` as the log operations and the host link see it: the controls they read and
// write. The Qt window implements it; tests use a plain fake. Nothing here opens dialogs (see
// Dialogs.h).
class MainView {
 public:
  virtual ~MainView() = default;

  virtual std::string DatabaseFieldText() const = 0;  // txtCall
  virtual std::string StartDateText() const = 0;      // fDate
  virtual std::string StopDateText() const = 0;       // tDate
  virtual bool IncludeAllOperators() const = 0;       // chkOps checked

  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetBillboard(const std::string& text) = 0;       // BillBoard
  virtual void SetQueueCountText(const std::string& text) = 0;  // mrkd
  virtual void SelectAdd() = 0;                                 // OptAdd on
  virtual void FocusOk() = 0;                                   // cmdOK takes the focus

  // Shows a wait cursor and takes no input while a long action works; ends with the object.
  virtual void BeginBusy() = 0;
  virtual void EndBusy() = 0;
};

// Shows the wait cursor for the lifetime of the object.
class BusyScope {
 public:
  explicit BusyScope(MainView& view) : view_(view) { view_.BeginBusy(); }
  ~BusyScope() { view_.EndBusy(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  MainView& view_;
};

}  // namespace zorvik
