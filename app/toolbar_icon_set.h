// SPDX-License-Identifier: MIT
// The toolbar pictures, decoded once at start-up.
#pragma once

#include <array>

#include <QImage>
#include <QPixmap>

#include "resources/toolbar_icons.h"

namespace nerin {

using ToolbarIconSet = std::array<QPixmap, TOOLBAR_ICON_COUNT>;

// An embedded picture as an image of its own; a null image when it does not decode.
QImage DecodeEmbeddedPng(const PngData& png);

// At a display scale of 1.35 or more the 40-pixel pictures are sharper than the 24-pixel ones.
bool UseLargeToolbarIcons(double displayScale);

// Horizontal logical dots per inch of the primary screen / 96, times the scaling the toolkit
// applies on top of that.
double DisplayScaleFactor();

// Decodes all 15 pictures and brings each to 24 x 24 logical pixels; false when any fails.
bool LoadToolbarIcons(double displayScale, ToolbarIconSet& icons);

}  // namespace nerin
