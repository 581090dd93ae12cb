// SPDX-License-Identifier: MIT
// The toolbar pictures, decoded once at start-up.
#pragma once

#include <array>

#include <QImage>
#include <QPixmap>

#include "resources/toolbar_icons.h"

namespace nerin {

using ToolbarIconSet = std::array<QPixmap, TOOLBAR_ICON_COUNT>;

inline constexpr int ICON_OPEN = 0;
inline constexpr int ICON_ZOOM_OUT = 1;
inline constexpr int ICON_ZOOM_IN = 2;
inline constexpr int ICON_FIT = 3;
inline constexpr int ICON_FIND = 4;
inline constexpr int ICON_TODAY = 5;
inline constexpr int ICON_CRITICAL = 6;
inline constexpr int ICON_COLLAPSE = 7;
inline constexpr int ICON_EXPAND = 8;
inline constexpr int ICON_EXPORT = 9;
inline constexpr int ICON_HELP = 10;
inline constexpr int ICON_ABOUT = 11;
inline constexpr int ICON_FIND_FEEDBACK = 12;
inline constexpr int ICON_TODAY_FEEDBACK = 13;
inline constexpr int ICON_EXPORT_FEEDBACK = 14;
inline constexpr int ICON_COMPARE = 15;

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
