// SPDX-License-Identifier: MIT
#include "app/text_window.h"

#include <algorithm>

#include <QDialog>
#include <QFontDatabase>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>

#include "app/modal_windows.h"
#include "views/qt/qt_chart_painter.h"
#include "views/qt/qt_text.h"
#include "calendar/narrow.h"

namespace nerin {

namespace {

constexpr TextFont kAllFonts[] = {TextFont::Header, TextFont::Heading, TextFont::Title, TextFont::Body,
                                  TextFont::Key,    TextFont::Note,    TextFont::Small};

// One notch of a mouse wheel, in the eighths of a degree the toolkit reports.
constexpr int kWheelNotch = 120;
// Higher than a line of the largest font; what ends above the surface by more is not drawn.
constexpr std::int64_t kTallestLine = 48;
// The Close button sits in a strip of this height below the surface.
constexpr int kButtonStrip = 52;

QFont TextWindowFace(const QString& family, int points, bool bold) {
  QFont font(family, points, bold ? QFont::Bold : QFont::Normal);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace

const QFont& TextWindowFonts::Of(TextFont font) const {
  switch (font) {
    case TextFont::Header:
      return header;
    case TextFont::Heading:
      return heading;
    case TextFont::Title:
      return title;
    case TextFont::Key:
      return key;
    case TextFont::Note:
      return note;
    case TextFont::Small:
      return small;
    case TextFont::Body:
    default:
      return body;
  }
}

const TextWindowFonts& TextWindowFontSet() {
  // Kept for the rest of the run and never destroyed: a static QFont would be destroyed after
  // the application object, when the toolkit's font machinery is already gone.
  static const TextWindowFonts* fonts = [] {
    const QString family = ViewerFontFamily();
    return new TextWindowFonts{TextWindowFace(family, 14, true), TextWindowFace(family, 13, true),
                               TextWindowFace(family, 18, true), TextWindowFace(family, 11, false),
                               TextWindowFace(family, 11, true), TextWindowFace(family, 10, false),
                               TextWindowFace(family, 9, false)};
  }();
  return *fonts;
}

TextSurfaceWidget::TextSurfaceWidget(const HelpDocument& document, const ToolbarIconSet& icons,
                                     const TextWindowFonts& fonts, QWidget* parent)
    : QWidget(parent), document_(document), icons_(icons), fonts_(fonts) {
  // Every paint covers the whole surface.
  setAttribute(Qt::WA_OpaquePaintEvent);
  for (const TextFont font : kAllFonts) {
    metrics_.emplace_back(fonts_.Of(font));
  }
}

std::int64_t TextSurfaceWidget::TextWidth(const std::string& text, TextFont font) const {
  return metrics_[static_cast<std::size_t>(font)].horizontalAdvance(ToQString(text));
}

const DocumentLayout& TextSurfaceWidget::Layout() {
  if (layoutWidth_ != width()) {
    layoutWidth_ = width();
    layout_ = LayOutDocument(document_.items, layoutWidth_, [this](const std::string& text, TextFont font) {
      return TextWidth(text, font);
    });
    offset_ = std::min(offset_, ScrollLimit(layout_.contentHeight, height()));
  }
  return layout_;
}

std::int64_t TextSurfaceWidget::ContentHeight() {
  return Layout().contentHeight;
}

void TextSurfaceWidget::Replay(QPainter& painter, const std::vector<TextOp>& ops, std::int64_t shift) const {
  for (const TextOp& op : ops) {
    const std::int64_t y = op.y - shift;
    const std::int64_t bottom = y + (op.kind == TextOp::Kind::Text ? kTallestLine : op.h);
    if (y > height() || bottom < 0) {
      continue;
    }
    switch (op.kind) {
      case TextOp::Kind::Fill:
        if (op.w > 0 && op.h > 0) {
          painter.fillRect(NarrowToInt(op.x), NarrowToInt(y), NarrowToInt(op.w), NarrowToInt(op.h),
                           ToQColor(op.colour));
        }
        break;
      case TextOp::Kind::Text: {
        const auto index = static_cast<std::size_t>(op.font);
        painter.setFont(fonts_.Of(op.font));
        painter.setPen(ToQColor(op.colour));
        painter.drawText(QPoint(NarrowToInt(op.x), NarrowToInt(y + metrics_[index].ascent())),
                         ToQString(op.text));
        break;
      }
      case TextOp::Kind::Icon:
        if (op.icon >= 0 && op.icon < static_cast<std::int64_t>(icons_.size())) {
          painter.drawPixmap(QRect(NarrowToInt(op.x), NarrowToInt(y), NarrowToInt(op.w), NarrowToInt(op.h)),
                             icons_[static_cast<std::size_t>(op.icon)]);
        }
        break;
    }
  }
}

void TextSurfaceWidget::paintEvent(QPaintEvent* /*event*/) {
  const DocumentLayout& layout = Layout();
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setClipRect(0, NarrowToInt(TEXT_HEADER_BOTTOM), width(),
                      std::max(height() - NarrowToInt(TEXT_HEADER_BOTTOM), 0));
  Replay(painter, layout.ops, offset_);
  painter.setClipping(false);
  Replay(painter, FrameOps(document_.caption, width(), height(), layout.contentHeight, offset_), 0);
}

void TextSurfaceWidget::wheelEvent(QWheelEvent* event) {
  wheelRemainder_ += event->angleDelta().y();
  const int notches = wheelRemainder_ / kWheelNotch;
  wheelRemainder_ -= notches * kWheelNotch;
  if (notches != 0) {
    const std::int64_t offset = WheelScroll(offset_, notches, ContentHeight(), height());
    if (offset != offset_) {
      offset_ = offset;
      update();
    }
  }
  event->accept();
}

void RunTextWindow(QWidget* parent, const std::string& title, int width, int height,
                   const HelpDocument& document, const ToolbarIconSet& icons) {
  QDialog window(parent,
                 Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  window.setWindowTitle(ToQString(title));
  window.setModal(true);
  // On a screen too small for it the window is smaller and its surface, which scrolls with the
  // wheel, shorter; the Close button stays at the bottom.
  const QRect geometry = FittedGeometry(parent, QSize(width, height));
  width = geometry.width();
  height = geometry.height();
  window.setFixedSize(geometry.size());
  window.setGeometry(geometry);
  auto* surface = new TextSurfaceWidget(document, icons, TextWindowFontSet(), &window);
  surface->setObjectName(QStringLiteral("textSurface"));
  surface->setGeometry(0, 0, width, std::max(height - kButtonStrip, 0));
  auto* close = new QPushButton(QStringLiteral("Close"), &window);
  close->setGeometry(width - 100, height - 42, 88, 30);
  close->setDefault(true);
  close->setFocus();
  QObject::connect(close, &QPushButton::clicked, &window, &QDialog::accept);
  window.exec();
  if (parent != nullptr) {
    parent->activateWindow();
  }
}

}  // namespace nerin
