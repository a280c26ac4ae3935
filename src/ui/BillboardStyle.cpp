#include "ui/BillboardStyle.h"

namespace zorvik::ui {

void SetBillboardStyle(MainForm& form, std::int16_t style) {
  switch (style) {
    case kBillboardNormal:
      form.ApplyBillboardLook(
          {.centred = false, .pointSize = 8, .red = 0, .green = 0, .blue = 128});
      break;
    case kBillboardAlert:
      form.ApplyBillboardLook(
          {.centred = true, .pointSize = 11, .red = 192, .green = 0, .blue = 0});
      break;
    default:
      break;
  }
}

}  // namespace zorvik::ui
