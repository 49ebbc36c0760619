// TIniFilename, the store-independent operations of TQxIniFile, and TQxStdIniFile over the
// private-profile engine.
#include "qx/ini/QxIniFile.h"

#include <climits>
#include <cstring>

#include "qx/ini/PrivateProfile.h"
#include "qx/numeric/StringUtils.h"

using qx::detail::TProfileEdit;

namespace {

bool isBareName(const std::string& text) {
    if (text.find_first_of("/\\") != std::string::npos) return false;
    const bool drive = text.size() >= 2 && text[1] == ':' &&
                       ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
    return !drive;
}

std::string withPrefix(const std::string& text) {
    return isBareName(text) ? "./" + text : text;
}

// A C decimal integer conversion that saturates: leading white space, an optional sign, the
// digits up to the first other character. `digits` tells whether there were any.
long long decimal(const char* s, long long lo, long long hi, bool& digits) {
    while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
    const bool negative = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    digits = false;
    long long v = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        digits = true;
        const int d = *s - '0';
        if (!negative) {
            v = v > (hi - d) / 10 ? hi : v * 10 + d;
        } else {
            v = v < (lo + d) / 10 ? lo : v * 10 - d;
        }
    }
    return v;
}

TProfileEdit edit(TProfileEdit::EKind kind, const char* section, const char* key = "",
                  const char* value = "") {
    TProfileEdit e;
    e.eKind = kind;
    e.section = section;
    e.key = key;
    e.value = value;
    return e;
}

}  // namespace

TIniFilename::TIniFilename(const char* text)
    : std::string(text ? withPrefix(text) : std::string()) {}

TIniFilename::TIniFilename(const std::string& text) : std::string(withPrefix(text)) {}

// ------------------------------------------------------------------------------ TQxIniFile

std::string TQxIniFile::sWriteToString() const {
    std::string text;
    std::vector<std::string> sections, keys;
    vReadSections(sections);
    for (const std::string& s : sections) {
        text.append("[").append(s).append("]\r\n");
        vReadSection(s.c_str(), keys);
        for (const std::string& k : keys)
            text.append(k).append("=").append(sReadString(s.c_str(), k.c_str(), "")).append("\r\n");
        text.append("\r\n");
    }
    return text;
}

unsigned TQxIniFile::uGetStringSize() const {
    unsigned size = 1;
    std::vector<std::string> sections, keys;
    vReadSections(sections);
    for (const std::string& s : sections) {
        size += static_cast<unsigned>(s.size()) + 4 + 2;
        vReadSection(s.c_str(), keys);
        for (const std::string& k : keys)
            size +=
                static_cast<unsigned>(k.size() + sReadString(s.c_str(), k.c_str(), "").size()) + 3;
    }
    return size;
}

void TQxIniFile::vWriteToString(char* buffer) {
    if (buffer == nullptr) return;
    const std::string text = sWriteToString();
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
}

