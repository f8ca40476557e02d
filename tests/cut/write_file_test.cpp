#include "cut/whole_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using cut_test::Entries;
using cut_test::ReadFile;
using cut_test::TempDir;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class Umask {
public:
    explicit Umask(mode_t mask) : old_(::umask(mask)) {}
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;
    ~Umask() { ::umask(old_); }

private:
    mode_t old_;
};

TEST(WriteBytesToFile, WritesExactlyTheBytesAndLeavesNoTemporaryFile)
{
    const auto bytes = cut_test::Pattern(100'000, 2);
    const struct {
        const char* name;
        std::vector<std::byte> old; // empty: no file before
        std::vector<std::byte> next;
    } cases[] = {
        {"new file", {}, bytes},
        {"replaces a longer file", cut_test::Pattern(300'000, 9), bytes},
        {"replaces a shorter file", cut_test::Pattern(10, 9), bytes},
        {"empty cut", cut_test::Pattern(10, 9), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path target = dir / "cut.mp3";
        if (!c.old.empty())
            cut_test::WriteFile(target, c.old);
        EXPECT_TRUE(WriteBytesToFile(target, c.next));
        EXPECT_EQ(ReadFile(target), c.next);
        EXPECT_EQ(Entries(dir.path()), Names{"cut.mp3"});
    }
}

TEST(WriteBytesToFile, ReplacedFileKeepsItsMode)
{
    const Umask mask(022); // so a mode that survives was set, not merely created
    for (const unsigned mode : {0640u, 0666u, 0604u, 0700u}) {
        TempDir dir;
        const fs::path target = dir / "cut.mp3";
        cut_test::WriteFile(target, cut_test::Pattern(50, 1));
        fs::permissions(target, fs::perms(mode));
        EXPECT_TRUE(WriteBytesToFile(target, cut_test::Pattern(70, 2)));
        EXPECT_EQ(cut_test::ModeOf(target), mode) << std::oct << mode;
    }
    TempDir dir;
    EXPECT_TRUE(WriteBytesToFile(dir / "new.mp3", cut_test::Pattern(70, 2)));
    EXPECT_EQ(cut_test::ModeOf(dir / "new.mp3"), 0644u) << "a new file gets 0666 less the umask";
}

TEST(WriteBytesToFile, SymbolicLinkStaysALinkToTheUpdatedFile)
{
    const auto bytes = cut_test::Pattern(5000, 4);
    const struct {
        const char* name;
        fs::path linkTarget; // relative to the link's folder unless absolute
        bool otherFolder;
    } cases[] = {
        {"relative link", "song.mp3", false},
        {"absolute link into another folder", "", true},
        {"link to a link", "middle.mp3", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        TempDir other;
        const fs::path real = c.otherFolder ? other / "song.mp3" : dir / "song.mp3";
        cut_test::WriteFile(real, cut_test::Pattern(9000, 8));
        fs::path pointsTo = c.otherFolder ? real : c.linkTarget;
        if (c.linkTarget == "middle.mp3")
            fs::create_symlink("song.mp3", dir / "middle.mp3");
        fs::create_symlink(pointsTo, dir / "link.mp3");
        const Names before = Entries(dir.path());

        EXPECT_TRUE(WriteBytesToFile(dir / "link.mp3", bytes));
        EXPECT_TRUE(fs::is_symlink(dir / "link.mp3"));
        EXPECT_EQ(fs::read_symlink(dir / "link.mp3"), pointsTo);
        EXPECT_EQ(ReadFile(real), bytes);
        EXPECT_EQ(Entries(dir.path()), before);
        EXPECT_EQ(Entries(other.path()), c.otherFolder ? Names{"song.mp3"} : Names{});
    }
}

TEST(WriteBytesToFile, RefusesWhatIsNotARegularFile)
{
    const auto bytes = cut_test::Pattern(100, 4);
    EXPECT_FALSE(WriteBytesToFile({}, bytes)) << "empty path";

    TempDir dir;
    fs::create_directory(dir / "folder");
    cut_test::WriteFile(dir / "folder" / "inside", bytes);
    fs::create_symlink("folder", dir / "folder-link");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    struct Case {
        fs::path target;
        fs::file_type type;
    };
    std::vector<Case> cases = {
        {dir / "folder", fs::file_type::directory},
        {dir / "folder-link", fs::file_type::directory},
        {dir / "fifo", fs::file_type::fifo},
        {dir / "no-such-folder" / "cut.mp3", fs::file_type::not_found},
    };
    // A node of the harmless null device, made here (only root may).
    if (::mknod((dir / "device").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        cases.push_back({dir / "device", fs::file_type::character});
    const Names before = Entries(dir.path());

    for (const auto& c : cases) {
        EXPECT_FALSE(WriteBytesToFile(c.target, bytes)) << c.target;
        EXPECT_EQ(fs::status(c.target).type(), c.type) << c.target;
    }
    EXPECT_EQ(Entries(dir.path()), before);
    EXPECT_EQ(Entries(dir / "folder"), Names{"inside"});
}

// The disk fills: the file size limit stops the temporary file at `limit` bytes.
TEST(WriteBytesToFile, FullDiskKeepsTheOldFile)
{
    const auto old = cut_test::Pattern(1000, 6);
    const auto next = cut_test::Pattern(100'000, 7);
    const struct {
        rlim_t limit;
        bool saved;
    } cases[] = {
        {0, false},           // the first write fails
        {4096, false},        // a short write, then EFBIG: reported as a partial success
        {next.size(), true},  // everything fits
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.limit);
        TempDir dir;
        const fs::path target = dir / "cut.mp3";
        cut_test::WriteFile(target, old);

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{c.limit, c.limit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                ::_exit(3);
            ::_exit(WriteBytesToFile(target, next) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.saved ? 0 : 1);
        EXPECT_EQ(ReadFile(target), c.saved ? next : old);
        EXPECT_EQ(Entries(dir.path()), Names{"cut.mp3"});
    }
}

// fsync fails (as on a disk that reports the error late): the save must fail.
TEST(WriteBytesToFile, FailedSyncKeepsTheOldFile)
{
    const std::string fiuRun = ZEMBROT_FIU_RUN;
    if (fiuRun.empty())
        GTEST_SKIP() << "fiu-run not installed";
    TempDir dir;
    TempDir sources;
    const auto old = cut_test::Pattern(1000, 6);
    const auto next = cut_test::Pattern(20'000, 7);
    cut_test::WriteFile(dir / "cut.mp3", old);
    cut_test::WriteFile(sources / "next", next);

    const auto run = [&](const char* failure) {
        return cut_test::Run({fiuRun, "-x", "-f", "", "-c", failure, ZEMBROT_CUT_TOOL, "write",
                              (dir / "cut.mp3").string(), (sources / "next").string()});
    };
    EXPECT_EQ(run("enable name=posix/io/sync/fsync").exitCode, 1);
    EXPECT_EQ(ReadFile(dir / "cut.mp3"), old);
    EXPECT_EQ(Entries(dir.path()), Names{"cut.mp3"});

    // The same run with a failure point that is never hit saves.
    EXPECT_EQ(run("enable name=posix/io/sync/unused").exitCode, 0);
    EXPECT_EQ(ReadFile(dir / "cut.mp3"), next);
}

TEST(WriteBytesToFile, ReadOnlyFolderRefusesAndKeepsTheOldFile)
{
    const auto old = cut_test::Pattern(1000, 6);
    const auto next = cut_test::Pattern(3000, 7);
    TempDir dir;
    fs::create_directory(dir / "locked");
    fs::create_directory(dir / "open");
    // Writable itself, but no temporary file can go beside it.
    cut_test::WriteFile(dir / "locked" / "old.mp3", old);
    fs::permissions(dir / "locked" / "old.mp3", fs::perms(0666));
    fs::permissions(dir / "open", fs::perms(0777));

    if (!cut_test::IsRoot()) {
        fs::permissions(dir / "locked", fs::perms(0555));
        EXPECT_FALSE(WriteBytesToFile(dir / "locked" / "new.mp3", next));
        EXPECT_FALSE(WriteBytesToFile(dir / "locked" / "old.mp3", next));
    } else {
        fs::permissions(dir / "locked", fs::perms(0755)); // root's; nobody may not write
        cut_test::WriteFile(dir / "next", next);
        fs::permissions(dir / "next", fs::perms(0644));
        const auto asNobody = [&](const fs::path& target) {
            return cut_test::AsUnprivileged({ZEMBROT_CUT_TOOL, "write", target.string(), (dir / "next").string()});
        };
        if (asNobody(dir / "open" / "new.mp3").empty())
            GTEST_SKIP() << "no way to run as an unprivileged user";
        // The same user saves into a folder open to it: only the permission differs.
        if (cut_test::Run(asNobody(dir / "open" / "new.mp3")).exitCode != 0)
            GTEST_SKIP() << "the helper does not run as nobody (build folder not reachable?)";
        ASSERT_EQ(ReadFile(dir / "open" / "new.mp3"), next);

        EXPECT_EQ(cut_test::Run(asNobody(dir / "locked" / "new.mp3")).exitCode, 1);
        EXPECT_EQ(cut_test::Run(asNobody(dir / "locked" / "old.mp3")).exitCode, 1);
    }
    EXPECT_EQ(Entries(dir / "locked"), Names{"old.mp3"});
    EXPECT_EQ(ReadFile(dir / "locked" / "old.mp3"), old);
}

} // namespace
