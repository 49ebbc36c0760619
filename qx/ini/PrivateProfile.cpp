// The private-profile engine: parsing, edits, the parse cache and locked durable writes.
#include "qx/ini/PrivateProfile.h"

#include "qx/platform/Files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace qx::detail {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}
bool isWhite(char c) {
    return isBlank(c) || c == '\r' || c == '\n' || c == '\x1A';
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// The span [from, to) of `text` without the characters `drop` accepts at either end.
template <class Pred>
TProfile::TSpan trimSpan(const char* text, std::size_t from, std::size_t to, Pred drop) {
    while (from < to && drop(text[from])) ++from;
    while (to > from && drop(text[to - 1])) --to;
    return {from, to - from};
}

}  // namespace

std::string_view svTrimArgument(std::string_view name) {
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return name;
}

std::uint32_t nameHash(std::string_view name) {
    std::uint32_t h = 2166136261u;
    for (char c : name) {
        h ^= static_cast<unsigned char>(lower(c));
        h *= 16777619u;
    }
    return h;
}

bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// ----------------------------------------------------------------------------------- parsing

TProfile::TProfile(std::string bytes) : bytes_(std::move(bytes)) {
    const char* p = bytes_.data();
    const std::size_t n = bytes_.size();
    long current = -1;  // no section yet: entries are unreachable
    std::size_t pos = 0;
    while (pos < n) {
        std::size_t end = pos;
        while (end < n && p[end] != '\r' && p[end] != '\n') ++end;
        std::size_t next = end;
        if (next < n) next += (p[next] == '\r' && next + 1 < n && p[next + 1] == '\n') ? 2 : 1;
        const std::size_t lineIndex = lines_.size();
        lines_.push_back({pos, end, next});

        std::size_t i = pos;
        while (i < end && isBlank(p[i])) ++i;
        if (i < end && p[i] == '[') {
            const char* close =
                static_cast<const char*>(std::memchr(p + i + 1, ']', end - (i + 1)));
            const std::size_t nameEnd = close ? static_cast<std::size_t>(close - p) : end;
            const TSpan name = trimSpan(p, i + 1, nameEnd, isBlank);
            sections_.push_back({name, lineIndex, entries_.size(), 0, nameHash(svText(name))});
            current = static_cast<long>(sections_.size()) - 1;
        } else if (i < end && p[i] == ';') {
            // comment
        } else if (current >= 0) {
            const char* eq = static_cast<const char*>(std::memchr(p + pos, '=', end - pos));
            if (eq) {
                const std::size_t eqPos = static_cast<std::size_t>(eq - p);
                const TSpan key = trimSpan(p, pos, eqPos, isWhite);
                TSpan value = trimSpan(p, eqPos + 1, end, isWhite);
                const TSpan raw = value;
                if (value.len >= 2) {
                    const char q = p[value.pos];
                    if ((q == '"' || q == '\'') && p[value.pos + value.len - 1] == q)
                        value = {value.pos + 1, value.len - 2};
                }
                entries_.push_back({key, value, raw, eqPos, lineIndex, nameHash(svText(key))});
                ++sections_[static_cast<std::size_t>(current)].entryCount;
            }
        }
        pos = next;
    }
}

long TProfile::findSection(std::string_view name) const {
    name = svTrimArgument(name);
    const std::uint32_t h = nameHash(name);
    for (std::size_t s = 0; s < sections_.size(); ++s)
        if (sections_[s].hash == h && namesEqual(svText(sections_[s].name), name))
            return static_cast<long>(s);
    return -1;
}

long TProfile::findEntry(long section, std::string_view key) const {
    if (section < 0 || static_cast<std::size_t>(section) >= sections_.size()) return -1;
    key = svTrimArgument(key);
    const std::uint32_t h = nameHash(key);
    const TSection& s = sections_[static_cast<std::size_t>(section)];
    for (std::size_t e = s.firstEntry; e < s.firstEntry + s.entryCount; ++e)
        if (entries_[e].hash == h && namesEqual(svText(entries_[e].key), key))
            return static_cast<long>(e);
    return -1;
}

const TProfile::TSpan* TProfile::pFindValue(std::string_view section, std::string_view key) const {
    const long e = findEntry(findSection(section), key);
    return e < 0 ? nullptr : &entries_[static_cast<std::size_t>(e)].value;
}

