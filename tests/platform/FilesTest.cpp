// Whole-file replacement: content, mode, links, devices, and failures that keep the old file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "qx/platform/Files.h"
#include "tests/platform/FilesTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using qx::platform::ReplaceFile;
using qx::platform::WriteFileAtomically;
using qx::test::ReadFile;
using qx::test::WriteFile;
using Names = std::vector<std::string>;
namespace fs = std::filesystem;

class Files : public ::testing::Test {
  protected:
    Names Listing() const { return qx::test::Listing(dir.Path()); }
    qx::test::TTempDir dir;
    std::string path = dir.File("data.bin");
};

TEST_F(Files, NewFilesFollowTheUmaskReplacedOnesKeepTheirModeAndLinksAreFollowed) {
    const mode_t old = ::umask(027);
    std::string error = "untouched";
    const bool ok = WriteFileAtomically(path, std::string("a\0b", 3), &error);
    ::umask(old);
    ASSERT_TRUE(ok);
    EXPECT_EQ(error, "untouched");
    EXPECT_EQ(ReadFile(path), std::string("a\0b", 3));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));

    // Replacing keeps the mode and puts a new file in place.
    WriteFile(path, std::string(4096, 'x'));  // longer than what replaces it
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    struct stat before = {}, after = {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0604));
    EXPECT_NE(after.st_ino, before.st_ino);

    // The temporary name fits where the target's name just fits.
    const std::string longName = dir.File(std::string(255, 'L'));
    ASSERT_TRUE(WriteFileAtomically(longName, "first"));
    ASSERT_TRUE(WriteFileAtomically(longName, "second"));
    EXPECT_EQ(ReadFile(longName), "second");

    // Links are followed and stay links.
    const std::string real = dir.File("real.bin"), link = dir.File("link.bin");
    WriteFile(real, "old");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real.bin", link.c_str()), 0);  // relative to the link's folder
    ASSERT_TRUE(WriteFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(real), "new");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));

    // A dangling link is not replaced by a file.
    const std::string dangling = dir.File("dangling.bin");
    ASSERT_EQ(::symlink("nowhere.bin", dangling.c_str()), 0);
    error.clear();
    EXPECT_FALSE(WriteFileAtomically(dangling, "new", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_symlink(dangling));
    // No step left a temporary file.
    EXPECT_EQ(Listing(),
              (Names{std::string(255, 'L'), "dangling.bin", "data.bin", "link.bin", "real.bin"}));
}

TEST_F(Files, FailingAndRefusedWritesLeaveTheOldFileAndNoTemporaryFile) {
    WriteFile(path, "old");
    std::string error;
    EXPECT_FALSE(ReplaceFile(
        path,
        [](int fd) {
            qx::platform::WriteAll(fd, "half", 4);
            return false;
        },
        &error));
    EXPECT_FALSE(error.empty());

    EXPECT_THROW(ReplaceFile(path,
                             [](int fd) -> bool {
                                 qx::platform::WriteAll(fd, "half", 4);
                                 throw std::runtime_error("stop");
                             }),
                 std::runtime_error);

    // A write cut short by the file-size limit, as on a full disk.
    {
        qx::test::TFileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.ok);
        EXPECT_FALSE(WriteFileAtomically(path, std::string(256 * 1024, 'b')));
    }

    // What cannot be replaced is refused.
    EXPECT_FALSE(WriteFileAtomically("", "x"));
    EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/folder/x.bin"), "x"));
    EXPECT_FALSE(WriteFileAtomically(dir.Path(), "x"));  // a folder
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    if (::access(path.c_str(), W_OK) != 0) {  // root may write anyway
        error.clear();
        EXPECT_FALSE(WriteFileAtomically(path, "new", &error));
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(Listing(), (Names{"data.bin"}));
}

TEST_F(Files, PipesAndDescriptorBuffersAreWrittenIntoAndAFullDeviceFailsBoth) {
    // Opened for reading first, the pipe takes the short text without a reading thread.
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int in = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(in, 0);
    EXPECT_TRUE(WriteFileAtomically(fifo, "through the pipe"));
    std::string received;
    char buf[4096];
    for (ssize_t n; (n = ::read(in, buf, sizeof buf)) > 0;) received.append(buf, n);
    ::close(in);
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    // Single characters, small pieces and blocks larger than the buffer, across its boundary.
    std::string expected;
    ASSERT_TRUE(ReplaceFile(path, [&](int fd) {
        qx::platform::TDescriptorBuffer buffer(fd);
        std::ostream s(&buffer);
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < 70000; ++i) {
                const char c = static_cast<char>('a' + (i + round) % 26);
                s.put(c);
                expected += c;
            }
            s.write(nullptr, 0);  // as an empty vector's data() gives it
            const std::string piece = "piece" + std::to_string(round);
            s << piece;
            expected += piece;
            const std::string block(200000 + round, static_cast<char>('A' + round));
            s.write(block.data(), static_cast<std::streamsize>(block.size()));
            expected += block;
        }
        return static_cast<bool>(s.flush());
    }));
    EXPECT_EQ(ReadFile(path), expected);

    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (fd < 0) GTEST_SKIP() << "no /dev/full";
    std::string error;
    EXPECT_FALSE(WriteFileAtomically("/dev/full", "x", &error));  // no space: ENOSPC
    EXPECT_FALSE(error.empty());
    qx::platform::TDescriptorBuffer buffer(fd);
    std::ostream s(&buffer);
    s << "small";
    EXPECT_TRUE(s.good());  // still in the buffer
    EXPECT_FALSE(s.flush());
    const std::string block(100000, 'x');
    std::ostream t(&buffer);
    EXPECT_FALSE(t.write(block.data(), static_cast<std::streamsize>(block.size())));
    ::close(fd);
}

}  // namespace
