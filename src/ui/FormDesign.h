#pragma once

#include "ui/MainForm.h"
#include "ui/Twips.h"

// The window Main as designed: every control's name, text, place and tooltip, the frame lines,
// the colours and the fonts. Both windows (Qt and Win32) build themselves from these values, so
// they cannot drift apart. Places are in twips; the three options are placed relative to the
// frame grpAction that holds them.
namespace zorvik::ui::design {

struct Control {
  const char* name;  // the control's name, as tests and accessibility tools know it
  const char* text;
  TwipsRect rect;
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
inline constexpr Control kLabel1{"Label1", "Zorvik", {105, 0, 4305, 255}};
inline constexpr Control kLabel3{
    "Label3", "DataBase", {150, 285, 795, 255}, "Enter the call sign you want to use."};
inline constexpr Control kMrkd{"mrkd", "", {2700, 300, 465, 240}};
inline constexpr Control kLabel6{"Label6", "QSO's in Queue", {3225, 300, 1215, 240}};
inline constexpr Control kTxtCall{
    "txtCall",
    "",
    {135, 510, 4260, 285},
    "Database to manipulate. Default is DXKeeper's last used. Double-click to select another."};
inline constexpr Control kBillBoard{
    "BillBoard", "", {240, 975, 2520, 1935}, "User messages are displayed here"};
inline constexpr Control kGrpAction{"grpAction", "Action", {3000, 1050, 1320, 1305}};
inline constexpr Control kOptAdd{
    "OptAdd",
    "Add",
    {105, 210, 1170, 540},
    "When checked, will add candidate QSO's to DXKeeper's QSL queue (see Help file for more "
    "info)."};
inline constexpr Control kOptRefresh{"OptRefresh",
                                     "Refresh",
                                     {105, 630, 1170, 330},
                                     "When checked, will cause a refresh of the QSO count."};
inline constexpr Control kOptCleanLog{
    "OptCleanLog",
    "Log Clean",
    {105, 945, 1170, 330},
    "When checked, will clean trash entries from the QSOs table's QSL_Sent and QSL_Rcvd fields "
    "(see Help file for more info)."};
inline constexpr Control kChkOps{
    "chkOps",
    "Incl All Ops",
    {3075, 2565, 1155, 330},
    "When checked, will include all operators in this database (for explaination see Help file)"};
inline constexpr Control kLabel2{"Label2", "From:", {120, 2985, 495, 255}};
inline constexpr Control kLabel4{"Label4", "To:", {1305, 2985, 615, 255}};
inline constexpr Control kCmdOk{"cmdOK", "OK", {3000, 3105, 495, 345}};
inline constexpr Control kHelp{"Help", "Help", {3720, 3105, 495, 330}};
inline constexpr Control kFDate{"fDate", "1/1/1900", {120, 3195, 975, 285}, "QSO start date"};
inline constexpr Control kTDate{"tDate", "12/31/2015", {1305, 3195, 975, 285}, "QSO stop date"};

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
