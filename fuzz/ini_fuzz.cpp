// The ini parser and editor on arbitrary bytes: every span stays inside the file, lookups agree
// with the listings, edits do what they promise, and the flat read call never writes past the
// caller's buffer.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "qx/ini/PrivateProfile.h"

using qx::detail::TProfile;
using qx::detail::TProfileEdit;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void checkProfile(const TProfile& p) {
    const std::size_t n = p.content().size();
    std::size_t expect = 0;
    for (const TProfile::TLine& l : p.rLines()) {
        check(l.begin == expect && l.begin <= l.end && l.end <= l.next && l.next <= n);
        check(l.next - l.end <= 2);
        expect = l.next;
    }
    check(expect == n);
    for (std::size_t s = 0; s < p.rSections().size(); ++s) {
        const TProfile::TSection& sec = p.rSections()[s];
        check(sec.name.pos + sec.name.len <= n && sec.line < p.rLines().size());
        check(sec.firstEntry + sec.entryCount <= p.rEntries().size());
        // The first section of a name is found, and no later one.
        const long found = p.findSection(p.svText(sec.name));
        check(found >= 0 && found <= static_cast<long>(s));
        for (std::size_t e = sec.firstEntry; e < sec.firstEntry + sec.entryCount; ++e) {
            const TProfile::TEntry& en = p.rEntries()[e];
            check(en.key.pos + en.key.len <= n && en.raw.pos + en.raw.len <= n);
            check(en.value.pos >= en.raw.pos &&
                  en.value.pos + en.value.len <= en.raw.pos + en.raw.len);
            check(en.line < p.rLines().size() && p.content()[en.eq] == '=');
            const long first = p.findEntry(static_cast<long>(s), p.svText(en.key));
            check(first >= static_cast<long>(sec.firstEntry) && first <= static_cast<long>(e));
        }
    }
}

std::string text(FuzzedDataProvider& in) {
    return in.ConsumeRandomLengthString(24);
}

void checkEdit(const TProfile& before, FuzzedDataProvider& in) {
    TProfileEdit edit;
    edit.eKind = static_cast<TProfileEdit::EKind>(in.ConsumeIntegralInRange<int>(0, 3));
    edit.section = text(in);
    edit.key = text(in);
    edit.value = text(in);
    std::string out;
    const bool changed = qx::detail::applyEdit(before, edit, out);
    if (!changed) return;
    check(qx::detail::ulCheckEdit(edit) == 0);
    const TProfile after(out);
    checkProfile(after);
    switch (edit.eKind) {
        case TProfileEdit::EKind::Write: {
            const TProfile::TSpan* v = after.pFindValue(edit.section, edit.key);
            check(v != nullptr);
            // The value reads back as written unless the reader trims or unquotes it.
            std::string_view want = edit.value;
            const bool plain = want.find_first_of(" \t\v\x1A\"'") == std::string_view::npos;
            if (plain) check(after.svText(*v) == want);
            break;
        }
        case TProfileEdit::EKind::DeleteKey:
            check(out.size() < before.content().size());
            check(after.rEntries().size() + 1 == before.rEntries().size());
            break;
        case TProfileEdit::EKind::DeleteSection:
            check(after.rSections().size() + 1 == before.rSections().size());
            break;
        case TProfileEdit::EKind::RenameSection:
            check(after.findSection(edit.value) >= 0);
            break;
    }
}

// The flat call into a buffer of exactly `size` bytes (ASan sees any write past it).
void checkFlatCall(const std::string& bytes, FuzzedDataProvider& in) {
    // A memory file, reached by path as the engine wants; nothing is left behind.
    static const int fd = ::memfd_create("qx-ini-fuzz", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0) return;
    if (::pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) return;
    const unsigned long size = in.ConsumeIntegralInRange<unsigned long>(1, 64);
    std::unique_ptr<char[]> buffer(new char[size]);
    const std::string section = text(in), key = text(in);
    const char* s = in.ConsumeBool() ? section.c_str() : nullptr;
    const char* k = in.ConsumeBool() ? key.c_str() : nullptr;
    const unsigned long n =
        qx::detail::ulGetPrivateProfileString(s, k, "default", buffer.get(), size, path.c_str());
    check(n < size && buffer[n] == '\0');

    // The same answer as the parse of these bytes: the cache never serves the previous input,
    // although every input rewrites the same file in place.
    const TProfile p(bytes);
    std::string whole;
    if (!s || !k) {
        for (const std::string& name : s ? p.keyNames(s) : p.sectionNames()) {
            whole += name;
            whole += '\0';
        }
        if (whole.size() + 1 <= size) {
            check(n == whole.size() && std::string(buffer.get(), n) == whole);
        } else {
            check(size < 2 ||
                  (n == size - 2 && std::string(buffer.get(), n) == whole.substr(0, n)));
        }
    } else {
        const TProfile::TSpan* v = p.pFindValue(s, k);
        whole = v ? std::string(p.svText(*v)) : std::string("default");
        check(std::string(buffer.get(), n) == whole.substr(0, size - 1));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string control =
        in.ConsumeBytesAsString(in.ConsumeIntegralInRange<std::size_t>(0, 96));
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    const TProfile profile(bytes);
    checkProfile(profile);
    FuzzedDataProvider edits(reinterpret_cast<const std::uint8_t*>(control.data()), control.size());
    checkEdit(profile, edits);
    checkFlatCall(bytes, edits);
    return 0;
}
