#include "test_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace cut_test {

namespace {

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    void reset()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    [[nodiscard]] int get() const { return fd_; }

private:
    int fd_ = -1;
};

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

[[noreturn]] void Fail(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

TempDir::TempDir()
{
    std::string name = (fs::temp_directory_path() / "zembrot-cut-XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr)
        Fail("mkdtemp");
    path_ = name;
    fs::permissions(path_, fs::perms(0755));
}

TempDir::~TempDir()
{
    // Tests take permissions away; give them back so everything can go.
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(path_, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

std::byte PatternByte(std::uint32_t index, std::uint32_t seed)
{
    std::uint32_t x = ((index + 1) * 2654435761u) ^ (seed * 0x9E3779B9u);
    x ^= x >> 15;
    x *= 0x2C1B3C6Du;
    x ^= x >> 12;
    return static_cast<std::byte>(x >> 24);
}

std::vector<std::byte> Pattern(std::size_t size, std::uint32_t seed)
{
    std::vector<std::byte> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = PatternByte(static_cast<std::uint32_t>(i), seed);
    return bytes;
}

std::uint64_t Hash(const std::byte* bytes, std::size_t size)
{
    std::uint64_t hash = 14695981039346656037u;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ static_cast<std::uint8_t>(bytes[i])) * 1099511628211u;
    return hash;
}

void WriteFile(const fs::path& path, const std::vector<std::byte>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::byte> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> bytes(chars.size());
    std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return static_cast<std::byte>(c); });
    return bytes;
}

std::vector<std::string> Entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

unsigned ModeOf(const fs::path& path)
{
    return static_cast<unsigned>(fs::status(path).permissions()) & 07777u;
}

RunResult Run(const std::vector<std::string>& args)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        Fail("pipe2");
    Fd readEnd(ends[0]);
    Fd writeEnd(ends[1]);

    SpawnActions actions;
    posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), STDOUT_FILENO);
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (const int error = ::posix_spawnp(&pid, argv[0], actions.get(), nullptr, argv.data(), environ); error != 0) {
        errno = error;
        Fail("posix_spawnp " + args.front());
    }
    writeEnd.reset();

    RunResult result;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(readEnd.get(), chunk, sizeof chunk);
        if (n > 0)
            result.output.append(chunk, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool IsRoot() { return ::geteuid() == 0; }

std::vector<std::string> AsUnprivileged(std::vector<std::string> args)
{
    if (!IsRoot())
        return args;
    const std::string runuser = ZEMBROT_RUNUSER;
    if (runuser.empty() || ::getpwnam("nobody") == nullptr)
        return {};
    args.insert(args.begin(), {runuser, "-u", "nobody", "--"});
    return args;
}

} // namespace cut_test
