// SPDX-License-Identifier: MIT
// The drawing surface the chart is drawn on: the screen or an off-screen image. Positions are
// drawing pixels, x to the right and y downwards from the top-left corner.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace nerin {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;

  friend constexpr bool operator==(Rgb, Rgb) = default;
};

// The three chart fonts: "Segoe UI" 9 regular, 9 bold and 8 regular, or the default face.
enum class ChartFont { Text, Bold, Small };

class ChartPainter {
 public:
  virtual ~ChartPainter() = default;

  virtual void FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb colour) = 0;
  // (x, y) is the top-left corner of the text. With a background the text cell is filled
  // first (opaque); without one only the glyphs are drawn (transparent).
  virtual void Text(std::int64_t x, std::int64_t y, const std::string& text, ChartFont font, Rgb colour,
                    std::optional<Rgb> background = std::nullopt) = 0;
  virtual std::int64_t TextWidth(const std::string& text, ChartFont font) = 0;
  virtual std::int64_t TextHeight(ChartFont font) = 0;
  virtual void SetClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) = 0;
  virtual void ClearClip() = 0;
};

}  // namespace nerin
