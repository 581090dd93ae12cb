// SPDX-License-Identifier: MIT
// File names in paths: the one splitter of a path into folder and name, and the one rule that
// turns a project's name into a file name the dialogs propose.
#pragma once

#include <string>
#include <string_view>

namespace nerin {

// The text after the last '/' or '\' (the whole path when it has neither).
std::string_view PathNamePart(std::string_view path);
// The name with every character that a file name cannot hold on the systems a plan travels
// between (\ / : * ? " < > |) replaced by '_'; the fallback when only spaces remain.
std::string SafeFileName(std::string_view name, std::string_view fallback);

}  // namespace nerin
