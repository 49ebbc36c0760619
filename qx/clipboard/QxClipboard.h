// TQxClipboard: raw bytes of one clipboard format in or out, for the span of one transfer.
//
// Create it on the stack: construction opens the clipboard (the current widget set's), the
// destructor closes it. The format is a standard identifier (CF_TEXT = 1) or a name that is
// registered on first use and keeps its identifier for the process. An object whose format is
// 0 is unusable (the clipboard could not be opened, or no identifier was obtained): its
// transfers do nothing and return false or 0.
//
// Writing: construct, vClear once, bSet per format (bChangeFormat between them), destroy.
// Reading: construct, size, uGet or uGetFromOffset, destroy.
//
// Threads: one object at a time, on the thread that owns the windows; while it is alive other
// threads cannot open the clipboard.
#pragma once

#include <string>
#include <vector>

#include "qx/platform/Clipboard.h"

class TQxClipboard {
  public:
    // Names of the standard formats 0 to 16: "", "CF_TEXT", ..., "CF_LOCALE".
    static const char* const cpCommonFormat[17];

    // Opens the clipboard for the format registered under `name`. Unusable when the clipboard
    // cannot be opened; when no identifier is obtained (null or empty name) the clipboard is
    // closed again.
    explicit TQxClipboard(const char* name);
    // Opens the clipboard for `format`; 0 closes it again.
    explicit TQxClipboard(unsigned format);
    explicit TQxClipboard(int format) : TQxClipboard(static_cast<unsigned>(format)) {}
    // Closes the clipboard when it is open.
    ~TQxClipboard();
    TQxClipboard(const TQxClipboard&) = delete;
    TQxClipboard& operator=(const TQxClipboard&) = delete;

    // Switches to the format registered under `name` / to `format`. A format of 0 closes the
    // clipboard; another one reopens it if it was closed. True when the object is usable.
    bool bChangeFormat(const char* name);
    bool bChangeFormat(unsigned format);
    bool bChangeFormat(int format) { return bChangeFormat(static_cast<unsigned>(format)); }

    // The current format; 0 when unusable.
    unsigned uGetFormat() const { return uFormat; }

    // Empties the clipboard (every format).
    void vClear();
    // Puts a copy of `size` bytes on the clipboard under the current format. False when
    // unusable, for null data or a size of 0, or when the clipboard refused them.
    bool bSet(const void* data, unsigned size);
    // Bytes held under the current format; 0 when none (or unusable).
    unsigned size();
    // Copies min(size(), limit) bytes into `out`; returns the count.
    unsigned uGet(void* out, unsigned limit);
    // Copies the bytes from `offset` up to offset + limit (or the end of the data) into `out`;
    // returns the count, 0 when offset is at or past the end.
    unsigned uGetFromOffset(unsigned offset, void* out, unsigned limit);

    // The names of the formats on the clipboard in the platform's order: the registered name
    // (at most 260 characters), the cpCommonFormat name for a standard identifier, else "".
    // Empty when the clipboard cannot be opened.
    static void vGetClipboardFormats(std::vector<std::string>& names);

  private:
    bool open();
    void close();

    unsigned uFormat = 0;
    qx::platform::TClipboardService* service_ = nullptr;  // set while open
};
