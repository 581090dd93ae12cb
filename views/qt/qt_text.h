// SPDX-License-Identifier: MIT
// Text crosses into Qt only here: UTF-8 std::string <-> QString.
#pragma once

#include <string>

#include <QFile>
#include <QString>

namespace nerin {

inline QString ToQString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQString(const QString& text) {
  return text.toUtf8().toStdString();
}

// A chart text as one line: line breaks inside a name or label show as spaces.
inline QString OneLine(const std::string& text) {
  QString line = ToQString(text);
  for (QChar& c : line) {
    if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
      c = u' ';
    }
  }
  return line;
}

// A path as the file system spells it.
inline std::string PathFromQString(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace nerin
