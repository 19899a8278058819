// File names and texts between the program's byte strings and Qt's strings: names are the
// file system's bytes, which Qt decodes and encodes with the locale's file name codec.
#pragma once

#include <string>

#include <QFile>
#include <QString>

namespace pixmora {

inline QString FromNative(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

inline std::string ToNative(const QString& text) { return QFile::encodeName(text).toStdString(); }

}  // namespace pixmora
