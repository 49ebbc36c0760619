// Settings files in ini form: TQxIniFile, the abstract store with typed reads and writes,
// TQxStdIniFile, its implementation over one file on disk, and TIniFilename, the file-name type
// they take.
//
// A TQxStdIniFile holds nothing but the file's name. Every read goes to the file (through a
// parse cache that is checked against the file's identity, size and modification time at every
// call, so other objects' and other processes' writes are seen at once), and every write has
// changed the file on disk when it returns: written to a temporary file in the same folder,
// synced and renamed over the old one under an advisory lock, so a crash never leaves half a
// file and two processes writing different keys lose neither write. How the file is read and
// written (names without regard to case, first of duplicates wins, comments kept, CR LF
// written) is described in qx/ini/PrivateProfile.h.
//
// No operation reports an error: a missing or unreadable file reads as empty, a failed write
// is ignored (use qx::detail::ulWritePrivateProfileString in PrivateProfile.h where the outcome
// matters).
//
// Ownership: results (strings, the output vectors, the buffer of vWriteToString) belong to the
// caller. Threads: the objects hold only their immutable name, so any thread may use them; the
// shared parse cache is guarded, and writes to one file are serialised by the file lock.
#pragma once

#include <string>
#include <vector>

// The name of an ini file. Built from a text, a bare name (neither a drive nor a directory
// part; '/' and '\' both separate directories) gets the prefix "./"; any other text is kept
// as it is. Copies keep the text unchanged.
class TIniFilename : public std::string {
  public:
    TIniFilename() = default;
    TIniFilename(const char* text);         // null gives an empty name
    TIniFilename(const std::string& text);  // implicit, like the text form
    TIniFilename(const TIniFilename&) = default;
    TIniFilename(TIniFilename&&) = default;
    TIniFilename& operator=(const TIniFilename&) = default;
    TIniFilename& operator=(TIniFilename&&) = default;
};

// The abstract ini store. Names and texts are zero-terminated code page 1252 strings.
// Section and key names are matched without regard to case, except by bSectionExists and
// bValueExists, which compare exactly.
class TQxIniFile {
  public:
    virtual ~TQxIniFile() = default;

    // All section names in file order (duplicates included); out is cleared first.
    virtual void vReadSections(std::vector<std::string>& sections) const = 0;

    // The number of characters vWriteToString writes, including the closing zero.
    virtual unsigned uGetStringSize() const;
    // Renders the store as ini text: per section "[name]" CR LF, "key=value" CR LF per key and
    // one empty line, then a zero character. The buffer must hold uGetStringSize() characters
    // measured with no change to the store in between; where another process may change the
    // file, use the bounded overload or sWriteToString.
    virtual void vWriteToString(char* buffer);
    // The same, writing at most size - 1 characters and always the closing zero (size > 0).
    void vWriteToString(char* buffer, unsigned size);
    // The same text as a string (without the closing zero).
    std::string sWriteToString() const;

    // Whether a section of exactly this name (case-sensitive) exists.
    virtual bool bSectionExists(const char* section) const = 0;
    // The key names of the (first) section of that name, in file order; out is cleared first.
    virtual void vReadSection(const char* section, std::vector<std::string>& keys) const = 0;
    // Writes every key of the source's section, with its value, into the same section of this
    // store; keys this store has beyond the source's stay. Nothing happens when the source
    // has no such section (exact name). The pointer form does nothing for null.
    virtual void vCopySection(const TQxIniFile& source, const char* section) = 0;
    void vCopySection(const TQxIniFile* source, const char* section) {
        if (source) vCopySection(*source, section);
    }
    // Removes the section's header and entries (comment lines inside it stay).
    virtual void vDeleteSection(const char* section) = 0;
    // Moves every entry of the section `oldName` into `newName` (entries already there keep
    // their place; equal keys take the moved value) and removes `oldName`. Nothing happens
    // when the old section has no entries.
    virtual void vRenameSection(const char* oldName, const char* newName) = 0;
    // Deletes every section whose name begins with `prefix` (case-sensitive); an empty prefix
    // deletes all sections.
    virtual void vDeleteSubsections(const char* prefix);

    // Whether the section holds a key of exactly this name (case-sensitive).
    virtual bool bValueExists(const char* section, const char* key) const = 0;
    virtual void vDeleteEntry(const char* section, const char* key) = 0;

    // The value of the entry, or `def` (trailing spaces removed; null counts as "") when the
    // file, the section or the key is missing.
    virtual std::string sReadString(const char* section, const char* key,
                                    const char* def) const = 0;
    // Typed reads: the default goes through the text form of the write below; the text is
    // converted as a C decimal integer ("12abc" is 12, "true" is 0, no digits 0; out-of-range
    // values saturate), a 64-bit integer (no number gives the default) or a float (',' read as
    // '.', no number gives 0.0).
    virtual bool bReadBool(const char* section, const char* key, bool def) const = 0;
    virtual double dReadFloat(const char* section, const char* key, double def) const = 0;
    virtual int iReadInteger(const char* section, const char* key, int def) const = 0;
    virtual long long iReadLongLong(const char* section, const char* key, long long def) const = 0;

    // Writes (creating file, section and entry as needed). Typed writes use "%u" (0 or 1),
    // "%le" (7 significant digits, point), "%d" and "%lld". A null value writes "".
    virtual void vWriteString(const char* section, const char* key, const char* value) = 0;
    virtual void vWriteBool(const char* section, const char* key, bool value) = 0;
    virtual void vWriteFloat(const char* section, const char* key, double value) = 0;
    virtual void vWriteInteger(const char* section, const char* key, int value) = 0;
    virtual void vWriteLongLong(const char* section, const char* key, long long value) = 0;

  protected:
    TQxIniFile() = default;
    TQxIniFile(const TQxIniFile&) = default;
    TQxIniFile& operator=(const TQxIniFile&) = default;
};

// The ini store over one file. The file is not touched by the constructor and need not exist.
class TQxStdIniFile : public TQxIniFile {
  public:
    explicit TQxStdIniFile(TIniFilename fileName);
    TQxStdIniFile(const TQxStdIniFile&) = default;
    TQxStdIniFile& operator=(const TQxStdIniFile&) = default;
    ~TQxStdIniFile() override = default;

    const TIniFilename& rGetFileName() const { return sFileName; }

    using TQxIniFile::vCopySection;
    using TQxIniFile::vWriteToString;

    void vReadSections(std::vector<std::string>& sections) const override;
    bool bSectionExists(const char* section) const override;
    void vReadSection(const char* section, std::vector<std::string>& keys) const override;
    void vCopySection(const TQxIniFile& source, const char* section) override;
    void vDeleteSection(const char* section) override;
    void vRenameSection(const char* oldName, const char* newName) override;
    bool bValueExists(const char* section, const char* key) const override;
    void vDeleteEntry(const char* section, const char* key) override;

    std::string sReadString(const char* section, const char* key, const char* def) const override;
    bool bReadBool(const char* section, const char* key, bool def) const override;
    double dReadFloat(const char* section, const char* key, double def) const override;
    int iReadInteger(const char* section, const char* key, int def) const override;
    long long iReadLongLong(const char* section, const char* key, long long def) const override;

    void vWriteString(const char* section, const char* key, const char* value) override;
    void vWriteBool(const char* section, const char* key, bool value) override;
    void vWriteFloat(const char* section, const char* key, double value) override;
    void vWriteInteger(const char* section, const char* key, int value) override;
    void vWriteLongLong(const char* section, const char* key, long long value) override;

  private:
    TIniFilename sFileName;
};
