// The clipboard service: raw bytes per format identifier.
//
// A format is a number. The standard formats keep their numbers (CF_TEXT = 1: code page 1252
// text); any other format is a name registered with RegisterClipboardFormat, which maps it to
// an identifier from 0xC000 up that stays the same for the life of the process. The service
// itself is an interface: the widget set supplies it (TWidgetSet::Clipboard). The headless
// widget set uses an in-process store; a toolkit backend maps it onto the system clipboard.
//
// Threads: the format registry and the headless store may be used from any thread. Like the
// system clipboard, the store is held open by one thread at a time: Open from another thread
// fails until the holder closes it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Standard format: code page 1252 text, NUL-terminated as the framework's text transfer puts it.
constexpr unsigned CF_TEXT = 1;

namespace qx::platform {

// First identifier handed out for a registered name; identifiers run up to 0xFFFF.
constexpr unsigned kFirstRegisteredFormat = 0xC000;

// The identifier registered for `name`, registering it on first use. Names are compared
// without regard to case (code page 1252). 0 for an empty name or when all identifiers are
// taken.
unsigned RegisterClipboardFormat(std::string_view name);
// The name an identifier was registered with (as first spelled); empty for any other value.
std::string ClipboardFormatName(unsigned format);

// One clipboard: Open, then read or write raw bytes per format, then Close. Every operation
// but Open and HasFormat needs the clipboard open by the calling thread and fails (false, 0,
// nothing) otherwise.
class TClipboardService {
  public:
    virtual ~TClipboardService();
    // Opens for the calling thread; false while another thread holds it open. Opens from the
    // holding thread nest: each needs its Close.
    virtual bool Open() = 0;
    // Ends one Open of the calling thread; false when it holds no open.
    virtual bool Close() = 0;
    // Removes every format.
    virtual bool Empty() = 0;
    // Puts a copy of `size` bytes under `format` (0 is no format), replacing what that format
    // held. The other formats stay.
    virtual bool SetData(unsigned format, const void* data, std::size_t size) = 0;
    // Whether `format` holds data; works without opening.
    virtual bool HasFormat(unsigned format) = 0;
    // Bytes held under `format`; 0 when it holds none.
    virtual std::size_t DataSize(unsigned format) = 0;
    // Copies up to `limit` bytes of `format`'s data from `offset` into `out`; returns the count.
    virtual std::size_t ReadData(unsigned format, std::size_t offset, void* out,
                                 std::size_t limit) = 0;
    // The formats holding data, in the order they were first put there.
    virtual std::vector<unsigned> Formats() = 0;
};

// The headless store (process-wide), used by the headless widget set.
TClipboardService& HeadlessClipboard();
// The clipboard of the current widget set.
TClipboardService& Clipboard();

// The framework's plain-text transfer: empties the clipboard and puts `text` there as CF_TEXT
// (with its NUL). False when the clipboard is held by another thread.
bool SetClipboardText(std::string_view text);
// The CF_TEXT data up to its first NUL; empty when there is none or the clipboard is held by
// another thread.
std::string GetClipboardText();

}  // namespace qx::platform
