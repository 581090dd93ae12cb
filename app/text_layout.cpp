// SPDX-License-Identifier: MIT
#include "app/text_layout.h"

#include <algorithm>
#include <limits>

namespace nerin {

namespace {

constexpr std::int64_t kBodyLineHeight = 22;
constexpr std::int64_t kNoteLineHeight = 19;
constexpr std::int64_t kSmallLineHeight = 17;
// The least room between the widest name of a run of rows and their descriptions.
constexpr std::int64_t kColumnGap = 14;
// The room kept right of a wrapped description.
constexpr std::int64_t kRightMargin = 32;

// Rows of one sort stand in one table: legend rows of every sample alike.
HelpItemKind RowSort(HelpItemKind kind) {
  return IsLegendRow(kind) ? HelpItemKind::LegendRow : kind;
}
constexpr std::int64_t kHeaderHeight = 46;
constexpr std::int64_t kAccentHeight = 4;
constexpr std::int64_t kThumbWidth = 4;
constexpr std::int64_t kThumbMinimum = 24;
// The content height runs this far past the top of the first item's band...
constexpr std::int64_t kContentBelowItems = 36;

// ...so a document whose items all end on the surface can still count as longer than the
// visible area by up to 14 pixels of margin. Such a document (About) neither scrolls nor
// shows a thumb.
bool ItemsFit(std::int64_t contentHeight, std::int64_t surfaceHeight) {
  return contentHeight + kContentBelowItems <= surfaceHeight;
}

void AddFill(std::vector<TextOp>& ops, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
             Rgb colour) {
  TextOp op;
  op.kind = TextOp::Kind::Fill;
  op.x = x;
  op.y = y;
  op.w = w;
  op.h = h;
  op.colour = colour;
  ops.push_back(op);
}

void AddText(std::vector<TextOp>& ops, std::int64_t x, std::int64_t y, const std::string& text, TextFont font,
             Rgb colour) {
  TextOp op;
  op.kind = TextOp::Kind::Text;
  op.x = x;
  op.y = y;
  op.text = text;
  op.font = font;
  op.colour = colour;
  ops.push_back(op);
}

// Draws the wrapped lines from `top` on; returns the y below the last line.
std::int64_t AddWrapped(std::vector<TextOp>& ops, const std::string& text, std::int64_t x, std::int64_t top,
                        std::int64_t width, std::int64_t lineHeight, TextFont font, Rgb colour,
                        const TextMeasure& measure) {
  std::int64_t y = top;
  for (const std::string& line : WrapText(text, width, font, measure)) {
    AddText(ops, x, y, line, font, colour);
    y += lineHeight;
  }
  return y;
}

// The sample of a legend row, drawn as the chart draws the thing: a link (the line, a thicker bar
// for the driving links of the critical path, and an arrow head pointing right), the thin bar of
// an earlier version's dates, or the mark at the left edge of a changed row.
void AddLegendSample(std::vector<TextOp>& ops, HelpItemKind kind, std::int64_t y, std::int64_t value) {
  const Rgb colour = ColourOfValue(value);
  if (kind == HelpItemKind::BarLegendRow) {
    AddFill(ops, 30, y + 7, 34, 2, colour);
    return;
  }
  if (kind == HelpItemKind::MarkLegendRow) {
    AddFill(ops, 30, y + 1, 4, 16, colour);
    return;
  }
  if (colour == Rgb{255, 0, 0}) {
    AddFill(ops, 30, y + 7, 30, 3, colour);
  } else {
    AddFill(ops, 30, y + 8, 30, 1, colour);
  }
  for (std::int64_t i = 0; i < 4; ++i) {
    AddFill(ops, 60 + i, y + 5 + i, 1, 7 - 2 * i, colour);
  }
}

std::int64_t SaturatingProduct(std::int64_t a, std::int64_t b) {
  std::int64_t product = 0;
  if (__builtin_mul_overflow(a, b, &product)) {
    return (a < 0) == (b < 0) ? std::numeric_limits<std::int64_t>::max()
                              : std::numeric_limits<std::int64_t>::min();
  }
  return product;
}

std::int64_t SaturatingDifference(std::int64_t a, std::int64_t b) {
  std::int64_t difference = 0;
  if (__builtin_sub_overflow(a, b, &difference)) {
    return b < 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
  }
  return difference;
}

}  // namespace

std::vector<std::string> WrapText(const std::string& text, std::int64_t width, TextFont font,
                                  const TextMeasure& measure) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t start = 0;
  while (true) {
    const std::size_t space = text.find(' ', start);
    const std::string word =
        text.substr(start, space == std::string::npos ? std::string::npos : space - start);
    std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && measure(candidate, font) > width) {
      lines.push_back(std::move(line));
      line = word;
    } else {
      line = std::move(candidate);
    }
    if (space == std::string::npos) {
      break;
    }
    start = space + 1;
  }
  if (!line.empty()) {
    lines.push_back(std::move(line));
  }
  return lines;
}

