#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/view.h"

namespace tarn {

// What the paint draws, in client pixels; the front end implements it.
struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kDarkYellow{176, 128, 0};  // turned over, on the white background
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kMagenta{255, 0, 255};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void fill(Rgb colour) = 0;
  virtual void line(ScreenPoint from, ScreenPoint to, Rgb colour, int width, bool dashed) = 0;
  virtual void pixel(ScreenPoint at, Rgb colour) = 0;
};

// The whole client area: background, plate, parts at their working copies,
// optional working outlines and free packing points, the mode's overlay.
void paintState(const AppState& state, Canvas& canvas);

}  // namespace tarn
