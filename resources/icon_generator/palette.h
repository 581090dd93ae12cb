// SPDX-License-Identifier: MIT
// The product's colours, as the pictures use them.
#pragma once

#include <QColor>

namespace nerin::icons {

inline const QColor kNavy(16, 42, 67);
inline const QColor kTeal(0, 184, 169);
inline const QColor kBlue(47, 128, 237);
inline const QColor kRed(222, 38, 56);
inline const QColor kAmber(255, 224, 150);
inline const QColor kAmberEdge(226, 172, 64);
inline const QColor kTealTint(209, 242, 235);
inline const QColor kWhite(255, 255, 255);
inline const QColor kGrid(199, 213, 224);

}  // namespace nerin::icons