RowColumns ColumnsOf(HelpItemKind kind) {
  switch (RowSort(kind)) {
    case HelpItemKind::KeyRow:
      return {30, 222};
    case HelpItemKind::LegendRow:
      return {78, 122};
    case HelpItemKind::ToolbarRow:
      return {66, 152};
    default:
      return {};
  }
}

std::int64_t DescriptionColumnX(const std::vector<HelpItem>& items, std::size_t first, const TextMeasure& measure) {
  if (first >= items.size()) return 0;
  const HelpItemKind sort = RowSort(items[first].kind);
  const RowColumns columns = ColumnsOf(sort);
  std::int64_t widest = 0;
  for (std::size_t i = first; i < items.size() && RowSort(items[i].kind) == sort; ++i) {
    widest = std::max(widest, measure(items[i].text, TextFont::Key));
  }
  return std::max(columns.DescriptionX, columns.NameX + widest + kColumnGap);
}

std::int64_t LayOutItem(const HelpItem& item, std::int64_t y, std::int64_t surfaceWidth,
                        const TextMeasure& measure, std::vector<TextOp>& ops, std::int64_t descriptionX) {
  const std::int64_t w = surfaceWidth;
  const RowColumns columns = ColumnsOf(item.kind);
  const std::int64_t nameX = columns.NameX;
  const std::int64_t textX = descriptionX > 0 ? descriptionX : columns.DescriptionX;
  switch (item.kind) {
    case HelpItemKind::Heading:
      AddText(ops, 22, y + 10, item.text, TextFont::Heading, TEXT_DARK);
      AddFill(ops, 22, y + 36, w - 44, 1, TEXT_RULE);
      return y + 45;
    case HelpItemKind::Paragraph:
      AddFill(ops, 26, y + 6, 5, 5, TEXT_ACCENT);
      return AddWrapped(ops, item.text, 40, y, w - 72, kBodyLineHeight, TextFont::Body, TEXT_DARK, measure) +
             3;
    case HelpItemKind::KeyRow: {
      AddFill(ops, 22, y - 2, w - 44, 25, TEXT_KEY_BAND);
      AddText(ops, nameX, y, item.text, TextFont::Key, TEXT_DARK);
      const std::int64_t bottom = AddWrapped(ops, item.text2, textX, y, w - textX - kRightMargin, kBodyLineHeight,
                                             TextFont::Body, TEXT_DARK, measure);
      // A description of several lines runs below the band.
      return bottom + 4 >= y + 27 ? bottom + 5 : y + 27;
    }
    case HelpItemKind::Note:
      return AddWrapped(ops, item.text, 22, y + 4, w - 54, kNoteLineHeight, TextFont::Note, TEXT_GREY,
                        measure) +
             2;
    case HelpItemKind::LegendRow:
    case HelpItemKind::BarLegendRow:
    case HelpItemKind::MarkLegendRow: {
      AddLegendSample(ops, item.kind, y, item.value);
      AddText(ops, nameX, y, item.text, TextFont::Key, TEXT_DARK);
      // A description too long for the window's width goes on under itself, in its column.
      const std::int64_t bottom = AddWrapped(ops, item.text2, textX, y, w - textX - kRightMargin, kBodyLineHeight,
                                             TextFont::Body, TEXT_DARK, measure);
      return std::max(y + 25, bottom + 3);
    }
    case HelpItemKind::Title:
      AddText(ops, (w - measure(item.text, TextFont::Title)) / 2, y, item.text, TextFont::Title, TEXT_DARK);
      return y + 40;
    case HelpItemKind::CentredLine:
      AddText(ops, (w - measure(item.text, TextFont::Body)) / 2, y, item.text, TextFont::Body,
              item.value == -1 ? TEXT_DARK : ColourOfValue(item.value));
      return y + 26;
    case HelpItemKind::ToolbarRow: {
      TextOp icon;
      icon.kind = TextOp::Kind::Icon;
      icon.x = 30;
      icon.y = y - 3;
      icon.w = TOOLBAR_ROW_ICON_SIZE;
      icon.h = TOOLBAR_ROW_ICON_SIZE;
      icon.icon = item.value;
      ops.push_back(icon);
      AddText(ops, nameX, y + 3, item.text, TextFont::Key, TEXT_DARK);
      const std::int64_t bottom = AddWrapped(ops, item.text2, textX, y + 3, w - textX - kRightMargin,
                                             kBodyLineHeight, TextFont::Body, TEXT_DARK, measure);
      return std::max(y + 30, bottom + 5);
    }
    case HelpItemKind::SmallNote:
      return AddWrapped(ops, item.text, 22, y + 3, w - 54, kSmallLineHeight, TextFont::Small, TEXT_GREY,
                        measure) +
             2;
    case HelpItemKind::Spacer:
    default:
      return y + 10;
  }
}