std::vector<std::string> TProfile::sectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const TSection& s : sections_) names.emplace_back(svText(s.name));
    return names;
}

std::vector<std::string> TProfile::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    const long s = findSection(section);
    if (s < 0) return names;
    const TSection& sec = sections_[static_cast<std::size_t>(s)];
    names.reserve(sec.entryCount);
    for (std::size_t e = sec.firstEntry; e < sec.firstEntry + sec.entryCount; ++e)
        names.emplace_back(svText(entries_[e].key));
    return names;
}

// ------------------------------------------------------------------------------------- edits

namespace {

bool hasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A section name that reads back as written from its "[name]" line.
bool validSection(std::string_view name) {
    name = svTrimArgument(name);
    if (hasLineBreakOrNul(name) || name.find(']') != std::string_view::npos) return false;
    return name.empty() || (!isBlank(name.front()) && !isBlank(name.back()));
}

// A key that reads back as written from its "key=value" line.
bool validKey(std::string_view key) {
    key = svTrimArgument(key);
    if (hasLineBreakOrNul(key) || key.find('=') != std::string_view::npos) return false;
    if (key.empty()) return true;
    return !isWhite(key.front()) && !isWhite(key.back()) && key.front() != '[' &&
           key.front() != ';';
}

bool validValue(std::string_view value) {
    return !hasLineBreakOrNul(value);
}

bool endsWithLineEnd(const std::string& b) {
    return !b.empty() && (b.back() == '\r' || b.back() == '\n');
}

bool applyWrite(const TProfile& p, std::string_view section, std::string_view key,
                std::string_view value, std::string& out) {
    section = svTrimArgument(section);
    key = svTrimArgument(key);
    const std::string& b = p.content();
    const long s = p.findSection(section);
    if (s < 0) {
        std::string r;
        r.reserve(b.size() + section.size() + key.size() + value.size() + 10);
        r = b;
        if (!b.empty() && !endsWithLineEnd(b)) r += "\r\n";
        r.append("[").append(section).append("]\r\n");
        r.append(key).append("=").append(value).append("\r\n");
        out = std::move(r);
        return true;
    }
    const long e = p.findEntry(s, key);
    if (e >= 0) {
        const TProfile::TEntry& entry = p.rEntries()[static_cast<std::size_t>(e)];
        const TProfile::TLine& line = p.rLines()[entry.line];
        std::size_t keep = entry.eq + 1;
        // Blanks between '=' and an old value stay, so "k = v" becomes "k = new".
        std::size_t j = keep;
        while (j < line.end && (b[j] == ' ' || b[j] == '\t')) ++j;
        if (j < line.end) keep = j;
        if (std::string_view(b).substr(keep, line.end - keep) == value) return false;
        std::string r;
        r.reserve(b.size() + value.size());
        r.append(b, 0, keep).append(value).append(b, line.end, std::string::npos);
        out = std::move(r);
        return true;
    }
    const TProfile::TSection& sec = p.rSections()[static_cast<std::size_t>(s)];
    const TProfile::TLine& after =
        sec.entryCount ? p.rLines()[p.rEntries()[sec.firstEntry + sec.entryCount - 1].line]
                       : p.rLines()[sec.line];
    std::string r;
    r.reserve(b.size() + key.size() + value.size() + 5);
    r.append(b, 0, after.next);
    if (after.next == after.end) r += "\r\n";  // that line was the last and had no line end
    r.append(key).append("=").append(value).append("\r\n");
    r.append(b, after.next, std::string::npos);
    out = std::move(r);
    return true;
}

bool applyDeleteKey(const TProfile& p, std::string_view section, std::string_view key,
                    std::string& out) {
    const long e = p.findEntry(p.findSection(section), key);
    if (e < 0) return false;
    const TProfile::TLine& line = p.rLines()[p.rEntries()[static_cast<std::size_t>(e)].line];
    const std::string& b = p.content();
    out.assign(b, 0, line.begin);
    out.append(b, line.next, std::string::npos);
    return true;
}

bool applyDeleteSection(const TProfile& p, std::string_view section, std::string& out) {
    const long s = p.findSection(section);
    if (s < 0) return false;
    const TProfile::TSection& sec = p.rSections()[static_cast<std::size_t>(s)];
    std::vector<bool> drop(p.rLines().size(), false);
    drop[sec.line] = true;
    for (std::size_t e = sec.firstEntry; e < sec.firstEntry + sec.entryCount; ++e)
        drop[p.rEntries()[e].line] = true;
    const std::string& b = p.content();
    std::string r;
    r.reserve(b.size());
    for (std::size_t i = 0; i < p.rLines().size(); ++i)
        if (!drop[i]) r.append(b, p.rLines()[i].begin, p.rLines()[i].next - p.rLines()[i].begin);
    out = std::move(r);
    return true;
}

// Moves the first section `oldName`'s entries (first of each key, raw value text so quotes
// survive) into `newName` and removes the old section. A name that differs only in case
// respells the header instead, which would otherwise delete what was just written.
bool applyRenameSection(const TProfile& p, std::string_view oldName, std::string_view newName,
                        std::string& out) {
    newName = svTrimArgument(newName);
    const long s = p.findSection(oldName);
    if (s < 0) return false;
    const TProfile::TSection& sec = p.rSections()[static_cast<std::size_t>(s)];
    if (sec.entryCount == 0) return false;
    const std::string& b = p.content();
    if (namesEqual(p.svText(sec.name), newName)) {
        if (p.svText(sec.name) == newName) return false;
        out.assign(b, 0, sec.name.pos);
        out.append(newName).append(b, sec.name.pos + sec.name.len, std::string::npos);
        return true;
    }
    std::vector<std::pair<std::string, std::string>> moved;
    for (std::size_t e = sec.firstEntry; e < sec.firstEntry + sec.entryCount; ++e) {
        const TProfile::TEntry& entry = p.rEntries()[e];
        if (p.findEntry(s, p.svText(entry.key)) != static_cast<long>(e)) continue;
        // A key that could not be written under the new name would be lost: refuse.
        if (!validKey(p.svText(entry.key))) return false;
        moved.emplace_back(p.svText(entry.key), p.svText(entry.raw));
    }
    TProfile work(b);
    std::string next;
    for (const auto& [key, value] : moved)
        if (applyWrite(work, newName, key, value, next)) work = TProfile(std::move(next));
    if (!applyDeleteSection(work, oldName, next)) return false;
    out = std::move(next);
    return true;
}

}  // namespace

