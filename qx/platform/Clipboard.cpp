#include "qx/platform/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "qx/platform/Classes.h"
#include "qx/platform/WidgetSet.h"

namespace qx::platform {

// ---------------------------------------------------------------------------- format registry

namespace {
constexpr unsigned kLastRegisteredFormat = 0xFFFF;

struct TFormatRegistry {
    std::mutex mutex;
    std::vector<std::string> names;  // identifier kFirstRegisteredFormat + index
};

TFormatRegistry& registry() {
    static TFormatRegistry r;
    return r;
}
}  // namespace

unsigned RegisterClipboardFormat(std::string_view name) {
    if (name.empty()) return 0;
    TFormatRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    for (size_t i = 0; i < r.names.size(); ++i)
        if (CompareText(r.names[i], name) == 0)
            return kFirstRegisteredFormat + static_cast<unsigned>(i);
    if (r.names.size() > kLastRegisteredFormat - kFirstRegisteredFormat) return 0;
    r.names.emplace_back(name);
    return kFirstRegisteredFormat + static_cast<unsigned>(r.names.size() - 1);
}

std::string ClipboardFormatName(unsigned format) {
    if (format < kFirstRegisteredFormat) return {};
    TFormatRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    size_t i = format - kFirstRegisteredFormat;
    return i < r.names.size() ? r.names[i] : std::string();
}

// ---------------------------------------------------------------------------- headless store

TClipboardService::~TClipboardService() = default;

namespace {
class THeadlessClipboard final : public TClipboardService {
  public:
    bool Open() override {
        std::lock_guard lock(mutex_);
        if (opens_ > 0 && owner_ != std::this_thread::get_id()) return false;
        owner_ = std::this_thread::get_id();
        ++opens_;
        return true;
    }

    bool Close() override {
        std::lock_guard lock(mutex_);
        if (!heldByCaller()) return false;
        if (--opens_ == 0) owner_ = {};
        return true;
    }

    bool Empty() override {
        std::lock_guard lock(mutex_);
        if (!heldByCaller()) return false;
        data_.clear();
        return true;
    }

    bool SetData(unsigned format, const void* data, std::size_t size) override {
        if (format == 0 || (size > 0 && !data)) return false;
        std::vector<unsigned char> bytes(static_cast<const unsigned char*>(data),
                                         static_cast<const unsigned char*>(data) + size);
        std::lock_guard lock(mutex_);
        if (!heldByCaller()) return false;
        if (auto* slot = find(format))
            *slot = std::move(bytes);
        else
            data_.emplace_back(format, std::move(bytes));
        return true;
    }

    bool HasFormat(unsigned format) override {
        std::lock_guard lock(mutex_);
        return find(format) != nullptr;
    }

    std::size_t DataSize(unsigned format) override {
        std::lock_guard lock(mutex_);
        if (!heldByCaller()) return 0;
        auto* slot = find(format);
        return slot ? slot->size() : 0;
    }

    std::size_t ReadData(unsigned format, std::size_t offset, void* out,
                         std::size_t limit) override {
        std::lock_guard lock(mutex_);
        if (!heldByCaller() || !out) return 0;
        auto* slot = find(format);
        if (!slot || offset >= slot->size()) return 0;
        std::size_t n = std::min(limit, slot->size() - offset);
        if (n > 0) std::memcpy(out, slot->data() + offset, n);
        return n;
    }

    std::vector<unsigned> Formats() override {
        std::lock_guard lock(mutex_);
        std::vector<unsigned> out;
        if (!heldByCaller()) return out;
        for (const auto& entry : data_) out.push_back(entry.first);
        return out;
    }

  private:
    bool heldByCaller() const { return opens_ > 0 && owner_ == std::this_thread::get_id(); }
    std::vector<unsigned char>* find(unsigned format) {
        for (auto& entry : data_)
            if (entry.first == format) return &entry.second;
        return nullptr;
    }

    std::mutex mutex_;
    std::thread::id owner_;
    int opens_ = 0;
    std::vector<std::pair<unsigned, std::vector<unsigned char>>> data_;
};
}  // namespace

TClipboardService& HeadlessClipboard() {
    static THeadlessClipboard store;
    return store;
}

TClipboardService& Clipboard() {
    return WidgetSet().Clipboard();
}

// ---------------------------------------------------------------------------- text transfer

bool SetClipboardText(std::string_view text) {
    TClipboardService& cb = Clipboard();
    if (!cb.Open()) return false;
    std::string bytes(text);
    bool ok = cb.Empty() && cb.SetData(CF_TEXT, bytes.c_str(), bytes.size() + 1);
    cb.Close();
    return ok;
}

std::string GetClipboardText() {
    TClipboardService& cb = Clipboard();
    if (!cb.Open()) return {};
    std::string text(cb.DataSize(CF_TEXT), '\0');
    text.resize(cb.ReadData(CF_TEXT, 0, text.data(), text.size()));
    cb.Close();
    return text.substr(0, text.find('\0'));
}

}  // namespace qx::platform
