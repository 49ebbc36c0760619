// A process that dies while it replaces a file leaves the old file and no temporary file.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "qx/platform/Files.h"
#include "tests/platform/FilesTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using qx::test::Listing;
using qx::test::TTempDir;
using qx::test::WriteFile;

TEST(FileReplacement, AWriterKilledMidWriteLeavesTheOldFileAndNothingElse) {
    TTempDir dir;
    const int probe = ::open(dir.Path().c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (probe < 0) GTEST_SKIP() << "no unnamed files here; stale files are swept instead";
    ::close(probe);
    const std::string target = dir.File("settings.ini");
    WriteFile(target, "[old]\n");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        qx::platform::ReplaceFile(target, [&](int fd) {
            const std::string half(64 * 1024, 'x');
            qx::platform::WriteAll(fd, half.data(), half.size());
            (void)!::write(ready[1], "w", 1);
            for (;;) ::pause();  // killed here, halfway through the new content
            return true;
        });
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"settings.ini"});
    EXPECT_EQ(qx::test::ReadFile(target), "[old]\n");
}

// Named temporary files (used where the file system has no unnamed ones) that dead processes
// left are removed by the next replacement in their folder; others are kept.
TEST(FileReplacement, StaleTemporariesOfDeadProcessesAreRemovedByTheNextReplacement) {
    const pid_t dead = ::fork();
    ASSERT_GE(dead, 0);
    if (dead == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);

    TTempDir dir;
    const std::string deadOld = ".qx-" + std::to_string(dead) + "-3.tmp";
    const std::string deadRecent = ".qx-" + std::to_string(dead) + "-4.tmp";
    const std::string living = ".qx-" + std::to_string(::getppid()) + "-5.tmp";
    const std::string foreign = "notes.qx-1-1.tmp";
    for (const std::string& name : {deadOld, deadRecent, living, foreign}) {
        WriteFile(dir.File(name), "partial");
        if (name == deadRecent) continue;
        const timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, dir.File(name).c_str(), old, 0), 0);
    }
    ASSERT_TRUE(qx::platform::WriteFileAtomically(dir.File("table.ini"), "[new]\n"));
    std::vector<std::string> kept{deadRecent, living, foreign, "table.ini"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(Listing(dir.Path()), kept);
}

}  // namespace
