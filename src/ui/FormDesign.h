#pragma once

#include "ui/MainForm.h"
#include "ui/Twips.h"

// The window Main as designed: every control's name, text, place and tooltip, the frame lines,
// the colours and the fonts. Both windows (Qt and Win32) build themselves from these values, so
// they cannot drift apart. Places are in twips; the three options are placed relative to the
// frame grpAction that holds them.
namespace zorvik::ui::design {

// What a control is; the text boxes, options, check box and buttons take the focus.
enum class Kind { kLabel, kTextBox, kFrame, kOption, kCheckBox, kButton };

struct Control {
  const char* name;  // the control's name, as tests and accessibility tools know it
  Kind kind;
  const char* text;
  TwipsRect rect;
  int tabIndex;  // the form's Tab column: the order in which Tab visits the controls
  const char* tooltip = nullptr;  // none
};

struct Colour {
  int red, green, blue;
};

// A line from (x1, y1) to (x2, y2); one pixel wide whatever the DPI.
struct Line {
  const char* name;
  int x1, y1, x2, y2;
};

// The typos in the tooltips are the texts users know; they stay.
inline constexpr Control kLabel1{"Label1", Kind::kLabel, "Zorvik", {105, 0, 4305, 255}, 3};
inline constexpr Control kLabel3{"Label3",   Kind::kLabel,
                                 "DataBase", {150, 285, 795, 255},
                                 7,          "Enter the call sign you want to use."};
inline constexpr Control kMrkd{"mrkd", Kind::kLabel, "", {2700, 300, 465, 240}, 14};
inline constexpr Control kLabel6{
    "Label6", Kind::kLabel, "QSO's in Queue", {3225, 300, 1215, 240}, 15};
inline constexpr Control kTxtCall{
    "txtCall",
    Kind::kTextBox,
    "",
    {135, 510, 4260, 285},
    2,
    "Database to manipulate. Default is DXKeeper's last used. Double-click to select another."};
inline constexpr Control kBillBoard{
    "BillBoard", Kind::kLabel, "", {240, 975, 2520, 1935}, 0, "User messages are displayed here"};
inline constexpr Control kGrpAction{
    "grpAction", Kind::kFrame, "Action", {3000, 1050, 1320, 1305}, 4};
inline constexpr Control kOptAdd{
    "OptAdd",
    Kind::kOption,
    "Add",
    {105, 210, 1170, 540},
    5,
    "When checked, will add candidate QSO's to DXKeeper's QSL queue (see Help file for more "
    "info)."};
inline constexpr Control kOptRefresh{
    "OptRefresh", Kind::kOption,
    "Refresh",    {105, 630, 1170, 330},
    16,           "When checked, will cause a refresh of the QSO count."};
inline constexpr Control kOptCleanLog{
    "OptCleanLog",
    Kind::kOption,
    "Log Clean",
    {105, 945, 1170, 330},
    17,
    "When checked, will clean trash entries from the QSOs table's QSL_Sent and QSL_Rcvd fields "
    "(see Help file for more info)."};
inline constexpr Control kChkOps{
    "chkOps",
    Kind::kCheckBox,
    "Incl All Ops",
    {3075, 2565, 1155, 330},
    8,
    "When checked, will include all operators in this database (for explaination see Help file)"};
inline constexpr Control kLabel2{"Label2", Kind::kLabel, "From:", {120, 2985, 495, 255}, 12};
inline constexpr Control kLabel4{"Label4", Kind::kLabel, "To:", {1305, 2985, 615, 255}, 13};
inline constexpr Control kCmdOk{"cmdOK", Kind::kButton, "OK", {3000, 3105, 495, 345}, 6};
inline constexpr Control kHelp{"Help", Kind::kButton, "Help", {3720, 3105, 495, 330}, 1};
inline constexpr Control kFDate{"fDate", Kind::kTextBox,  "1/1/1900", {120, 3195, 975, 285},
                                10,      "QSO start date"};
inline constexpr Control kTDate{"tDate", Kind::kTextBox, "12/31/2015", {1305, 3195, 975, 285},
                                11,      "QSO stop date"};

// Every control of the window, and the three options of the Action frame, top to bottom.
inline constexpr const Control* kControls[] = {
    &kLabel1,    &kLabel3, &kMrkd,       &kLabel6,      &kTxtCall, &kBillBoard,
    &kGrpAction, &kOptAdd, &kOptRefresh, &kOptCleanLog, &kChkOps,  &kLabel2,
    &kLabel4,    &kCmdOk,  &kHelp,       &kFDate,       &kTDate};
inline constexpr const Control* kOptions[] = {&kOptAdd, &kOptRefresh, &kOptCleanLog};

// The thin rectangle around the billboard.
inline constexpr Line kLines[] = {
    {"Line1", 150, 900, 2865, 900},
    {"Line2", 2850, 900, 2850, 2925},
    {"Line3", 150, 900, 150, 2925},
    {"Line4", 150, 2925, 2865, 2925},
};

inline constexpr Colour kTitleColour{0, 0, 128};  // Label1
inline constexpr Colour kQueueColour{128, 0, 0};  // mrkd and Label6

// The window's font; the title is larger and bold.
inline constexpr const char* kFontName = "MS Sans Serif";
inline constexpr int kFontPoints = 8;
inline constexpr int kTitlePoints = 12;

// The billboard before any style is applied: centred red text in the window's font.
inline constexpr BillboardLook kBillboardLook{
    .centred = true, .pointSize = kFontPoints, .red = 192, .green = 0, .blue = 0};

}  // namespace zorvik::ui::design
