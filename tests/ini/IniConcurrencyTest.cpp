// Several processes and threads changing one ini file at once lose no write, and readers
// never see a half-written file.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "qx/qx.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kWrites = 40;

std::string Key(int writer, int i) {
    return qx::test::Join({"w", std::to_string(writer), "_", std::to_string(i)});
}

}  // namespace

TEST(IniConcurrency, TwoProcessesWritingDifferentKeysLoseNothing) {
    qx::test::TTempDir dir;
    const std::string path = dir.File("shared.ini");
    TQxStdIniFile(TIniFilename(path)).vWriteString("Common", "start", "1");

    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            TQxStdIniFile ini{TIniFilename(path)};
            for (int i = 0; i < kWrites; ++i) {
                // Both write into the same section, so each must see the other's lines.
                ini.vWriteInteger("Common", Key(writer, i).c_str(), i);
                if (i % 5 == 0) ini.vWriteInteger(("Own" + std::to_string(writer)).c_str(), "n", i);
            }
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    TQxStdIniFile ini{TIniFilename(path)};
    std::vector<std::string> keys;
    ini.vReadSection("Common", keys);
    EXPECT_EQ(keys.size(), 1u + 2 * kWrites);
    for (int writer = 0; writer < 2; ++writer) {
        for (int i = 0; i < kWrites; ++i)
            EXPECT_EQ(ini.iReadInteger("Common", Key(writer, i).c_str(), -1), i) << Key(writer, i);
        EXPECT_EQ(ini.iReadInteger(("Own" + std::to_string(writer)).c_str(), "n", -1), 35);
    }
}

TEST(IniConcurrency, ThreadsWritingAndReadingWhileTheCacheEvicts) {
    qx::test::TTempDir dir;
    const std::string path = dir.File("threads.ini");
    TQxStdIniFile(TIniFilename(path)).vWriteString("S", "fixed", "value");

    std::atomic<bool> done{false};
    std::atomic<int> badReads{0};
    std::vector<std::thread> workers;
    for (int writer = 0; writer < 3; ++writer) {
        workers.emplace_back([&, writer] {
            TQxStdIniFile ini{TIniFilename(path)};
            for (int i = 0; i < 15; ++i) ini.vWriteInteger("S", Key(writer, i).c_str(), i);
        });
    }
    // More files than the cache holds, so entries are evicted while others read.
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&, t] {
            for (int f = 0; f < 12; ++f) {
                TQxStdIniFile ini{TIniFilename(dir.File(
                    qx::test::Join({"f", std::to_string(t), "_", std::to_string(f), ".ini"})))};
                ini.vWriteInteger("S", "v", f);
                for (int r = 0; r < 20; ++r)
                    if (ini.iReadInteger("S", "v", -1) != f) ++badReads;
            }
        });
    }
    std::thread reader([&] {
        const TQxStdIniFile ini{TIniFilename(path)};
        std::vector<std::string> keys;
        while (!done.load()) {
            // Every file a reader can see is a whole one: the fixed entry is always there.
            if (ini.sReadString("S", "fixed", "") != "value") ++badReads;
            ini.vReadSection("S", keys);
            if (keys.empty() || keys.front() != "fixed") ++badReads;
        }
    });
    for (auto& t : workers) t.join();
    done = true;
    reader.join();

    EXPECT_EQ(badReads.load(), 0);
    const TQxStdIniFile ini{TIniFilename(path)};
    for (int writer = 0; writer < 3; ++writer)
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(ini.iReadInteger("S", Key(writer, i).c_str(), -1), i);
}
