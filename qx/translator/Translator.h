// TTranslator: a dictionary from German texts to English texts, kept in a text file, that can
// learn missing texts by asking the user.
//
// Which way vTranslate works follows the process-wide language (TLanguage): while German is
// current it hands back the German text, while English is current the English one. In learn
// mode a text missing from the dictionary is added on the spot through an input prompt of the
// widget set (vInsert); in German mode that happens only for program user 0 (TProgramUser).
//
// Dictionary file: a sequence of entries, each
//     #-------------------------------      entry start (cpEntryStart)
//     German text, one or more lines
//     #                                     German end (cpGermanEnd)
//     English text, zero or more lines
//     ##                                    English end (cpEnglishEnd)
// Text outside entries is ignored. Separator lines match whole lines exactly. Files are
// written with LF line ends; a file whose first entry start line ends in CR LF (written on
// another platform) is read with one CR removed from the end of every line.
//
// Threads: none. A dictionary belongs to one thread; in learn mode, to the thread that owns
// the windows, since learning shows a modal prompt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TTranslator {
  public:
    // One entry: the German text (the key, never empty once read) and its translation.
    struct TItem {
        std::string sDeutsch;
        std::string sEnglisch;
    };

    // The separator lines of the file format.
    static constexpr const char* cpEntryStart = "#-------------------------------";
    static constexpr const char* cpGermanEnd = "#";
    static constexpr const char* cpEnglishEnd = "##";

    // Empty dictionary, learn mode on, not changed.
    TTranslator() = default;

    // Replaces the dictionary by the entries of the file, sorted; entries whose German text is
    // empty are dropped, duplicates kept. A file that cannot be opened or read, or that is
    // neither a regular file nor a pipe, changes nothing. Clears bChanged on success.
    void vReadFile(const char* name);
    // The same for a file's content held in memory.
    void vReadText(std::string_view text);
    // Writes all entries in order. The file is replaced whole (temporary file and rename), so a
    // failed write leaves the previous file intact; then bChanged stays set. Clears bChanged on
    // success. A link is followed, a file that may not be written is left alone, a pipe or
    // device is written into (qx::platform::ReplaceFile).
    void vWriteFile(const char* name);
    // The file form of the entries, as vWriteFile writes it.
    std::string asGetText() const;
    // Scans a source file: on each line, the text between the first double quote after the
    // first "(" that follows "translate" and the last double quote of the line (verbatim, at
    // least one character) goes through vTranslate. A file that cannot be opened is ignored.
    void vAddFile(const char* name);

    void vSetLearnMode(bool on) { bLearnMode = on; }

    // German current: copies `text` into `buffer` (at most size - 1 characters, terminated;
    // `buffer` may be `text` itself) and, for program user 0 only, learns a missing text.
    // English current: learns a missing text, then copies its English text (cut the same way)
    // if the text is known; otherwise `buffer` is left unchanged. Nothing happens for a null
    // text or buffer or a size below 1.
    void vTranslate(const char* text, char* buffer, int size);
    // German current: `result` = `text` (never learns). English current: learns a missing text,
    // then `result` = its English text if known, else `result` is left unchanged.
    void vTranslate(const char* text, std::string& result);

    // Index of the first entry whose German text equals `text` byte for byte, or -1.
    int iFind(const char* text) const;
    // Asks for a translation of `text` through the widget set's input prompt (caption
    // "Bitte Übersetzung angeben für:", prompt ">>text<<", edit field starting with
    // `text`). On OK adds the entry in sorted position, even if `text` is already present;
    // on Cancel adds nothing. Errors travel as thrown codes with a trace entry (qx::error).
    void vInsert(const char* text);
    // Sorts the entries by German text, bytes compared unsigned, a prefix first.
    void vSort();

    int iGetCount() const { return static_cast<int>(entries_.size()); }
    // Entry `i` (0 <= i < iGetCount()).
    const TItem& rGetItem(int i) const { return entries_.at(static_cast<size_t>(i)); }

    // Whether missing texts are learned by asking the user.
    bool bLearnMode = true;
    // Set when a text went through learning (even when the user cancelled); cleared by a
    // successful read or write.
    bool bChanged = false;

  private:
    int iLearn(const char* text);
    std::vector<TItem> entries_;
};
