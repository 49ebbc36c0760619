#include "qx/alloc/ProofAlloc.h"

#include <atomic>

#include "qx/platform/SysUtils.h"

namespace {

std::atomic<TProofAlloc*> gInstance{nullptr};

std::mutex& creationMutex() {
    static std::mutex m;
    return m;
}

// Lower case of a code page 1252 character.
unsigned char lowerCase1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 16);  // Š Œ Ž
    if (c == 0x9F) return 0xFF;                                                          // Ÿ
    return c;
}

}  // namespace

TProofAlloc::TProofAlloc() = default;

TProofAlloc::~TProofAlloc() {
    TProofAlloc* self = this;
    gInstance.compare_exchange_strong(self, nullptr);
}

TProofAlloc* TProofAlloc::pProof() {
    return gInstance.load(std::memory_order_acquire);
}

void TProofAlloc::vCreateStaticInstanceIfNotExist() {
    std::lock_guard lock(creationMutex());
    if (!gInstance.load(std::memory_order_acquire))
        gInstance.store(new TProofAlloc, std::memory_order_release);
}

bool TProofAlloc::bGetbDo() const {
    std::lock_guard lock(mutex_);
    return bDo_;
}

void TProofAlloc::vSetbDo(bool on) {
    std::lock_guard lock(mutex_);
    bDo_ = on;
}

std::string TProofAlloc::countFile(const char* file) {
    std::string name(qx::platform::FileNameOf(file ? file : ""));
    for (char& c : name) c = static_cast<char>(lowerCase1252(static_cast<unsigned char>(c)));
    auto [it, inserted] = files_.insert(TItem2{name, 1});
    if (!inserted) ++it->uCount;
    return name;
}

void TProofAlloc::vAlloc(const char* file, int line, void* block) {
    std::lock_guard lock(mutex_);
    if (!bDo_) return;
    std::string name = countFile(file);
    if (!block) return;
    auto [it, inserted] =
        allocated_.insert(TItem{std::move(name), line, reinterpret_cast<std::uintptr_t>(block)});
    if (inserted) byAddress_.insert(it);
}

void TProofAlloc::vFree(const char* file, int line, void* block) {
    std::lock_guard lock(mutex_);
    if (!bDo_) return;
    std::string name = countFile(file);
    if (!block) return;
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    auto ix = byAddress_.lower_bound(address);
    if (ix != byAddress_.end() && (*ix)->uValue == address) {
        TItemSet::const_iterator it = *ix;
        byAddress_.erase(ix);
        allocated_.erase(it);
    } else {
        strayFreed_.insert(TItem{std::move(name), line, address});
    }
}

void TProofAlloc::summarize(const TItemSet& from, TItemSet& to) {
    to.clear();
    for (auto run = from.begin(); run != from.end();) {
        auto next = run;
        std::uintptr_t count = 0;
        while (next != from.end() && next->iLine == run->iLine &&
               next->sFileName == run->sFileName) {
            ++next;
            ++count;
        }
        to.insert(TItem{run->sFileName, run->iLine, count});
        run = next;
    }
}

void TProofAlloc::vSumarize() {
    std::lock_guard lock(mutex_);
    summarize(allocated_, sumAlloc_);
    summarize(strayFreed_, sumFree_);
}
