#pragma once

#include <string>

#include "core/MainView.h"

namespace zorvik::ui {

// How the billboard draws its text. Only these three properties change with the style; the text,
// font family and weight stay as they are.
struct BillboardLook {
  bool centred = false;
  int pointSize = 8;  // in the design's points; each window maps it to its own font sizes
  int red = 0, green = 0, blue = 0;
  friend bool operator==(const BillboardLook&, const BillboardLook&) = default;
};

// The option chosen in the Action frame.
enum class Action { kNone, kAdd, kCleanLog, kRefresh };

// The window `Main` as its own handlers see it: everything the log operations see (MainView) plus
// the controls only the handlers touch. The Qt window implements it; tests use a fake.
class MainForm : public MainView {
 public:
  virtual void SetDatabaseFieldText(const std::string& text) = 0;  // txtCall
  virtual void SetStopDateText(const std::string& text) = 0;       // tDate
  virtual void FocusDatabaseField() = 0;                           // txtCall takes the focus
  virtual Action SelectedAction() const = 0;
  virtual void ApplyBillboardLook(const BillboardLook& look) = 0;
};

}  // namespace zorvik::ui
