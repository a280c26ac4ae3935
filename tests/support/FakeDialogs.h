#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Dialogs.h"

namespace zorvik::testing {

// Records every box and answers from a script (default: kNo for Yes/No boxes, kOk otherwise).
class FakeDialogs : public Dialogs {
 public:
  struct Box {
    std::string text;
    int flags;
    std::string title;
  };

  Answer MsgBox(const std::string& text, int flags, const std::string& title) override {
    boxes.push_back({text, flags, title});
    if (!answers.empty()) {
      Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return flags == mb::kYesNoStopDefaultNo ? Answer::kNo : Answer::kOk;
  }
  std::optional<std::string> ShowOpen(const std::string& startFolder,
                                      const std::string& fileName) override {
    openFolders.push_back(startFolder);
    openFiles.push_back(fileName);
    if (openResults.empty()) return std::nullopt;
    auto r = openResults.front();
    openResults.pop_front();
    return r;
  }
  void Beep() override {
    ++beeps;
    if (onBeep) onBeep();
  }
  bool OpenHelpPage(const std::string& path) override {
    helpPages.push_back(path);
    return true;
  }

  std::vector<Box> boxes;
  std::deque<Answer> answers;
  std::deque<std::optional<std::string>> openResults;
  std::vector<std::string> openFolders;
  std::vector<std::string> openFiles;  // the file name each dialog showed filled in
  std::vector<std::string> helpPages;
  int beeps = 0;
  // Runs at each beep: Add beeps as it finishes, while the window is still busy.
  std::function<void()> onBeep;
};

}  // namespace zorvik::testing