unsigned long ulCheckEdit(const TProfileEdit& edit) {
    switch (edit.eKind) {
        case TProfileEdit::EKind::Write:
            return validSection(edit.section) && validKey(edit.key) && validValue(edit.value)
                       ? 0
                       : kIniBadName;
        case TProfileEdit::EKind::RenameSection:
            return validSection(edit.value) ? 0 : kIniBadName;
        case TProfileEdit::EKind::DeleteKey:
        case TProfileEdit::EKind::DeleteSection:
            return 0;
    }
    return kIniBadName;
}

bool applyEdit(const TProfile& profile, const TProfileEdit& edit, std::string& out) {
    if (ulCheckEdit(edit) != 0) return false;
    switch (edit.eKind) {
        case TProfileEdit::EKind::Write:
            return applyWrite(profile, edit.section, edit.key, edit.value, out);
        case TProfileEdit::EKind::DeleteKey:
            return applyDeleteKey(profile, edit.section, edit.key, out);
        case TProfileEdit::EKind::DeleteSection:
            return applyDeleteSection(profile, edit.section, out);
        case TProfileEdit::EKind::RenameSection:
            return applyRenameSection(profile, edit.section, edit.value, out);
    }
    return false;
}

// -------------------------------------------------------------------------------- the cache

namespace {

long long nsOf(const struct timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// The clock the kernel stamps files with; a later change of a file gets an mtime >= this.
long long coarseNow() {
    struct timespec t {};
    clock_gettime(CLOCK_REALTIME_COARSE, &t);
    return nsOf(t);
}

// Whether a change after `readStart` could leave the file's mtime as it is: the mtime lies in
// the current tick (or, on a file system with whole-second stamps, in the last two seconds).
bool isRacy(const struct stat& st, long long readStart) {
    const long long window = st.st_mtim.tv_nsec == 0 ? 2000000000LL : 0;
    return nsOf(st.st_mtim) >= readStart - window;
}

struct TCacheEntry {
    dev_t dev;
    ino_t ino;
    off_t size;
    long long mtime;
    bool racy;
    std::shared_ptr<const TProfile> profile;
    std::uint64_t used;
};

bool sameFile(const TCacheEntry& e, const struct stat& st) {
    return e.dev == st.st_dev && e.ino == st.st_ino && e.size == st.st_size &&
           e.mtime == nsOf(st.st_mtim);
}

struct TCache {
    static constexpr std::size_t kLimit = 32;
    std::mutex mutex;
    std::unordered_map<std::string, TCacheEntry> map;
    std::uint64_t clock = 0;

    void store(const std::string& file, const struct stat& st, bool racy,
               std::shared_ptr<const TProfile> profile) {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = map.find(file);
        if (it == map.end() && map.size() >= kLimit) {
            auto oldest = map.begin();
            for (auto i = map.begin(); i != map.end(); ++i)
                if (i->second.used < oldest->second.used) oldest = i;
            map.erase(oldest);
        }
        map[file] = {st.st_dev, st.st_ino,          st.st_size, nsOf(st.st_mtim),
                     racy,      std::move(profile), ++clock};
    }
    void forget(const std::string& file) {
        std::lock_guard<std::mutex> lock(mutex);
        map.erase(file);
    }
};

// Never destroyed: static destructors elsewhere may still read settings.
TCache& cache() {
    static TCache* c = new TCache;
    return *c;
}

const std::shared_ptr<const TProfile>& emptyProfile() {
    static const std::shared_ptr<const TProfile>* p =
        new std::shared_ptr<const TProfile>(std::make_shared<const TProfile>());
    return *p;
}

// Reads a whole open file from offset 0 straight into `out`. False on a read error.
bool readAll(int fd, off_t sizeHint, std::string& out) {
    std::size_t used = 0;
    out.resize(sizeHint > 0 ? static_cast<std::size_t>(sizeHint) + 1 : 4096);
    for (;;) {
        if (used == out.size()) out.resize(out.size() * 2);
        const ssize_t n =
            ::pread(fd, out.data() + used, out.size() - used, static_cast<off_t>(used));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    out.resize(used);
    return true;
}

}  // namespace

std::shared_ptr<const TProfile> pReadProfile(const std::string& file, unsigned long* error) {
    auto fail = [&](unsigned long code) {
        if (error) *error = code;
        return emptyProfile();
    };
    if (error) *error = 0;
    TCache& c = cache();
    struct stat st {};
    if (file.empty() || ::stat(file.c_str(), &st) != 0) {
        const bool missing = file.empty() || errno == ENOENT || errno == ENOTDIR;
        c.forget(file);
        return fail(missing ? kIniFileNotFound : kIniReadError);
    }
    if (!S_ISREG(st.st_mode)) return fail(kIniReadError);  // a FIFO or device would block
    std::shared_ptr<const TProfile> previous;
    {
        std::lock_guard<std::mutex> lock(c.mutex);
        auto it = c.map.find(file);
        if (it != c.map.end()) {
            if (!it->second.racy && sameFile(it->second, st)) {
                it->second.used = ++c.clock;
                return it->second.profile;
            }
            previous = it->second.profile;
        }
    }
    const long long readStart = coarseNow();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return fail(errno == ENOENT ? kIniFileNotFound : kIniReadError);
    std::string bytes;
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && readAll(fd, st.st_size, bytes);
    ::close(fd);
    if (!ok) return fail(kIniReadError);
    std::shared_ptr<const TProfile> profile =
        previous && previous->content() == bytes
            ? previous
            : std::make_shared<const TProfile>(std::move(bytes));
    c.store(file, st, isRacy(st, readStart), profile);
    return profile;
}

void clearProfileCache() {
    TCache& c = cache();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.map.clear();
}

// ---------------------------------------------------------------------------- locked writes

namespace {

// An open, exclusively locked descriptor of the file that `target` names right now.
class TLockedFile {
  public:
    ~TLockedFile() {
        if (fd >= 0) ::close(fd);  // releases the lock
    }
    // 0 when locked; kIniFileNotFound when missing and `create` is false; kIniWriteError.
    unsigned long ulOpen(const std::string& target, bool create) {
        for (;;) {
            created = false;
            fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
            if (fd < 0 && errno == ENOENT) {
                if (!create) return kIniFileNotFound;
                fd = ::open(target.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
                if (fd < 0 && errno == EEXIST) continue;
                created = fd >= 0;
            }
            if (fd < 0) return kIniWriteError;
            int r;
            while ((r = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
            }
            struct stat now {};
            if (r != 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return kIniWriteError;
            // The writer before us may have replaced the file while we waited.
            if (::stat(target.c_str(), &now) == 0 && now.st_dev == st.st_dev &&
                now.st_ino == st.st_ino)
                return 0;
            ::close(fd);
            fd = -1;
        }
    }

    int fd = -1;
    bool created = false;
    struct stat st {};
};

}  // namespace

unsigned long ulApplyProfileEdits(const std::string& file, const std::vector<TProfileEdit>& edits) {
    bool writes = false;
    for (const TProfileEdit& e : edits) {
        if (ulCheckEdit(e) != 0) return kIniBadName;
        writes = writes || e.eKind == TProfileEdit::EKind::Write;
    }
    if (file.empty()) return kIniBadName;
    std::string target;  // a symbolic link stays; a dangling one is not replaced by a file
    if (!qx::platform::ResolveWriteTarget(file, target)) return kIniWriteError;

    TLockedFile locked;
    const unsigned long opened = locked.ulOpen(target, writes);
    if (opened == kIniFileNotFound) return 0;  // deleting from a missing file changes nothing
    if (opened != 0) return opened;
    auto dropCreated = [&] {
        if (locked.created) ::unlink(target.c_str());
    };

    std::string bytes;
    if (!readAll(locked.fd, locked.st.st_size, bytes)) {
        dropCreated();
        return kIniWriteError;
    }
    auto profile = std::make_shared<TProfile>(std::move(bytes));
    bool changed = false;
    std::string next;
    for (const TProfileEdit& e : edits) {
        if (applyEdit(*profile, e, next)) {
            profile = std::make_shared<TProfile>(std::move(next));
            changed = true;
        }
    }
    if (!changed) {
        dropCreated();
        return 0;
    }

    const long long writeStart = coarseNow();
    struct stat written {};
    const std::string& text = profile->content();
    if (!qx::platform::ReplaceFile(target, [&](int fd) {
            return qx::platform::WriteAll(fd, text.data(), text.size()) &&
                   ::fstat(fd, &written) == 0;
        })) {
        dropCreated();
        return kIniWriteError;
    }
    cache().store(file, written, isRacy(written, writeStart), std::move(profile));
    return 0;
}

// --------------------------------------------------------------------------- the flat calls

namespace {

unsigned long copyList(const std::vector<std::string>& names, char* buffer, unsigned long size) {
    std::string list;
    for (const std::string& n : names) {
        list += n;
        list += '\0';
    }
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        if (list.empty() && size >= 2) buffer[1] = '\0';
        return static_cast<unsigned long>(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

}  // namespace

unsigned long ulGetPrivateProfileString(const char* section, const char* key, const char* def,
                                        char* buffer, unsigned long size, const char* file) {
    if (buffer == nullptr || size == 0) return 0;
    const auto profile = pReadProfile(file ? file : "");
    if (section == nullptr) return copyList(profile->sectionNames(), buffer, size);
    if (key == nullptr) return copyList(profile->keyNames(section), buffer, size);
    std::string_view text;
    if (const TProfile::TSpan* v = profile->pFindValue(section, key)) {
        text = profile->svText(*v);
    } else {
        text = def ? def : "";
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    }
    const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<unsigned long>(n);
}

unsigned long ulWritePrivateProfileString(const char* section, const char* key, const char* value,
                                          const char* file) {
    if (section == nullptr || file == nullptr) return kIniBadName;
    TProfileEdit edit;
    edit.section = section;
    if (key == nullptr) {
        edit.eKind = TProfileEdit::EKind::DeleteSection;
    } else if (value == nullptr) {
        edit.eKind = TProfileEdit::EKind::DeleteKey;
        edit.key = key;
    } else {
        edit.key = key;
        edit.value = value;
    }
    return ulApplyProfileEdits(file, {edit});
}

}  // namespace qx::detail
