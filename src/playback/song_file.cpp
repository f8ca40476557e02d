#include "playback/song_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using StatBuffer = struct _stat64;
int OpenReadOnly(const std::filesystem::path& path) { return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT); }
int CloseDescriptor(int fd) { return ::_close(fd); }
int StatDescriptor(int fd, StatBuffer* st) { return ::_fstat64(fd, st); }
int StatPath(const std::filesystem::path& path, StatBuffer* st) { return ::_wstat64(path.c_str(), st); }
bool IsRegular(const StatBuffer& st) { return (st.st_mode & _S_IFMT) == _S_IFREG; }
#else
using StatBuffer = struct stat;
int OpenReadOnly(const std::filesystem::path& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }
int CloseDescriptor(int fd) { return ::close(fd); }
int StatDescriptor(int fd, StatBuffer* st) { return ::fstat(fd, st); }
int StatPath(const std::filesystem::path& path, StatBuffer* st) { return ::stat(path.c_str(), st); }
bool IsRegular(const StatBuffer& st) { return S_ISREG(st.st_mode); }
#endif

FileIdentity IdentityFrom(const StatBuffer& st)
{
    return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
}

} // namespace

FileDescriptor::~FileDescriptor()
{
    if (fd_ >= 0) {
        CloseDescriptor(fd_);
    }
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        FileDescriptor old(std::exchange(fd_, std::exchange(other.fd_, -1)));
    }
    return *this;
}

FileDescriptor OpenForReading(const std::filesystem::path& path)
{
    return FileDescriptor(OpenReadOnly(path));
}

std::optional<FileIdentity> RegularFileIdentity(const FileDescriptor& file)
{
    StatBuffer st{};
    if (!file.IsOpen() || StatDescriptor(file.Get(), &st) != 0 || !IsRegular(st)) {
        return std::nullopt;
    }
    return IdentityFrom(st);
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path)
{
    StatBuffer st{};
    if (StatPath(path, &st) != 0) {
        return std::nullopt;
    }
    return IdentityFrom(st);
}
