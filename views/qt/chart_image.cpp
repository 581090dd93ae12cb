// SPDX-License-Identifier: MIT
#include "views/qt/chart_image.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QImage>
#include <QPainter>

#include "model/atomic_file.h"

namespace nerin {

namespace {

// One band of the chart in memory at a time: about this many bytes, so that the tallest chart
// costs no more memory than a short one.
constexpr std::int64_t kBandBytes = std::int64_t{32} << 20;
constexpr std::int64_t kMinBandRows = 64;
constexpr std::int64_t kBytesPerImagePixel = 4;  // RGB32
// Charts are large flat areas of few colours: the fastest deflate level keeps a 30,000-pixel
// chart within seconds and still compresses them well.
constexpr int kZlibLevel = 1;


// libpng reports errors by a long jump: back to the setjmp of the PngRowWriter method that
// called it, which returns false. No message is printed.
[[noreturn]] void JumpOnError(png_structp png, png_const_charp /*message*/) {
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp /*png*/, png_const_charp /*message*/) {}

// The rows of an RGB32 band as 8-bit RGB for libpng. Holds no object with a destructor, so
// that a long jump out of it leaves nothing behind.
void WriteBandRows(png_structp png, const QImage& band, int rows, std::uint8_t* rgb) {
  const int width = band.width();
  for (int y = 0; y < rows; ++y) {
    const auto* pixels = reinterpret_cast<const QRgb*>(band.constScanLine(y));
    std::uint8_t* out = rgb;
    for (int x = 0; x < width; ++x) {
      *out++ = static_cast<std::uint8_t>(qRed(pixels[x]));
      *out++ = static_cast<std::uint8_t>(qGreen(pixels[x]));
      *out++ = static_cast<std::uint8_t>(qBlue(pixels[x]));
    }
    png_write_row(png, rgb);
  }
}

// A libpng write stream of 8-bit RGB rows onto an open file.
class PngRowWriter {
 public:
  explicit PngRowWriter(int width);
  ~PngRowWriter() { png_destroy_write_struct(&png_, &info_); }
  PngRowWriter(const PngRowWriter&) = delete;
  PngRowWriter& operator=(const PngRowWriter&) = delete;

  bool Ready() const { return png_ != nullptr && info_ != nullptr && !rgb_.empty(); }
  bool Begin(std::FILE* file, int height);
  bool WriteBand(const QImage& band, int rows);
  bool End();

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  int width_;
  std::vector<std::uint8_t> rgb_;  // one row
};

PngRowWriter::PngRowWriter(int width) : width_(width) {
  png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
  if (png_ != nullptr) {
    info_ = png_create_info_struct(png_);
  }
  if (width > 0) {
    rgb_.resize(static_cast<std::size_t>(width) * 3);
  }
}

bool PngRowWriter::Begin(std::FILE* file, int height) {
  if (!Ready() || file == nullptr || height <= 0) {
    return false;
  }
  if (setjmp(png_jmpbuf(png_)) != 0) {
    return false;
  }
  png_init_io(png_, file);
  png_set_IHDR(png_, info_, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png_, kZlibLevel);
  png_set_filter(png_, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_write_info(png_, info_);
  return true;
}

bool PngRowWriter::WriteBand(const QImage& band, int rows) {
  if (band.width() != width_ || rows > band.height()) {
    return false;
  }
  if (setjmp(png_jmpbuf(png_)) != 0) {
    return false;
  }
  WriteBandRows(png_, band, rows, rgb_.data());
  return true;
}

bool PngRowWriter::End() {
  if (setjmp(png_jmpbuf(png_)) != 0) {
    return false;
  }
  png_write_end(png_, info_);
  return true;
}

// Rows per band: the caller's choice, or as many as fit the band budget; never more than the
// image has.
int BandRows(std::int64_t width, std::int64_t height, std::int64_t wanted) {
  std::int64_t rows = wanted;
  if (rows <= 0) {
    rows = std::max(kBandBytes / (width * kBytesPerImagePixel), kMinBandRows);
  }
  return static_cast<int>(std::clamp<std::int64_t>(rows, 1, height));
}

// The chart rows top .. top + rows - 1 into the band image; a new painter per band, so that
// no clip or font state leaks from one band into the next.
void DrawBand(QImage& band, const ChartFrame& frame, const ChartFonts& fonts, ChartTextCache& texts, int top,
              int rows) {
  band.fill(Qt::white);
  QPainter painter(&band);
  QtChartPainter chart(painter, fonts, frame.Width, top, rows, &texts);
  DrawChart(chart, frame);
}

// frame.Width and frame.Height lie within 1 .. the cap.
ExportStatus WriteChartPng(const ChartFrame& frame, const ChartFonts& fonts, const std::string& path,
                           const ChartImageOptions& options) {
  const int width = static_cast<int>(frame.Width);
  const int height = static_cast<int>(frame.Height);
  // The file first: a folder that does not exist is reported before any drawing.
  AtomicFile file(path);
  if (file.Stream() == nullptr) {
    return ExportStatus::NotWritten;
  }
  const int bandRows = BandRows(width, height, options.BandHeight);
  QImage band(width, bandRows, QImage::Format_RGB32);
  PngRowWriter png(width);
  if (band.isNull() || !png.Ready()) {
    return ExportStatus::NotCreated;
  }
  if (!png.Begin(file.Stream(), height)) {
    return ExportStatus::NotWritten;
  }
  // The bands of one image share their texts: dates and names repeat across them.
  ChartTextCache texts;
  for (int top = 0; top < height; top += bandRows) {
    const int rows = std::min(bandRows, height - top);
    DrawBand(band, frame, fonts, texts, top, rows);
    if (!png.WriteBand(band, rows)) {
      return ExportStatus::NotWritten;
    }
    if (options.Progress) {
      options.Progress(top + rows, height);
    }
  }
  if (!png.End() || !file.Commit()) {
    return ExportStatus::NotWritten;
  }
  return ExportStatus::Saved;
}

}  // namespace

ExportResult ExportChartFrame(const ChartFrame& frame, const ChartFonts& fonts, const std::string& path,
                              const ChartImageOptions& options) {
  const std::int64_t cap = std::clamp<std::int64_t>(options.MaxSide, 1, MAX_EXPORT_IMAGE_SIDE);
  ExportResult result;
  result.Path = path;
  result.CutOff = frame.Width > cap || frame.Height > cap;
  const ChartFrame capped =
      OutputFrame(frame, ViewArea(frame.view, std::clamp<std::int64_t>(frame.Width, 1, cap),
                                  std::clamp<std::int64_t>(frame.Height, 1, cap)));
  result.Status = WriteChartPng(capped, fonts, path, options);
  return result;
}

ExportResult ExportWholeChart(const ChartFrame& screen, const ChartFonts& fonts, const std::string& path,
                              const ChartImageOptions& options) {
  const std::int64_t cap = std::clamp<std::int64_t>(options.MaxSide, 1, MAX_EXPORT_IMAGE_SIDE);
  const ExportSize size = WholeChartSize(screen.plan, screen.rows, screen.view, cap);
  const ChartFrame frame = OutputFrame(screen, WholeChartArea(size));
  ExportResult result;
  result.Path = path;
  result.CutOff = size.CutOff;
  result.Status = WriteChartPng(frame, fonts, path, options);
  return result;
}

}  // namespace nerin
