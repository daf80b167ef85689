#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace vortimax::ui {

// The core's texts are 8-bit bytes (Latin-1 where they are not ASCII).
inline QString toQString(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString& text) {
    return text.toLatin1().toStdString();
}

// Paths go through the local 8-bit encoding of the file system.
inline std::filesystem::path toPath(const QString& path) {
    return std::filesystem::path(path.toLocal8Bit().toStdString());
}

inline QString fromPath(const std::filesystem::path& path) {
    return QString::fromLocal8Bit(path.string().c_str());
}

} // namespace vortimax::ui
