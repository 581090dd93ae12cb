// Colours of the chart, indexed by a task's colour group Phase 0..9.
#pragma once

#include <array>

#include "views/chart_painter.h"

namespace nerin {

// The strong colour of a task's bar and marks.
inline constexpr std::array<Rgb, 10> BarPalette = {{
    {0, 184, 169},
    {47, 128, 237},
    {108, 74, 182},
    {255, 107, 53},
    {169, 50, 38},
    {30, 132, 73},
    {97, 106, 107},
    {183, 149, 11},
    {26, 82, 118},
    {110, 47, 26},
}};

// The light tint of the rows of summary tasks.
inline constexpr std::array<Rgb, 10> RowTintPalette = {{
    {209, 242, 235},
    {214, 234, 248},
    {232, 218, 239},
    {250, 229, 211},
    {250, 219, 216},
    {213, 245, 227},
    {234, 237, 237},
    {254, 249, 231},
    {212, 226, 236},
    {253, 235, 208},
}};

inline constexpr Rgb ChartBackground{238, 243, 247};
inline constexpr Rgb ChartBandColour{16, 42, 67};
inline constexpr Rgb ChartWhite{255, 255, 255};

}  // namespace nerin
