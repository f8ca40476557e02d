#include "cut/whole_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

using cut_test::TempDir;
namespace fs = std::filesystem;

std::vector<std::byte> Contents(const ByteBuffer& buffer)
{
    return {buffer.bytes().begin(), buffer.bytes().end()};
}

std::string ToolReport(const std::vector<std::byte>& bytes)
{
    return std::to_string(bytes.size()) + ' ' + std::to_string(cut_test::Hash(bytes.data(), bytes.size())) + '\n';
}

TEST(ReadWholeFile, GivesTheWholeRegularFileOrNothing)
{
    TempDir dir;
    const auto song = cut_test::Pattern(3'000'017, 7);
    const struct {
        const char* name;
        std::function<fs::path()> make;
        std::vector<std::byte> expected;
    } cases[] = {
        {"empty path", [] { return fs::path(); }, {}},
        {"missing file", [&] { return dir / "missing.mp3"; }, {}},
        {"folder", [&] { fs::create_directory(dir / "folder"); return dir / "folder"; }, {}},
        // Opening a FIFO for reading would wait for a writer.
        {"fifo", [&] { ::mkfifo((dir / "fifo").c_str(), 0644); return dir / "fifo"; }, {}},
        {"empty file", [&] { cut_test::WriteFile(dir / "empty", {}); return dir / "empty"; }, {}},
        {"one byte", [&] { cut_test::WriteFile(dir / "one", {std::byte{0xA5}}); return dir / "one"; }, {std::byte{0xA5}}},
        {"song", [&] { cut_test::WriteFile(dir / "song.mp3", song); return dir / "song.mp3"; }, song},
        {"symlink to song", [&] { fs::create_symlink("song.mp3", dir / "link.mp3"); return dir / "link.mp3"; }, song},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Contents(ReadWholeFile(c.make())), c.expected) << c.name;
}

TEST(ReadWholeFile, UnreadableFileGivesNothing)
{
    TempDir dir;
    const auto song = cut_test::Pattern(1000, 3);
    cut_test::WriteFile(dir / "open.mp3", song);
    cut_test::WriteFile(dir / "closed.mp3", song);
    fs::permissions(dir / "open.mp3", fs::perms(0644));
    fs::permissions(dir / "closed.mp3", fs::perms(0600));
    if (!cut_test::IsRoot()) {
        fs::permissions(dir / "closed.mp3", fs::perms::none);
        EXPECT_TRUE(ReadWholeFile(dir / "closed.mp3").empty());
        return;
    }
    const auto openRun = cut_test::AsUnprivileged({ZEMBROT_CUT_TOOL, "read", (dir / "open.mp3").string()});
    if (openRun.empty())
        GTEST_SKIP() << "no way to run as an unprivileged user";
    // The same user reads the readable file, so only the permission differs.
    const auto control = cut_test::Run(openRun);
    if (control.exitCode != 0)
        GTEST_SKIP() << "the helper does not run as nobody (build folder not reachable?)";
    ASSERT_EQ(control.output, ToolReport(song));

    const auto denied = cut_test::Run(cut_test::AsUnprivileged({ZEMBROT_CUT_TOOL, "read", (dir / "closed.mp3").string()}));
    EXPECT_EQ(denied.exitCode, 0);
    EXPECT_EQ(denied.output, ToolReport({}));
}

// Failures injected into read() by the C library interposer.
TEST(ReadWholeFile, ReadFaults)
{
    const std::string fiuRun = ZEMBROT_FIU_RUN;
    if (fiuRun.empty())
        GTEST_SKIP() << "fiu-run not installed";
    TempDir dir;
    const auto song = cut_test::Pattern(2'000'003, 5);
    cut_test::WriteFile(dir / "song.mp3", song);

    const struct {
        const char* failure;
        std::vector<std::byte> expected;
    } cases[] = {
        // every read() fails: nothing, not a truncated song
        {"enable name=posix/io/rw/read", {}},
        // every read() returns fewer bytes than asked: still the whole song
        {"enable name=posix/io/rw/read/reduce", song},
    };
    const auto run = [&](std::vector<std::string> failures) {
        std::vector<std::string> args{fiuRun, "-x", "-f", ""};
        for (auto& failure : failures)
            args.insert(args.end(), {"-c", std::move(failure)});
        args.insert(args.end(), {ZEMBROT_CUT_TOOL, "read", (dir / "song.mp3").string()});
        return cut_test::Run(args);
    };
    for (const auto& c : cases) {
        const auto result = run({c.failure});
        EXPECT_EQ(result.exitCode, 0) << c.failure;
        EXPECT_EQ(result.output, ToolReport(c.expected)) << c.failure;
    }

    // Short reads, some failing: once a read has failed, the bytes already
    // read must not come back as the song. The failures fall at random, so
    // a few runs make it all but certain that one fails after a success.
    for (int i = 0; i < 10; ++i) {
        const auto result = run({"enable_random name=posix/io/rw/read,probability=0.3", "enable name=posix/io/rw/read/reduce"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.output == ToolReport({}) || result.output == ToolReport(song)) << result.output;
    }
}

} // namespace
