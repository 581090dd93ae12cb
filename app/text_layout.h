// SPDX-License-Identifier: MIT
// The layout of the Help and About windows: word wrap, the place of every item, the header,
// the scroll thumb and the wheel. Positions are pixels of the window's drawing surface; text is
// measured by the caller, so none of this needs Qt or a window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/help_items.h"
#include "views/chart_colours.h"

namespace nerin {

// The fonts of the text window: header 14 bold, heading 13 bold, title 18 bold, body 11,
// key 11 bold, note 10 and small 9 points.
enum class TextFont { Header, Heading, Title, Body, Key, Note, Small };

// The header band and its accent line take the top 50 pixels; the items scroll below them.
inline constexpr std::int64_t TEXT_HEADER_BOTTOM = 50;
inline constexpr std::int64_t TEXT_FIRST_ITEM_Y = 62;
inline constexpr std::int64_t TEXT_WHEEL_STEP = 54;
inline constexpr std::int64_t TOOLBAR_ROW_ICON_SIZE = 24;

// The rows that pair a name with a description (key rows, legend rows, toolbar rows) stand in
// two columns. The description starts at its usual place, or further right when a name of the
// run of rows of that sort reaches into it, so that every description of the run starts at the
// same place and none touches its name.
struct RowColumns {
  std::int64_t NameX = 0;
  std::int64_t DescriptionX = 0;  // where it usually starts
};
// The columns of an item of that kind; both 0 for a kind without a description column.
RowColumns ColumnsOf(HelpItemKind kind);

// One drawing step. Fill: the rectangle x, y, w x h. Text: `text` with its top-left corner at
// x, y, with a transparent background. Icon: toolbar picture `icon` in the square x, y, w x h.
struct TextOp {
  enum class Kind { Fill, Text, Icon };
  Kind kind = Kind::Fill;
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::int64_t w = 0;
  std::int64_t h = 0;
  std::string text;
  TextFont font = TextFont::Body;
  Rgb colour;
  std::int64_t icon = -1;

  friend bool operator==(const TextOp&, const TextOp&) = default;
};

// The width in pixels of a text in one of the fonts.
using TextMeasure = std::function<std::int64_t(const std::string& text, TextFont font)>;

// The lines of a text wrapped at single spaces to `width`. A word wider than the width stands
// alone on its line and is never broken; an empty text gives no line.
std::vector<std::string> WrapText(const std::string& text, std::int64_t width, TextFont font,
                                  const TextMeasure& measure);

// Appends the drawing of one item whose running top is y on a surface `surfaceWidth` wide;
// returns the running top of the next item. The description of a key, legend or toolbar row
// starts at `descriptionX`; 0 takes the usual place of its kind.
std::int64_t LayOutItem(const HelpItem& item, std::int64_t y, std::int64_t surfaceWidth,
                        const TextMeasure& measure, std::vector<TextOp>& ops, std::int64_t descriptionX = 0);

// Where the descriptions of the run of rows of one sort starting at `first` begin.
std::int64_t DescriptionColumnX(const std::vector<HelpItem>& items, std::size_t first, const TextMeasure& measure);

// The items laid out from the top, at scroll offset 0, and the height of the content.
struct DocumentLayout {
  std::vector<TextOp> ops;
  std::int64_t contentHeight = 0;
};
DocumentLayout LayOutDocument(const std::vector<HelpItem>& items, std::int64_t surfaceWidth,
                              const TextMeasure& measure);

// The scroll thumb on the right edge; absent when the content fits, and when all the items end
// on the surface.
struct ScrollThumb {
  bool shown = false;
  std::int64_t x = 0;
  std::int64_t y = 0;
  std::int64_t w = 0;
  std::int64_t h = 0;
};
ScrollThumb ThumbGeometry(std::int64_t surfaceWidth, std::int64_t surfaceHeight, std::int64_t contentHeight,
                          std::int64_t offset);

// What is drawn over the items: the header band with its caption and the scroll thumb.
std::vector<TextOp> FrameOps(const std::string& caption, std::int64_t surfaceWidth,
                             std::int64_t surfaceHeight, std::int64_t contentHeight, std::int64_t offset);

// The largest scroll offset: the end of the content just above the bottom of the surface; 0
// when all the items end on the surface at offset 0.
std::int64_t ScrollLimit(std::int64_t contentHeight, std::int64_t surfaceHeight);

// The offset after turning the wheel by `notches` (positive away from the user, which scrolls
// up), kept within 0 .. ScrollLimit.
std::int64_t WheelScroll(std::int64_t offset, std::int64_t notches, std::int64_t contentHeight,
                         std::int64_t surfaceHeight);

}  // namespace nerin
