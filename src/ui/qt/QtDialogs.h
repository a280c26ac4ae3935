#pragma once

#include <QString>

#include "core/Dialogs.h"

class QWidget;

namespace zorvik::ui {

// Message boxes, the file-open dialog, the beep and the help page with Qt. Boxes are modal to
// `parent` (may be null, e.g. before the window is shown); the parent is not owned.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  Answer MsgBox(const std::string& text, int flags, const std::string& title) override;
  std::optional<std::string> ShowOpen(const std::string& folder, const std::string& file) override;
  void Beep() override;
  bool OpenHelpPage(const std::string& path) override;

 private:
  QWidget* parent_;
};

// Texts break lines with "\r\n" or a lone "\r"; Qt's widgets only know "\n".
QString DisplayText(const std::string& text);

}  // namespace zorvik::ui
