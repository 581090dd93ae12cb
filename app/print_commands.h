// SPDX-License-Identifier: MIT
// The chart on paper and as PDF in the window: print, print preview and the PDF export.
#pragma once

class QFileDialog;

namespace nerin {

// When the user picks the other file type in the export's save dialog, the name typed so far
// takes that type's extension.
void FollowChosenFileType(QFileDialog& dialog);

}  // namespace nerin
