// SPDX-License-Identifier: MIT
#include "resources/icon_generator/palette.h"
#include "resources/icon_generator/pictures.h"

namespace nerin::icons {

// A small Gantt chart on the navy of the title band: three phase bars linked finish to start and
// the red milestone that ends the critical chain. The links are left out where they would blur.
void DrawProgramPicture(IconCanvas& c) {
  const bool detailed = c.Pixels() >= 48;
  c.FillRoundRect(1, 1, 63, 63, 12, kNavy);
  if (detailed) {
    const double w = c.Weight(2);
    c.Stroke(c.StrokePath({{32, 15}, {37, 15}, {37, 23}}, w, false), kGrid, w);
    c.Stroke(c.StrokePath({{42, 27}, {47, 27}, {47, 35}}, w, false), kGrid, w);
    c.Stroke(c.StrokePath({{48, 39}, {52, 39}, {52, 44}}, w, false), kGrid, w);
  }
  // Square bar ends at 16 pixels, where a rounded corner is only a darker pixel.
  const double corner = c.Pixels() >= 32 ? 2 : 0;
  c.FillRoundRect(10, 11, 32, 19, corner, kTeal);
  c.FillRoundRect(20, 23, 42, 31, corner, kBlue);
  c.FillRoundRect(30, 35, 48, 43, corner, kTeal);
  const double r = detailed ? 6.5 : 8;
  c.Fill(c.FillPath({{52, 51 - r}, {52 + r, 51}, {52, 51 + r}, {52 - r, 51}}), kRed);
}

}  // namespace nerin::icons
