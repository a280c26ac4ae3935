#pragma once

#include <string>
#include <vector>

#include "support/FakeView.h"
#include "ui/MainForm.h"

namespace zorvik::testing {

// The window's controls as plain fields, for the handlers' tests.
class FakeForm : public ui::MainForm {
 public:
  // MainView, kept in the shared fake so the fields read the same as elsewhere.
  std::string DatabaseFieldText() const override { return view.DatabaseFieldText(); }
  std::string StartDateText() const override { return view.StartDateText(); }
  std::string StopDateText() const override { return view.StopDateText(); }
  bool IncludeAllOperators() const override { return view.IncludeAllOperators(); }
  void SetCaption(const std::string& c) override { view.SetCaption(c); }
  void SetBillboard(const std::string& t) override { view.SetBillboard(t); }
  void SetQueueCountText(const std::string& t) override { view.SetQueueCountText(t); }
  void SelectAdd() override {
    view.SelectAdd();
    action = ui::Action::kAdd;
  }
  void FocusOk() override {
    view.FocusOk();
    focus = "cmdOK";
  }
  void BeginBusy() override { view.BeginBusy(); }
  void EndBusy() override { view.EndBusy(); }

  void SetDatabaseFieldText(const std::string& t) override { view.databaseField = t; }
  void SetStopDateText(const std::string& t) override { view.stopDate = t; }
  void FocusDatabaseField() override { focus = "txtCall"; }
  ui::Action SelectedAction() const override { return action; }
  void ApplyBillboardLook(const ui::BillboardLook& l) override { looks.push_back(l); }

  FakeView view;
  ui::Action action = ui::Action::kNone;
  std::string focus;
  std::vector<ui::BillboardLook> looks;
};

}  // namespace zorvik::testing
