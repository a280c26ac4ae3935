#include "ui/WindowLayout.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "ui/Twips.h"

namespace zorvik::ui {
namespace {

bool IsOption(const design::Control& control) {
  return control.kind == design::Kind::kOption;
}

bool TakesFocus(const design::Control& control) {
  return control.kind != design::Kind::kLabel && control.kind != design::Kind::kFrame;
}

// The option whose box begins below the top of `option`'s box, nearest first; null for the last.
const design::Control* OptionBelow(const design::Control& option) {
  const design::Control* below = nullptr;
  for (const design::Control* other : design::kOptions) {
    if (other->rect.top > option.rect.top && (!below || other->rect.top < below->rect.top)) {
      below = other;
    }
  }
  return below;
}

}  // namespace

PixelRect PlaceOf(const design::Control& control, double dpi) {
  auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
  const TwipsRect& r = control.rect;
  PixelRect place{px(r.left), px(r.top), px(r.width), px(r.height)};
  if (IsOption(control)) {
    const int frameTop = px(design::kGrpAction.rect.top);
    place.left += px(design::kGrpAction.rect.left);
    place.top += frameTop;
    if (const design::Control* below = OptionBelow(control)) {
      place.height = std::clamp(frameTop + px(below->rect.top) - place.top, 0, place.height);
    }
  }
  return place;
}

PixelRect PlaceOf(const design::Line& line, double dpi) {
  auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
  const int left = px(line.x1);
  const int top = px(line.y1);
  return {left, top, std::max(px(line.x2) - left, 1), std::max(px(line.y2) - top, 1)};
}

const design::Control& NextTabStop(const design::Control* from, bool forward,
                                   const design::Control* selectedOption) {
  const design::Control* const optionStop =
      selectedOption
          ? selectedOption
          : *std::min_element(std::begin(design::kOptions), std::end(design::kOptions),
                              [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
  std::vector<const design::Control*> stops;
  for (const design::Control* control : design::kControls) {
    if (TakesFocus(*control) && (!IsOption(*control) || control == optionStop)) {
      stops.push_back(control);
    }
  }
  std::sort(stops.begin(), stops.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
  if (!from) return forward ? *stops.front() : *stops.back();
  // The stop after (or before) `from`'s place in the order, which need not be a stop itself.
  if (forward) {
    const auto next = std::find_if(stops.begin(), stops.end(),
                                   [from](auto* stop) { return stop->tabIndex > from->tabIndex; });
    return next != stops.end() ? **next : *stops.front();
  }
  const auto previous = std::find_if(
      stops.rbegin(), stops.rend(), [from](auto* stop) { return stop->tabIndex < from->tabIndex; });
  return previous != stops.rend() ? **previous : *stops.back();
}

}  // namespace zorvik::ui
