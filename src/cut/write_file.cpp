#include "cut/whole_file.h"

#include <QtCore/QFile>
#include <QtCore/QSaveFile>
#include <QtCore/QString>

#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace {

QString ToQString(const std::filesystem::path& path)
{
#ifdef _WIN32
    return QString::fromStdU16String(path.u16string());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

// Only a regular file or a new name may be replaced: the temporary file would
// otherwise be renamed over a directory entry, a FIFO or a device node.
bool IsReplaceable(const std::filesystem::path& path)
{
    std::error_code error;
    const auto type = std::filesystem::status(path, error).type();
    return type == std::filesystem::file_type::regular || type == std::filesystem::file_type::not_found;
}

// The save file's own sync at commit ignores failure, so the bytes are made
// to reach the disk here, where a failure can still cancel the save.
bool SyncToDisk(QSaveFile& file)
{
#ifdef Q_OS_UNIX
    int result;
    do
        result = ::fsync(file.handle());
    while (result != 0 && errno == EINTR);
    return result == 0;
#else
    Q_UNUSED(file); // commit's own flush is all there is here
    return true;
#endif
}

} // namespace

bool WriteBytesToFile(const std::filesystem::path& path, std::span<const std::byte> bytes)
{
    if (path.empty() || !IsReplaceable(path))
        return false;

    // Keeps the old file when the folder refuses a temporary file (the default,
    // stated because the fallback would overwrite the old file in place).
    QSaveFile file(ToQString(path));
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;

    // A write that stops short (a full disk, a size limit) reports the bytes it
    // managed and sets no error, and commit would then keep the truncated file.
    const auto size = static_cast<qint64>(bytes.size());
    const bool written = size == 0 || file.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
    const bool ok = written && file.flush() && SyncToDisk(file) && file.error() == QFileDevice::NoError;
    if (!ok)
        file.cancelWriting();
    // After cancelWriting, commit removes the temporary file and fails.
    return file.commit() && ok;
}
