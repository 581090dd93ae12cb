// SPDX-License-Identifier: MIT
// A ChartPainter that writes down every call, with fixed text metrics: 7 pixels per
// character; 15 pixels high (13 for the small font).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "views/chart_painter.h"

namespace nerin::test {

class RecordingPainter : public ChartPainter {
 public:
  static constexpr std::int64_t kCharWidth = 7;

  std::vector<std::string> calls;

  void FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb colour) override {
    calls.push_back("fill " + Numbers({x, y, w, h}) + " " + Colour(colour));
  }
  void Text(std::int64_t x, std::int64_t y, const std::string& text, ChartFont font, Rgb colour,
            std::optional<Rgb> background) override {
    calls.push_back("text " + Numbers({x, y}) + " " + FontName(font) + " " + Colour(colour) + " " +
                    (background ? "on " + Colour(*background) : std::string("transparent")) + " " + text);
  }
  std::int64_t TextWidth(const std::string& text, ChartFont /*font*/) override {
    std::int64_t characters = 0;
    for (const unsigned char c : text) {
      characters += (c & 0xC0) != 0x80 ? 1 : 0;
    }
    return characters * kCharWidth;
  }
  std::int64_t TextHeight(ChartFont font) override { return font == ChartFont::Small ? 13 : 15; }
  void SetClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) override {
    calls.push_back("clip " + Numbers({x, y, w, h}));
  }
  void ClearClip() override { calls.push_back("noclip"); }

 private:
  static std::string Numbers(std::initializer_list<std::int64_t> values) {
    std::string out;
    for (const std::int64_t v : values) {
      out += (out.empty() ? "" : " ") + std::to_string(v);
    }
    return out;
  }
  static std::string Colour(Rgb c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
  }
  static std::string FontName(ChartFont font) {
    switch (font) {
      case ChartFont::Bold:
        return "bold";
      case ChartFont::Small:
        return "small";
      case ChartFont::Text:
        break;
    }
    return "text";
  }
};

}  // namespace nerin::test
