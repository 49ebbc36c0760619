// Helpers of the tests of files written whole: writing a file plainly, listing a folder, and a
// file-size limit that makes writes fail part-way even for root.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace qx::test {

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Every name in the folder, sorted (to find left-over temporary files).
inline std::vector<std::string> Listing(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// While it lives, files this process writes cannot grow beyond `bytes`: a write past the
// limit fails with EFBIG (SIGXFSZ is ignored meanwhile), as on a full disk.
class TFileSizeLimit {
  public:
    explicit TFileSizeLimit(rlim_t bytes) : previous_(::signal(SIGXFSZ, SIG_IGN)) {
        if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0) return;
        struct rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ok = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~TFileSizeLimit() {
        if (ok) ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, previous_);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

    bool ok = false;  // the limit is in force

  private:
    struct rlimit saved_ {};
    void (*previous_)(int);
};

}  // namespace qx::test
