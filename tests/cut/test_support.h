#pragma once

// Scratch folders, files and child processes for the file tests.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace cut_test {

namespace fs = std::filesystem;

// A fresh folder (mode 0755, so another user can reach it), removed with
// everything in it at the end.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    [[nodiscard]] const fs::path& path() const { return path_; }
    [[nodiscard]] fs::path operator/(const fs::path& name) const { return path_ / name; }

private:
    fs::path path_;
};

// Bytes that differ from position to position and from seed to seed, so a
// shifted or stale byte shows.
[[nodiscard]] std::byte PatternByte(std::uint32_t index, std::uint32_t seed);
[[nodiscard]] std::vector<std::byte> Pattern(std::size_t size, std::uint32_t seed);

// FNV-1a, so that a child process can report what it read in one line.
[[nodiscard]] std::uint64_t Hash(const std::byte* bytes, std::size_t size);

void WriteFile(const fs::path& path, const std::vector<std::byte>& bytes);
// Read with the standard library, independently of the code under test.
[[nodiscard]] std::vector<std::byte> ReadFile(const fs::path& path);
// The names in a folder, sorted.
[[nodiscard]] std::vector<std::string> Entries(const fs::path& folder);
[[nodiscard]] unsigned ModeOf(const fs::path& path);

struct RunResult {
    int exitCode = -1; // -1 when the child did not exit normally
    std::string output;
};
// Runs a program (found by path or PATH) and collects its standard output.
[[nodiscard]] RunResult Run(const std::vector<std::string>& args);

// The helper program's command line, prefixed so that it runs as the user
// "nobody" when the tests run as root. Empty when that is not possible.
[[nodiscard]] std::vector<std::string> AsUnprivileged(std::vector<std::string> args);
[[nodiscard]] bool IsRoot();

} // namespace cut_test
