#include "ui/qt/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QUrl>

#include "core/ZorvikMod.h"

namespace zorvik::ui {

QString DisplayText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

namespace {

// A box that comes up while an action works (the wait cursor is on) must show the ordinary
// pointer: the user has to answer it before the action goes on.
class ArrowWhileAsking {
 public:
  ArrowWhileAsking() : pushed_(QApplication::overrideCursor() != nullptr) {
    if (pushed_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~ArrowWhileAsking() {
    if (pushed_) QApplication::restoreOverrideCursor();
  }
  ArrowWhileAsking(const ArrowWhileAsking&) = delete;
  ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

 private:
  bool pushed_;
};

// Keeps Escape and the close request from a box that has no Cancel: Qt would take No for them.
class NoEscape : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel)) {
      return true;
    }
    if (event->type() == QEvent::Close && event->spontaneous()) {
      event->ignore();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

Answer QtDialogs::MsgBox(const std::string& text, int flags, const std::string& title) {
  ArrowWhileAsking arrow;
  QMessageBox box(parent_);
  box.setWindowTitle(QString::fromStdString(title.empty() ? std::string(kAppTitle) : title));
  box.setText(DisplayText(text));
  // Plain text: paths and descriptions in boxes are never read as markup.
  box.setTextFormat(Qt::PlainText);
  switch (flags & 0xF0) {
    case mb::kOkStop:
      box.setIcon(QMessageBox::Critical);
      break;
    case mb::kOkExclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case mb::kOkInformation:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  if ((flags & 0x0F) == 4) {  // Yes/No; the 256 bit makes the second button, No, the default
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton((flags & 0x300) == 0x100 ? QMessageBox::No : QMessageBox::Yes);
    // The box has no Cancel: Escape and the window's close button answer nothing, as on
    // Windows. The question stays until Yes or No is chosen.
    NoEscape noEscape;
    box.installEventFilter(&noEscape);
    return box.exec() == QMessageBox::Yes ? Answer::kYes : Answer::kNo;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return Answer::kOk;
}

std::optional<std::string> QtDialogs::ShowOpen(const std::string& folder, const std::string& file) {
  ArrowWhileAsking arrow;
  // Given a file's path, Qt's dialog starts in its folder with the file selected.
  const QString chosen = QFileDialog::getOpenFileName(
      parent_, QString(), QString::fromStdString(file.empty() ? folder : file));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

void QtDialogs::Beep() {
  QApplication::beep();
}

bool QtDialogs::OpenHelpPage(const std::string& path) {
  // A file URL, never a command line: a path with blanks or shell characters stays one path.
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace zorvik::ui
