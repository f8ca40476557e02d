#include "cut/whole_file.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using FileStatus = struct _stat64;
int OpenForReading(const std::filesystem::path& path) { return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT); }
int StatusOf(int fd, FileStatus* status) { return ::_fstat64(fd, status); }
bool IsRegular(const FileStatus& status) { return (status.st_mode & _S_IFMT) == _S_IFREG; }
long long ReadSome(int fd, std::byte* into, std::int32_t n) { return ::_read(fd, into, static_cast<unsigned>(n)); }
void CloseFile(int fd) { ::_close(fd); }
#else
using FileStatus = struct stat;
// O_NONBLOCK so that a FIFO or a device cannot hang the open; it changes
// nothing for a regular file.
int OpenForReading(const std::filesystem::path& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); }
int StatusOf(int fd, FileStatus* status) { return ::fstat(fd, status); }
bool IsRegular(const FileStatus& status) { return S_ISREG(status.st_mode); }
long long ReadSome(int fd, std::byte* into, std::int32_t n) { return ::read(fd, into, static_cast<std::size_t>(n)); }
void CloseFile(int fd) { ::close(fd); }
#endif

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            CloseFile(fd_);
    }
    [[nodiscard]] int get() const noexcept { return fd_; }

private:
    int fd_;
};

} // namespace

ByteBuffer ReadWholeFile(const std::filesystem::path& path)
{
    if (path.empty())
        return {};
    const FileDescriptor file(OpenForReading(path));
    if (file.get() < 0)
        return {};

    FileStatus status{};
    if (StatusOf(file.get(), &status) != 0 || !IsRegular(status))
        return {};
    // The program counts bytes in 32 bits; a larger file is not one it can cut.
    if (status.st_size <= 0 || status.st_size > std::numeric_limits<std::int32_t>::max())
        return {};
    const auto length = static_cast<std::int32_t>(status.st_size);

    // Not enough memory for this file is an ordinary outcome here, not the end.
    ByteBuffer buffer = ByteBuffer::TryAllocate(length);
    if (buffer.empty())
        return {};

    std::int32_t got = 0;
    while (got < length) {
        const long long n = ReadSome(file.get(), buffer.data() + got, length - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // Never pass part of a file off as the whole of it.
            return {};
        }
        if (n == 0)
            break; // the file shrank since fstat
        got += static_cast<std::int32_t>(n);
    }
    buffer.Shrink(got);
    return buffer;
}