void TQxIniFile::vWriteToString(char* buffer, unsigned size) {
    if (buffer == nullptr || size == 0) return;
    const std::string text = sWriteToString();
    const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

void TQxIniFile::vDeleteSubsections(const char* prefix) {
    if (prefix == nullptr) return;
    const std::size_t n = std::strlen(prefix);
    std::vector<std::string> sections;
    vReadSections(sections);
    for (const std::string& s : sections)
        if (s.compare(0, n, prefix) == 0 && s.size() >= n) vDeleteSection(s.c_str());
}

// --------------------------------------------------------------------------- TQxStdIniFile

TQxStdIniFile::TQxStdIniFile(TIniFilename fileName) : sFileName(std::move(fileName)) {}

void TQxStdIniFile::vReadSections(std::vector<std::string>& sections) const {
    sections = qx::detail::pReadProfile(sFileName)->sectionNames();
}

bool TQxStdIniFile::bSectionExists(const char* section) const {
    if (section == nullptr) return false;
    std::vector<std::string> sections;
    vReadSections(sections);
    for (const std::string& s : sections)
        if (s == section) return true;
    return false;
}

void TQxStdIniFile::vReadSection(const char* section, std::vector<std::string>& keys) const {
    keys.clear();
    if (section == nullptr) return;
    keys = qx::detail::pReadProfile(sFileName)->keyNames(section);
}

void TQxStdIniFile::vCopySection(const TQxIniFile& source, const char* section) {
    if (section == nullptr || !source.bSectionExists(section)) return;
    std::vector<std::string> keys;
    source.vReadSection(section, keys);
    std::vector<TProfileEdit> edits;
    for (const std::string& k : keys) {
        TProfileEdit e = edit(TProfileEdit::EKind::Write, section, k.c_str());
        e.value = source.sReadString(section, k.c_str(), "");
        // A key this file cannot hold is left out rather than dropping the whole copy.
        if (qx::detail::ulCheckEdit(e) == 0) edits.push_back(std::move(e));
    }
    // One locked change: the section arrives whole or not at all.
    if (!edits.empty()) qx::detail::ulApplyProfileEdits(sFileName, edits);
}

void TQxStdIniFile::vDeleteSection(const char* section) {
    if (section == nullptr) return;
    qx::detail::ulApplyProfileEdits(sFileName, {edit(TProfileEdit::EKind::DeleteSection, section)});
}

void TQxStdIniFile::vRenameSection(const char* oldName, const char* newName) {
    if (oldName == nullptr || newName == nullptr) return;
    qx::detail::ulApplyProfileEdits(
        sFileName, {edit(TProfileEdit::EKind::RenameSection, oldName, "", newName)});
}

bool TQxStdIniFile::bValueExists(const char* section, const char* key) const {
    if (section == nullptr || key == nullptr) return false;
    std::vector<std::string> keys;
    vReadSection(section, keys);
    for (const std::string& k : keys)
        if (k == key) return true;
    return false;
}

void TQxStdIniFile::vDeleteEntry(const char* section, const char* key) {
    if (section == nullptr || key == nullptr) return;
    qx::detail::ulApplyProfileEdits(sFileName,
                                    {edit(TProfileEdit::EKind::DeleteKey, section, key)});
}

std::string TQxStdIniFile::sReadString(const char* section, const char* key,
                                       const char* def) const {
    if (section != nullptr && key != nullptr) {
        const auto profile = qx::detail::pReadProfile(sFileName);
        if (const auto* value = profile->pFindValue(section, key))
            return std::string(profile->svText(*value));
    }
    std::string text = def ? def : "";
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

bool TQxStdIniFile::bReadBool(const char* section, const char* key, bool def) const {
    bool digits = false;
    return decimal(sReadString(section, key, def ? "1" : "0").c_str(), INT_MIN, INT_MAX, digits) !=
           0;
}

double TQxStdIniFile::dReadFloat(const char* section, const char* key, double def) const {
    char text[64];
    qx::detail::printC(text, sizeof text, "%le", def);
    std::string value = sReadString(section, key, text);
    for (char& c : value)
        if (c == ',') c = '.';
    double result = 0.0;
    return qx::detail::readNumberC(value.c_str(), result) ? result : 0.0;
}

int TQxStdIniFile::iReadInteger(const char* section, const char* key, int def) const {
    char text[16];
    qx::detail::printC(text, sizeof text, "%d", def);
    bool digits = false;
    return static_cast<int>(
        decimal(sReadString(section, key, text).c_str(), INT_MIN, INT_MAX, digits));
}

long long TQxStdIniFile::iReadLongLong(const char* section, const char* key, long long def) const {
    char text[32];
    qx::detail::printC(text, sizeof text, "%lld", def);
    bool digits = false;
    const long long v =
        decimal(sReadString(section, key, text).c_str(), LLONG_MIN, LLONG_MAX, digits);
    return digits ? v : def;
}

void TQxStdIniFile::vWriteString(const char* section, const char* key, const char* value) {
    if (section == nullptr || key == nullptr) return;
    qx::detail::ulApplyProfileEdits(
        sFileName, {edit(TProfileEdit::EKind::Write, section, key, value ? value : "")});
}

void TQxStdIniFile::vWriteBool(const char* section, const char* key, bool value) {
    vWriteString(section, key, value ? "1" : "0");
}

void TQxStdIniFile::vWriteFloat(const char* section, const char* key, double value) {
    char text[64];
    qx::detail::printC(text, sizeof text, "%le", value);
    vWriteString(section, key, text);
}

void TQxStdIniFile::vWriteInteger(const char* section, const char* key, int value) {
    char text[16];
    qx::detail::printC(text, sizeof text, "%d", value);
    vWriteString(section, key, text);
}

void TQxStdIniFile::vWriteLongLong(const char* section, const char* key, long long value) {
    char text[32];
    qx::detail::printC(text, sizeof text, "%lld", value);
    vWriteString(section, key, text);
}
