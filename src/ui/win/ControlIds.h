#pragma once

// The control numbers of the Win32 window Main, one per designed control (GetDlgItem finds a
// control by its number). The three options are consecutive, as CheckRadioButton needs.
namespace zorvik::ui::win {

enum ControlId : int {
  kIdLabel1 = 101,
  kIdLabel3,
  kIdMrkd,
  kIdLabel6,
  kIdTxtCall,
  kIdBillBoard,
  kIdGrpAction,
  kIdOptAdd,
  kIdOptRefresh,
  kIdOptCleanLog,
  kIdChkOps,
  kIdLabel2,
  kIdLabel4,
  kIdCmdOk,
  kIdHelp,
  kIdFDate,
  kIdTDate,
};

}  // namespace zorvik::ui::win
