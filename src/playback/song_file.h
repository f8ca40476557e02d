#pragma once

#include <filesystem>
#include <optional>
#include <utility>

// Which file on which device: two paths name the same file when these match.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Owns a read-only file descriptor and closes it once.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int Get() const { return fd_; }
    [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Opens path for reading; closed (IsOpen() false) on failure.
[[nodiscard]] FileDescriptor OpenForReading(const std::filesystem::path& path);

// The identity of an open descriptor, or nothing when it is not a regular file.
[[nodiscard]] std::optional<FileIdentity> RegularFileIdentity(const FileDescriptor& file);

// The identity of the file path names, following links; nothing when it cannot be read.
[[nodiscard]] std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path);
