// SPDX-License-Identifier: MIT
#include "views/qt/qt_chart_painter.h"

#include <algorithm>
#include <cstdint>

#include <QFontDatabase>
#include <QPaintDevice>

#include "calendar/narrow.h"
#include "views/qt/qt_text.h"

namespace nerin {

namespace {

// Texts of one font kept in the newer generation of the cache before it is turned over, and
// the most bytes of images it holds.
constexpr std::size_t kCacheGeneration = 2048;
constexpr std::size_t kCacheGenerationBytes = std::size_t{6} << 20;
constexpr int kMaxSpriteWidth = 16384;

QFont ChartFontFace(const QString& family, int points, bool bold) {
  QFont font(family, points, bold ? QFont::Bold : QFont::Normal);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

std::size_t FontSlot(ChartFont font) {
  switch (font) {
    case ChartFont::Bold:
      return 1;
    case ChartFont::Small:
      return 2;
    case ChartFont::Text:
      break;
  }
  return 0;
}

// The smallest rectangle holding every pixel of the image that is not fully transparent.
QRect InkedArea(const QImage& image) {
  int left = image.width();
  int right = -1;
  int top = image.height();
  int bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(line[x]) != 0) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

QString ViewerFontFamily() {
  const QString family = QStringLiteral("Segoe UI");
  if (QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
    return family;
  }
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

ChartFonts LoadChartFonts() {
  const QString family = ViewerFontFamily();
  return ChartFonts{ChartFontFace(family, 9, false), ChartFontFace(family, 9, true),
                    ChartFontFace(family, 8, false)};
}

void ChartTextCache::Prepare(const ChartFonts& fonts, int dotsPerInch, qreal pixelRatio) {
  const std::array<QFont, 3> faces = {fonts.text, fonts.bold, fonts.small};
  if (faces == faces_ && dotsPerInch == dotsPerInch_ && pixelRatio == pixelRatio_) {
    return;
  }
  faces_ = faces;
  dotsPerInch_ = dotsPerInch;
  pixelRatio_ = pixelRatio;
  for (std::size_t i = 0; i < recent_.size(); ++i) {
    recent_[i].clear();
    older_[i].clear();
    recentBytes_[i] = 0;
  }
}

ChartTextCache::Entry& ChartTextCache::Find(const std::string& text, ChartFont font,
                                            const QFontMetrics& metrics) {
  const std::size_t slot = FontSlot(font);
  Map& recent = recent_[slot];
  if (const auto found = recent.find(text); found != recent.end()) {
    return found->second;
  }
  Map& older = older_[slot];
  auto kept = older.extract(text);
  if (recent.size() >= kCacheGeneration || recentBytes_[slot] >= kCacheGenerationBytes) {
    older = std::move(recent);
    recent.clear();
    recentBytes_[slot] = 0;
  }
  if (kept) {
    for (const Sprite& sprite : kept.mapped().sprites) {
      recentBytes_[slot] += static_cast<std::size_t>(sprite.image.sizeInBytes());
    }
    return recent.insert(std::move(kept)).position->second;
  }
  Entry entry;
  entry.line = OneLine(text);
  entry.width = metrics.horizontalAdvance(entry.line);
  return recent.emplace(text, std::move(entry)).first->second;
}

const ChartTextCache::Sprite& ChartTextCache::SpriteOf(Entry& entry, ChartFont font, const QFont& face,
                                                       const QFontMetrics& metrics, QRgb colour) {
  for (const Sprite& sprite : entry.sprites) {
    if (sprite.colour == colour) {
      return sprite;
    }
  }
  const qreal ratio = pixelRatio_ > 0 ? pixelRatio_ : 1.0;
  // Of a text longer than any chart is wide only the beginning can ever show.
  const QSize size(std::min(entry.width, kMaxSpriteWidth) + 2 * GLYPH_MARGIN,
                   metrics.height() + 2 * GLYPH_MARGIN);
  QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  if (dotsPerInch_ > 0) {
    // The glyphs at the size they have on the surface the text was measured for.
    const int dotsPerMetre = qRound(dotsPerInch_ / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
  }
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setFont(face);
    painter.setPen(QColor::fromRgb(colour));
    painter.drawText(QPointF(GLYPH_MARGIN, GLYPH_MARGIN + metrics.ascent()), entry.line);
  }
  // Only the inked part is kept: the rest would be blended for nothing on every draw.
  QPoint offset(-GLYPH_MARGIN, -GLYPH_MARGIN);
  if (ratio == 1.0) {
    const QRect ink = InkedArea(image);
    // A text of blanks leaves no image at all (copying an empty rectangle would copy all).
    image = ink.isEmpty() ? QImage() : image.copy(ink);
    offset += ink.topLeft();
  }
  recentBytes_[FontSlot(font)] += static_cast<std::size_t>(image.sizeInBytes());
  entry.sprites.push_back(Sprite{colour, std::move(image), offset});
  return entry.sprites.back();
}

QtChartPainter::QtChartPainter(QPainter& painter, const ChartFonts& fonts, std::int64_t w, std::int64_t h,
                               ChartTextCache* cache)
    : painter_(painter),
      fonts_(fonts),
      ownCache_(cache == nullptr ? std::make_unique<ChartTextCache>() : nullptr),
      cache_(cache == nullptr ? ownCache_.get() : cache),
      textMetrics_(fonts.text, painter.device()),
      boldMetrics_(fonts.bold, painter.device()),
      smallMetrics_(fonts.small, painter.device()),
      width_(w),
      bandHeight_(h) {
  const QPaintDevice* device = painter.device();
  cache_->Prepare(fonts, device != nullptr ? device->logicalDpiY() : 0,
                  device != nullptr ? device->devicePixelRatio() : 1.0);
  // Every rectangle and text is cut to the clip here, so the QPainter itself clips nothing.
  painter_.setClipping(false);
  ClearClip();
  FindPixels();
}

QtChartPainter::QtChartPainter(QPainter& painter, const ChartFonts& fonts, std::int64_t w,
                               std::int64_t bandTop, std::int64_t bandHeight, ChartTextCache* cache)
    : QtChartPainter(painter, fonts, w, bandHeight, cache) {
  bandTop_ = bandTop;
}

const QFont& QtChartPainter::FontOf(ChartFont font) const {
  return ForChartFont(font, fonts_.text, fonts_.bold, fonts_.small);
}

const QFontMetrics& QtChartPainter::MetricsOf(ChartFont font) const {
  return ForChartFont(font, textMetrics_, boldMetrics_, smallMetrics_);
}

QtChartPainter::Box QtChartPainter::Visible(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                                            int grow) const {
  if (w <= 0 || h <= 0) {
    return Box{};
  }
  // In 128 bits, so that rectangles of any size and place are cut without wrapping; what is
  // left lies within the clip, an int rectangle, or is empty.
  const __int128 left = std::max<__int128>(static_cast<__int128>(x) - grow, clip_.x0);
  const __int128 top = std::max<__int128>(static_cast<__int128>(y) - bandTop_ - grow, clip_.y0);
  const __int128 right = std::min<__int128>(static_cast<__int128>(x) - grow + w + 2 * grow, clip_.x1);
  const __int128 bottom =
      std::min<__int128>(static_cast<__int128>(y) - bandTop_ - grow + h + 2 * grow, clip_.y1);
  if (right <= left || bottom <= top) return Box{};
  return Box{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
             static_cast<int>(bottom)};
}

void QtChartPainter::FillRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Rgb colour) {
  const Box box = Visible(x, y, w, h);
  if (box.Empty()) {
    return;
  }
  // The toolkit fills wide rows fastest; thin lines, one call per pixel row there, are written
  // here.
  constexpr int kThinFill = 16;
  if (pixels_ == nullptr || box.x1 - box.x0 > kThinFill) {
    painter_.fillRect(QRect(box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0), ToQColor(colour));
    return;
  }
  const quint32 pixel = qRgb(colour.r, colour.g, colour.b);
  uchar* line = pixels_ + static_cast<qsizetype>(box.y0) * bytesPerLine_ + static_cast<qsizetype>(box.x0) * 4;
  const int width = box.x1 - box.x0;
  // Each row of a tall line is a cache line of its own, far from the last one: ask for the
  // rows some way ahead so that the writes do not wait on memory one by one (a prefetch past
  // the image's end is only a hint, never a fault).
  const qsizetype ahead = 8 * bytesPerLine_;
  uchar* const end = line + static_cast<qsizetype>(box.y1 - box.y0) * bytesPerLine_;
  if (width == 1) {
    // The grid and the outlines: most thin fills are one pixel wide.
    for (; line != end; line += bytesPerLine_) {
      __builtin_prefetch(line + ahead, 1);
      *reinterpret_cast<quint32*>(line) = pixel;
    }
    return;
  }
  for (; line != end; line += bytesPerLine_) {
    __builtin_prefetch(line + ahead, 1);
    quint32* pixels = reinterpret_cast<quint32*>(line);
    for (int x = 0; x < width; ++x) pixels[x] = pixel;
  }
}

void QtChartPainter::FindPixels() {
  // An opaque fill of a 32-bit image that the painter neither moves nor scales is a plain
  // write of its pixels: far quicker than the toolkit for the many thin lines of a chart.
  QPaintDevice* device = painter_.device();
  if (device == nullptr || device->devType() != QInternal::Image || !painter_.isActive() ||
      painter_.deviceTransform().type() != QTransform::TxNone || painter_.opacity() != 1.0 ||
      painter_.compositionMode() != QPainter::CompositionMode_SourceOver) {
    return;
  }
  const QImage& image = *static_cast<QImage*>(device);
  const QImage::Format format = image.format();
  if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
       format != QImage::Format_ARGB32_Premultiplied) ||
      image.devicePixelRatio() != 1.0 || NarrowToInt(width_) > image.width() ||
      NarrowToInt(bandHeight_) > image.height()) {
    return;
  }
  // The buffer the painter draws into; asking for writable bits could detach a copy instead.
  pixels_ = const_cast<uchar*>(image.constBits());
  bytesPerLine_ = image.bytesPerLine();
}

void QtChartPainter::Text(std::int64_t x, std::int64_t y, const std::string& text, ChartFont font, Rgb colour,
                          std::optional<Rgb> background) {
  if (text.empty()) {
    return;
  }
  constexpr int margin = ChartTextCache::GLYPH_MARGIN;
  const QFontMetrics& metrics = MetricsOf(font);
  ChartTextCache::Entry& entry = cache_->Find(text, font, metrics);
  const int height = metrics.height();
  const Box box = Visible(x, y, entry.width, height, margin);
  if (box.Empty()) {
    return;
  }
  if (background) {
    FillRect(x, y, entry.width, height, *background);
  }
  const ChartTextCache::Sprite& sprite =
      cache_->SpriteOf(entry, font, FontOf(font), metrics, qRgb(colour.r, colour.g, colour.b));
  const qreal ratio = sprite.image.devicePixelRatio();
  const QSize size = sprite.image.size() / ratio;
  // The part of the image inside the clip, and where it lies in the image.
  const Box part = Visible(x + sprite.offset.x(), y + sprite.offset.y(), size.width(), size.height());
  if (part.Empty()) {
    return;
  }
  const QRect target(part.x0, part.y0, part.x1 - part.x0, part.y1 - part.y0);
  const int left = static_cast<int>(part.x0 - (x + sprite.offset.x()));
  const int top = static_cast<int>(part.y0 - (y - bandTop_ + sprite.offset.y()));
  if (ratio == 1.0) {
    painter_.drawImage(target.topLeft(), sprite.image, QRect(left, top, target.width(), target.height()));
  } else {
    painter_.drawImage(QRectF(target), sprite.image,
                       QRectF(left * ratio, top * ratio, target.width() * ratio, target.height() * ratio));
  }
}

std::int64_t QtChartPainter::TextWidth(const std::string& text, ChartFont font) {
  if (text.empty()) {
    return 0;
  }
  return cache_->Find(text, font, MetricsOf(font)).width;
}

std::int64_t QtChartPainter::TextHeight(ChartFont font) {
  return MetricsOf(font).height();
}

void QtChartPainter::SetClip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
  ClearClip();
  clip_ = Visible(x, y, w, h);
  if (clip_.Empty()) {
    clip_ = Box{};  // shows nothing
  }
}

void QtChartPainter::ClearClip() {
  clip_ = Box{0, 0, NarrowToInt(width_), NarrowToInt(bandHeight_)};
}

QImage RenderChartImage(const ChartFonts& fonts, int w, int h, const ChartDrawFunction& draw) {
  QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QtChartPainter chart(painter, fonts, w, h);
  draw(chart, w, h);
  return image;
}

}  // namespace nerin
