// SPDX-License-Identifier: MIT
// Whole-output comparison against an expected file. On a mismatch the actual output is
// written beside the expected file as NAME.actual and `diff -u` is shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace nerin::test {

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// Set NERIN_UPDATE_GOLDEN=1 to rewrite the expected files from the actual output.
inline ::testing::AssertionResult MatchesGolden(const std::string& expectedPath, const std::string& actual) {
  if (const char* update = std::getenv("NERIN_UPDATE_GOLDEN"); update && std::string(update) == "1") {
    WriteWholeFile(expectedPath, actual);
    return ::testing::AssertionSuccess();
  }
  const std::string expected = ReadWholeFile(expectedPath);
  const std::string actualPath = expectedPath + ".actual";
  if (expected == actual) {
    std::remove(actualPath.c_str());
    return ::testing::AssertionSuccess();
  }
  WriteWholeFile(actualPath, actual);
  std::string diff;
  const std::string command = "diff -u '" + expectedPath + "' '" + actualPath + "' 2>&1 | head -60";
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) diff += buffer;
    pclose(pipe);
  }
  return ::testing::AssertionFailure() << "output differs from " << expectedPath << "\n" << diff;
}

}  // namespace nerin::test
