#include "qx/clipboard/QxClipboard.h"

#include <algorithm>
#include <climits>
#include <cstdint>

using qx::platform::TClipboardService;

const char* const TQxClipboard::cpCommonFormat[17] = {
    "",        "CF_TEXT",        "CF_BITMAP",      "CF_METAFILEPICT", "CF_SYLK",    "CF_DIF",
    "CF_TIFF", "CF_OEMTEXT",     "CF_DIB",         "CF_PALETTE",      "CF_PENDATA", "CF_RIFF",
    "CF_WAVE", "CF_UNICODETEXT", "CF_ENHMETAFILE", "CF_HDROP",        "CF_LOCALE",
};

namespace {
unsigned registered(const char* name) {
    return name ? qx::platform::RegisterClipboardFormat(name) : 0;
}
}  // namespace

bool TQxClipboard::open() {
    if (service_) return true;
    TClipboardService& cb = qx::platform::Clipboard();
    if (!cb.Open()) return false;
    service_ = &cb;
    return true;
}

void TQxClipboard::close() {
    if (service_) service_->Close();
    service_ = nullptr;
}

TQxClipboard::TQxClipboard(const char* name) {
    if (!open()) return;
    uFormat = registered(name);
    if (uFormat == 0) close();
}

TQxClipboard::TQxClipboard(unsigned format) {
    if (!open()) return;
    uFormat = format;
    if (uFormat == 0) close();
}

TQxClipboard::~TQxClipboard() {
    close();
}

bool TQxClipboard::bChangeFormat(const char* name) {
    return bChangeFormat(registered(name));
}

bool TQxClipboard::bChangeFormat(unsigned format) {
    uFormat = format;
    if (uFormat == 0) {
        close();
        return false;
    }
    // An object closed by an earlier change to 0 opens the clipboard again before it reports
    // itself usable.
    if (!open()) uFormat = 0;
    return uFormat != 0;
}

void TQxClipboard::vClear() {
    if (uFormat != 0) service_->Empty();
}

bool TQxClipboard::bSet(const void* data, unsigned size) {
    if (uFormat == 0 || !data || size == 0) return false;
    return service_->SetData(uFormat, data, size);
}

unsigned TQxClipboard::size() {
    if (uFormat == 0) return 0;
    return static_cast<unsigned>(std::min<std::size_t>(service_->DataSize(uFormat), UINT_MAX));
}

unsigned TQxClipboard::uGet(void* out, unsigned limit) {
    return uGetFromOffset(0, out, limit);
}

unsigned TQxClipboard::uGetFromOffset(unsigned offset, void* out, unsigned limit) {
    if (uFormat == 0 || !out) return 0;
    // In 64 bits: offset + limit must not wrap around to a small end.
    const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{offset} + limit, size());
    if (end <= offset) return 0;
    return static_cast<unsigned>(service_->ReadData(uFormat, offset, out, end - offset));
}

void TQxClipboard::vGetClipboardFormats(std::vector<std::string>& names) {
    names.clear();
    TClipboardService& cb = qx::platform::Clipboard();
    if (!cb.Open()) return;
    for (unsigned format : cb.Formats()) {
        std::string name = qx::platform::ClipboardFormatName(format);
        if (name.size() > 260) name.resize(260);
        if (name.empty() && format >= 1 && format <= 16) name = cpCommonFormat[format];
        names.push_back(std::move(name));
    }
    cb.Close();
}