DocumentLayout LayOutDocument(const std::vector<HelpItem>& items, std::int64_t surfaceWidth,
                              const TextMeasure& measure) {
  DocumentLayout layout;
  std::int64_t y = TEXT_FIRST_ITEM_Y;
  std::int64_t descriptionX = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    // A run of rows of one sort shares the place of its descriptions.
    if (i == 0 || RowSort(items[i].kind) != RowSort(items[i - 1].kind)) {
      descriptionX = DescriptionColumnX(items, i, measure);
    }
    y = LayOutItem(items[i], y, surfaceWidth, measure, layout.ops, descriptionX);
  }
  layout.contentHeight = y - kContentBelowItems;
  return layout;
}

ScrollThumb ThumbGeometry(std::int64_t surfaceWidth, std::int64_t surfaceHeight, std::int64_t contentHeight,
                          std::int64_t offset) {
  ScrollThumb thumb;
  const std::int64_t visible = surfaceHeight - TEXT_HEADER_BOTTOM;
  if (visible <= 0 || visible >= contentHeight || ItemsFit(contentHeight, surfaceHeight)) {
    return thumb;
  }
  std::int64_t height = visible * visible / contentHeight;
  if (height < kThumbMinimum) {
    height = kThumbMinimum;
  }
  const std::int64_t travel = std::max<std::int64_t>(visible - height, 0);
  const std::int64_t position = std::clamp<std::int64_t>(offset, 0, contentHeight - visible);
  thumb.shown = true;
  thumb.x = surfaceWidth - 7;
  thumb.y = TEXT_HEADER_BOTTOM + travel * position / (contentHeight - visible);
  thumb.w = kThumbWidth;
  thumb.h = height;
  return thumb;
}

std::vector<TextOp> FrameOps(const std::string& caption, std::int64_t surfaceWidth,
                             std::int64_t surfaceHeight, std::int64_t contentHeight, std::int64_t offset) {
  std::vector<TextOp> ops;
  AddFill(ops, 0, 0, surfaceWidth, kHeaderHeight, TEXT_DARK);
  AddFill(ops, 0, kHeaderHeight, surfaceWidth, kAccentHeight, TEXT_ACCENT);
  AddText(ops, 22, 13, caption, TextFont::Header, TEXT_WHITE);
  const ScrollThumb thumb = ThumbGeometry(surfaceWidth, surfaceHeight, contentHeight, offset);
  if (thumb.shown) {
    AddFill(ops, thumb.x, thumb.y, thumb.w, thumb.h, TEXT_RULE);
  }
  return ops;
}

std::int64_t ScrollLimit(std::int64_t contentHeight, std::int64_t surfaceHeight) {
  if (ItemsFit(contentHeight, surfaceHeight)) {
    return 0;
  }
  return std::max<std::int64_t>(contentHeight - surfaceHeight + TEXT_HEADER_BOTTOM, 0);
}

std::int64_t WheelScroll(std::int64_t offset, std::int64_t notches, std::int64_t contentHeight,
                         std::int64_t surfaceHeight) {
  const std::int64_t moved = SaturatingDifference(offset, SaturatingProduct(notches, TEXT_WHEEL_STEP));
  return std::clamp<std::int64_t>(moved, 0, ScrollLimit(contentHeight, surfaceHeight));
}

}  // namespace nerin
