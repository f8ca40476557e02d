#pragma once

#include <QFile>
#include <QString>

#include <filesystem>

// A path from a text box as the system expects it: UTF-16 on Windows, the
// file-name encoding (UTF-8) elsewhere.
[[nodiscard]] inline std::filesystem::path ToFsPath(const QString& path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}
