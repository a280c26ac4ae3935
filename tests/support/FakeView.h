#pragma once

#include <string>
#include <vector>

#include "core/MainView.h"

namespace zorvik::testing {

// The window's controls as plain fields; every caption written is kept in order.
class FakeView : public MainView {
 public:
  std::string DatabaseFieldText() const override { return databaseField; }
  std::string StartDateText() const override { return startDate; }
  std::string StopDateText() const override { return stopDate; }
  bool IncludeAllOperators() const override { return allOperators; }

  void SetCaption(const std::string& caption) override { captions.push_back(caption); }
  void SetBillboard(const std::string& text) override {
    billboard = text;
    ++billboardWrites;
  }
  void SetQueueCountText(const std::string& text) override { queueCount = text; }
  void SelectAdd() override { addSelected = true; }
  void FocusOk() override { okFocused = true; }
  void BeginBusy() override {
    ++busyDepth;
    ++busyCount;
  }
  void EndBusy() override { --busyDepth; }

  std::string databaseField;
  std::string startDate = "1/1/1900";
  std::string stopDate = "12/31/2015";
  bool allOperators = false;

  std::vector<std::string> captions;
  std::string billboard;
  int billboardWrites = 0;
  std::string queueCount;
  bool addSelected = false;
  bool okFocused = false;
  int busyDepth = 0;
  int busyCount = 0;
};

}  // namespace zorvik::testing
