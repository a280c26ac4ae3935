#pragma once

#include "ui/FormDesign.h"

// Where the window's controls sit and in which order Tab visits them, worked out from the form's
// design alone, so both windows (Qt and Win32) place and order them the same.
namespace zorvik::ui {

// A rectangle in pixels.
struct PixelRect {
  int left, top, width, height;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Where `control` sits in the window's client area at `dpi`. The options are placed relative to
// the Action frame that holds them. The form lets each option's box reach into the box of the
// option below (Add's covers the top of Refresh's text); there the option below is the one the
// user sees and clicks, so an option's box ends where the next one begins (its top stays where
// the form puts it, so all of the rest still chooses it).
PixelRect PlaceOf(const design::Control& control, double dpi);

// A frame line at `dpi`: one pixel wide whatever the DPI, as the form's default line width.
PixelRect PlaceOf(const design::Line& line, double dpi);

// The control Tab moves to from `from` (null: from outside the controls), forward or back, by the
// form's tab indexes. Only controls that take the focus count; of the options, only the selected
// one (the first when none is selected yet), so Tab enters and leaves the Action frame in one step.
const design::Control& NextTabStop(const design::Control* from, bool forward,
                                   const design::Control* selectedOption);

}  // namespace zorvik::ui
