#include "qx/translator/Translator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "qx/error/Language.h"
#include "qx/error/Qxexception.h"
#include "qx/platform/Files.h"
#include "qx/platform/WidgetSet.h"

namespace {

constexpr const char* kPromptCaption =
    "Bitte \xDC"
    "bersetzung angeben f\xFC"
    "r:";

// Reads a whole file. False when it cannot be opened or read, or is neither a regular file nor
// a pipe (a folder; a device such as /dev/zero, which would never end).
bool readWhole(const char* name, std::string& out) {
    int fd = ::open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode));
    out.clear();
    char buf[64 * 1024];
    while (ok) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return ok;
}

// Lines of a dictionary text, split at LF. A last line without LF counts when it is not empty.
// Until the first entry start line is met, lines are taken as they are; that line decides
// whether the file has CR LF line ends, and in that case one CR is removed from every later
// line.
class TLineReader {
  public:
    explicit TLineReader(std::string_view text) : text_(text) {}

    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        size_t lf = text_.find('\n', pos_);
        if (lf == std::string_view::npos) lf = text_.size();
        line = text_.substr(pos_, lf - pos_);
        pos_ = lf + 1;
        if (crlf_ && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }

    // Whether `line` (as next() returned it) is an entry start line.
    bool isEntryStart(std::string_view line) {
        const std::string_view start = TTranslator::cpEntryStart;
        if (modeKnown_) return line == start;
        if (line == start) {
            modeKnown_ = true;
            return true;
        }
        if (line.size() == start.size() + 1 && line.back() == '\r' &&
            line.substr(0, start.size()) == start) {
            modeKnown_ = crlf_ = true;
            return true;
        }
        return false;
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
    bool modeKnown_ = false;
    bool crlf_ = false;
};

// Lines up to the separator `end` (or the end of the text), joined with line feeds.
std::string readTextUntil(TLineReader& reader, std::string_view end) {
    std::string text;
    std::string_view line;
    bool first = true;
    while (reader.next(line) && line != end) {
        if (!first) text += '\n';
        text.append(line);
        first = false;
    }
    return text;
}

bool lessGerman(const TTranslator::TItem& a, const TTranslator::TItem& b) {
    return a.sDeutsch < b.sDeutsch;  // char_traits<char> compares bytes as unsigned
}

// Copies at most size - 1 characters of `src` and terminates; `dst` may overlap `src`.
void copyCut(char* dst, const char* src, int size) {
    size_t n = ::strnlen(src, static_cast<size_t>(size - 1));
    std::memmove(dst, src, n);
    dst[n] = '\0';
}

}  // namespace

void TTranslator::vReadFile(const char* name) {
    std::string content;
    if (!name || !readWhole(name, content)) return;
    vReadText(content);
}

void TTranslator::vReadText(std::string_view text) {
    std::vector<TItem> items;
    TLineReader reader(text);
    std::string_view line;
    for (;;) {
        bool started = false;
        while (!started && reader.next(line)) started = reader.isEntryStart(line);
        if (!started) break;
        std::string german = readTextUntil(reader, cpGermanEnd);
        std::string english = readTextUntil(reader, cpEnglishEnd);
        if (!german.empty()) items.push_back({std::move(german), std::move(english)});
    }
    std::stable_sort(items.begin(), items.end(), lessGerman);
    entries_ = std::move(items);
    bChanged = false;
}

std::string TTranslator::asGetText() const {
    std::string out;
    for (const TItem& item : entries_) {
        out.append(cpEntryStart).append("\n");
        out.append(item.sDeutsch).append("\n");
        out.append(cpGermanEnd).append("\n");
        out.append(item.sEnglisch).append("\n");
        out.append(cpEnglishEnd).append("\n");
    }
    return out;
}

void TTranslator::vWriteFile(const char* name) {
    if (!name || !*name) return;
    if (qx::platform::WriteFileAtomically(name, asGetText())) bChanged = false;
}

void TTranslator::vAddFile(const char* name) {
    std::string content;
    if (!name || !readWhole(name, content)) return;
    std::string_view rest = content;
    char scratch[1024];
    while (!rest.empty()) {
        size_t lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);

        size_t at = line.find("translate");
        if (at == std::string_view::npos) continue;
        size_t paren = line.find('(', at);
        if (paren == std::string_view::npos) continue;
        size_t open = line.find('"', paren);
        if (open == std::string_view::npos) continue;
        size_t close = line.rfind('"');
        if (close <= open + 1) continue;  // one quote only, or nothing between the quotes
        std::string text(line.substr(open + 1, close - open - 1));
        vTranslate(text.c_str(), scratch, static_cast<int>(sizeof scratch));
    }
}

int TTranslator::iLearn(const char* text) {
    int i = iFind(text);
    if (i == -1 && bLearnMode) {
        vInsert(text);
        i = iFind(text);
        bChanged = true;
    }
    return i;
}

void TTranslator::vTranslate(const char* text, char* buffer, int size) {
    if (!text || !buffer || size < 1) return;
    switch (TLanguage::eGetAktLanguage()) {
        case TLanguage::eDeutsch:
            copyCut(buffer, text, size);
            // When buffer is text, learning sees the text as cut.
            if (TProgramUser::eGetUser() == 0) iLearn(text);
            break;
        case TLanguage::eEnglisch: {
            int i = iLearn(text);
            if (i >= 0) copyCut(buffer, entries_[static_cast<size_t>(i)].sEnglisch.c_str(), size);
            break;
        }
        default:
            break;
    }
}

void TTranslator::vTranslate(const char* text, std::string& result) {
    if (!text) return;
    switch (TLanguage::eGetAktLanguage()) {
        case TLanguage::eDeutsch:
            result = text;
            break;
        case TLanguage::eEnglisch: {
            int i = iLearn(text);
            if (i >= 0) result = entries_[static_cast<size_t>(i)].sEnglisch;
            break;
        }
        default:
            break;
    }
}

int TTranslator::iFind(const char* text) const {
    if (!text) return -1;
    // The entries are always sorted, so the first equal entry is the lower bound.
    const std::string_view key = text;
    auto it =
        std::lower_bound(entries_.begin(), entries_.end(), key,
                         [](const TItem& item, std::string_view k) { return item.sDeutsch < k; });
    if (it == entries_.end() || it->sDeutsch != key) return -1;
    return static_cast<int>(it - entries_.begin());
}

void TTranslator::vInsert(const char* text) {
    if (!text) return;
    try {
        std::string value = text;
        if (!InputQuery(kPromptCaption, ">>" + value + "<<", value)) return;
        TItem item{text, std::move(value)};
        // After the equal texts already present, as appending and sorting stably would.
        auto at = std::upper_bound(entries_.begin(), entries_.end(), item, lessGerman);
        entries_.insert(at, std::move(item));
    } catch (...) {
        QX_PASS();
    }
}

void TTranslator::vSort() {
    std::stable_sort(entries_.begin(), entries_.end(), lessGerman);
}
