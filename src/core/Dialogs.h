#pragma once

#include <optional>
#include <string>

namespace zorvik {

// VB-compatible message-box flags (buttons plus icon), kept as numbers: the boxes are defined by
// them, and DXKeeper users meet the same boxes in DXKeeper.
namespace mb {
inline constexpr int kOkOnly = 0;
inline constexpr int kOkStop = 16;               // OK, stop icon
inline constexpr int kOkExclamation = 48;        // OK, exclamation icon
inline constexpr int kOkInformation = 64;        // OK, information icon
inline constexpr int kYesNoStopDefaultNo = 276;  // Yes/No, stop icon, No is the default
}  // namespace mb

enum class Answer { kOk, kYes, kNo };

// The modal services of the desktop: message boxes, the file-open dialog, the beep and the help
// page. The window implements it with Qt; tests use a fake that records every call.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Shows a modal message box. `flags` is one of mb::*; an empty title means the application
  // title. Returns the button chosen (kOk for the OK-only boxes).
  virtual Answer MsgBox(const std::string& text, int flags, const std::string& title) = 0;

  // Shows the modal file-open dialog with `fileName` (a full path) filled in, starting in that
  // file's folder; without a file name, in `startFolder` (empty: the platform's default). Returns
  // the chosen file's full path, or nullopt when the user cancelled.
  virtual std::optional<std::string> ShowOpen(const std::string& startFolder,
                                              const std::string& fileName) = 0;

  // Sounds the system's standard beep.
  virtual void Beep() = 0;

  // Opens `path` (a local HTML file) in the desktop's viewer without waiting. Returns false when
  // the desktop could not start a viewer.
  virtual bool OpenHelpPage(const std::string& path) = 0;
};

}  // namespace zorvik
