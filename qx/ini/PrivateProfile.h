// The private-profile engine under TQxStdIniFile: reading and changing ini files.
//
// Reading. Lines end at CR LF, LF or CR. A line whose first non-blank character (blank: space,
// tab, VT) is '[' opens a section named by the text up to the first ']' (or the line's end),
// blanks trimmed; a line starting with ';' is a comment; any other line with '=' is an entry
// whose key and value are the texts around the first '=' with white space (blanks, CR, LF,
// 0x1A) trimmed, and one pair of equal outer quotes (" or ') removed from a value of two or
// more characters. Other lines and lines before the first section are kept but unreachable.
// Names match without regard to ASCII case; name arguments lose leading and trailing spaces;
// the first section of a name and the first entry of a key in it win; listings return every
// occurrence in file order.
//
// Writing. A value is replaced in place (the file's spelling of the names and every other byte
// stay); a new key goes after the last entry of the first section of that name; a new section
// is appended to the file, created when missing, as "[S]" CR LF "K=V" CR LF. Deleting removes
// the entry line, or the section's header and entry lines. A name or value that cannot be read
// back as written (a line break in it, a key with '=' or starting with '[' or ';', a section
// name with ']', white space other than spaces at a name's ends) is refused and changes nothing.
//
// Files. A change is one read-modify-write under an exclusive flock(2) on the file itself
// (re-checked after locking, since every write replaces the file): the new text goes into a
// temporary file in the same folder, which takes the old file's mode (and owner, where
// allowed), is fsync'ed and renamed over the file; the folder is fsync'ed. A symbolic link is
// followed, so the link stays. Reads take a process-wide cache of parsed files, checked at
// every call against the file's device, inode, size and nanosecond modification time; a file
// modified within the current clock tick of the file system is read again at the next call,
// so a change of the same size in the same tick is not missed.
//
// Threads: every function may be called from any thread; the cache is guarded by a mutex and
// parsed files are immutable once shared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qx::detail {

// Codes of the failures the engine reports (program part "ini file").
inline constexpr unsigned long kIniFileNotFound = 0xE3114001UL;  // the file does not exist
inline constexpr unsigned long kIniReadError = 0xE3314002UL;     // exists but cannot be read
inline constexpr unsigned long kIniWriteError = 0xE3614003UL;    // cannot be written or replaced
inline constexpr unsigned long kIniBadName = 0xE5114004UL;  // a name or value that cannot be stored
inline constexpr unsigned long kIniNotFound = 0xE0914005UL;  // no such section or key

// One parsed file: its bytes and where its lines, sections and entries lie. Immutable.
class TProfile {
  public:
    struct TSpan {
        std::size_t pos = 0;
        std::size_t len = 0;
    };
    struct TLine {
        std::size_t begin;  // first byte
        std::size_t end;    // end of the content (start of the line end)
        std::size_t next;   // start of the next line (end + 0, 1 or 2)
    };
    struct TEntry {
        TSpan key;
        TSpan value;       // without the removed quotes
        TSpan raw;         // the value as it stands in the file (trimmed, quotes kept)
        std::size_t eq;    // offset of the '='
        std::size_t line;  // index into lines
        std::uint32_t hash;
    };
    struct TSection {
        TSpan name;
        std::size_t line;  // header line
        std::size_t firstEntry;
        std::size_t entryCount;
        std::uint32_t hash;
    };

    TProfile() = default;
    explicit TProfile(std::string bytes);

    const std::string& content() const { return bytes_; }
    const std::vector<TLine>& rLines() const { return lines_; }
    const std::vector<TSection>& rSections() const { return sections_; }
    const std::vector<TEntry>& rEntries() const { return entries_; }
    std::string_view svText(TSpan s) const { return std::string_view(bytes_).substr(s.pos, s.len); }

    // Index of the first section of that name (argument rules apply), or -1.
    long findSection(std::string_view name) const;
    // Index into rEntries() of the first entry of that key in section `section`, or -1.
    long findEntry(long section, std::string_view key) const;
    // The value of section/key, or null when either is missing. Valid while this lives.
    const TSpan* pFindValue(std::string_view section, std::string_view key) const;

    std::vector<std::string> sectionNames() const;
    // Key names of the first section of that name; empty when there is none.
    std::vector<std::string> keyNames(std::string_view section) const;

  private:
    std::string bytes_;
    std::vector<TLine> lines_;
    std::vector<TSection> sections_;
    std::vector<TEntry> entries_;
};

// Trims leading and trailing spaces (0x20 only), as name arguments are.
std::string_view svTrimArgument(std::string_view name);
// Case-insensitive (ASCII) hash and equality, as names are matched.
std::uint32_t nameHash(std::string_view name);
bool namesEqual(std::string_view a, std::string_view b);

// One change of a file.
struct TProfileEdit {
    enum class EKind {
        Write,          // section, key, value
        DeleteKey,      // section, key
        DeleteSection,  // section
        RenameSection,  // section (old name), value (new name)
    };
    EKind eKind = EKind::Write;
    std::string section;
    std::string key;
    std::string value;
};

// 0, or kIniBadName when the edit's names or value cannot be stored (see the header comment).
unsigned long ulCheckEdit(const TProfileEdit& edit);
// Applies one checked edit to a parsed file. False (and `out` untouched) when nothing changes.
bool applyEdit(const TProfile& profile, const TProfileEdit& edit, std::string& out);

// The parsed file (cached). A missing or unreadable file gives an empty profile; `error`,
// when given, receives 0, kIniFileNotFound or kIniReadError. Never null.
std::shared_ptr<const TProfile> pReadProfile(const std::string& file,
                                             unsigned long* error = nullptr);
// Applies the edits in order as one locked, durable, atomic change of the file. Nothing is
// written when no edit changes anything; a missing file is created only when some edit
// writes. Returns 0, kIniBadName (nothing changed) or kIniWriteError (the file unchanged).
unsigned long ulApplyProfileEdits(const std::string& file, const std::vector<TProfileEdit>& edits);
// Drops every cached parse (tests and benchmarks).
void clearProfileCache();

// The two flat calls: read a value or a name list into a buffer; write or delete.
//
// Reads into buffer (size characters): with section null the section names, with key null
// the key names of the section, each ended by a zero and the list by a second zero; otherwise
// the value, or `def` (trailing spaces removed, null as "") when file, section or key is
// missing. Returns the characters written without the final zero; a value cut to fit returns
// size - 1, a cut list size - 2 (ending in two zeros).
unsigned long ulGetPrivateProfileString(const char* section, const char* key, const char* def,
                                        char* buffer, unsigned long size, const char* file);
// Writes value under section/key; a null value deletes the key, a null key the section.
// Returns 0 or one of the codes above.
unsigned long ulWritePrivateProfileString(const char* section, const char* key, const char* value,
                                          const char* file);

}  // namespace qx::detail
