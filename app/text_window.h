// SPDX-License-Identifier: MIT
// The modal window of the Help and About documents: a drawing surface that scrolls with the
// mouse wheel, and a Close button.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QFont>
#include <QFontMetrics>
#include <QWidget>

#include "app/help_items.h"
#include "app/text_layout.h"
#include "app/toolbar_icon_set.h"

namespace nerin {

// "Segoe UI" where it is installed, else the same sizes and weights of the default face.
struct TextWindowFonts {
  QFont header;
  QFont heading;
  QFont title;
  QFont body;
  QFont key;
  QFont note;
  QFont small;

  const QFont& Of(TextFont font) const;
};

// Made on the first call and kept for the rest of the run. Needs a running QApplication.
const TextWindowFonts& TextWindowFontSet();

class TextSurfaceWidget : public QWidget {
 public:
  TextSurfaceWidget(const HelpDocument& document, const ToolbarIconSet& icons, const TextWindowFonts& fonts,
                    QWidget* parent);

  const HelpDocument& Document() const { return document_; }
  std::int64_t Offset() const { return offset_; }
  // The height of the items at the surface's present width.
  std::int64_t ContentHeight();
  std::int64_t TextWidth(const std::string& text, TextFont font) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  const DocumentLayout& Layout();
  void Replay(QPainter& painter, const std::vector<TextOp>& ops, std::int64_t shift) const;

  const HelpDocument& document_;
  const ToolbarIconSet& icons_;
  const TextWindowFonts& fonts_;
  std::vector<QFontMetrics> metrics_;
  DocumentLayout layout_;
  std::int64_t layoutWidth_ = -1;
  std::int64_t offset_ = 0;
  // Wheel turns smaller than a notch (touchpads, fine-grained wheels) add up to whole notches.
  int wheelRemainder_ = 0;
};

// Opens the window, inner size width x height, centred on the screen and not resizable, and
// returns when the user has closed it; the parent takes no input meanwhile and is activated
// again afterwards.
void RunTextWindow(QWidget* parent, const std::string& title, int width, int height,
                   const HelpDocument& document, const ToolbarIconSet& icons);

}  // namespace nerin
