// TProofAlloc: a register of memory blocks for finding leaks and stray releases.
//
// The host reports each allocation and release with the source file and line where it
// happens (for example from allocation wrappers). The register keeps the blocks still
// outstanding, the releases of blocks it never saw allocated, and per source file the number
// of reports. vSumarize condenses the outstanding blocks and the stray releases into counts per
// source position, which the report form shows.
//
// One process-wide instance is created on demand (vCreateStaticInstanceIfNotExist) and reached
// through pProof(); it lives until the process ends. Source files are named by file name and
// extension in lower case, so "C:\src\Grid.SRC" and "grid.src" are one file.
//
// Threads: vCreateStaticInstanceIfNotExist, pProof, vAlloc, vFree, vSumarize and the recording
// switch may be called from any thread; an internal lock serialises them. The lists behind the
// rGetList... references are read without the lock: read the file list only while no thread
// reports. The summaries change only in vSumarize.
#pragma once

#include <compare>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>

class TProofAlloc {
  public:
    // A block (value: its address) or a summary line (value: the number of blocks). Ordered by
    // file name (bytes), then line, then value.
    struct TItem {
        std::string sFileName;
        int iLine = 0;
        std::uintptr_t uValue = 0;
        auto operator<=>(const TItem&) const = default;
    };
    // A source file and its number of reports. Ordered by file name.
    struct TItem2 {
        std::string sFileName;
        mutable unsigned uCount = 1;  // not part of the order
        bool operator<(const TItem2& other) const { return sFileName < other.sFileName; }
    };
    using TItemSet = std::set<TItem>;
    using TFileSet = std::set<TItem2>;

    // Empty lists, recording on.
    TProofAlloc();
    // Deleting the process-wide instance makes pProof() null again.
    ~TProofAlloc();
    TProofAlloc(const TProofAlloc&) = delete;
    TProofAlloc& operator=(const TProofAlloc&) = delete;

    // The process-wide instance, or null while none exists.
    static TProofAlloc* pProof();
    // Creates the process-wide instance on the first call; later calls do nothing.
    static void vCreateStaticInstanceIfNotExist();

    // Reports an allocation: counts the file, and registers a non-null block as outstanding
    // (an equal file, line and address registered already is kept once). Ignored while
    // recording is off.
    void vAlloc(const char* file, int line, void* block);
    // Reports a release: counts the file; a non-null block that is outstanding (whatever file
    // and line allocated it) is removed, otherwise the release is registered as stray. Ignored
    // while recording is off.
    void vFree(const char* file, int line, void* block);
    // Rebuilds both summaries: one item (file, line, number of blocks) per source position of
    // the outstanding blocks and of the stray releases. The file list is not touched.
    void vSumarize();

    bool bGetbDo() const;
    // Switches recording; switching it off and on keeps what was recorded.
    void vSetbDo(bool on);

    TFileSet& rGetListFiles() { return files_; }
    TItemSet& rGetListSumAlloc() { return sumAlloc_; }
    TItemSet& rGetListSumFree() { return sumFree_; }
    // The outstanding blocks and the stray releases themselves.
    const TItemSet& rGetListAlloc() const { return allocated_; }
    const TItemSet& rGetListFree() const { return strayFreed_; }

  private:
    // Outstanding blocks by address, then by their place in allocated_, so that the first
    // block with an address in allocated_'s order is found without walking the set.
    struct TByAddress {
        using is_transparent = void;
        bool operator()(TItemSet::const_iterator a, TItemSet::const_iterator b) const {
            return a->uValue != b->uValue ? a->uValue < b->uValue : *a < *b;
        }
        bool operator()(TItemSet::const_iterator a, std::uintptr_t k) const {
            return a->uValue < k;
        }
        bool operator()(std::uintptr_t k, TItemSet::const_iterator a) const {
            return k < a->uValue;
        }
    };

    std::string countFile(const char* file);
    static void summarize(const TItemSet& from, TItemSet& to);

    mutable std::mutex mutex_;
    bool bDo_ = true;
    TItemSet allocated_;
    TItemSet strayFreed_;
    TFileSet files_;
    TItemSet sumAlloc_;
    TItemSet sumFree_;
    std::set<TItemSet::const_iterator, TByAddress> byAddress_;
};
