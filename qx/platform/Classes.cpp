#include "qx/platform/Classes.h"

#include <algorithm>

TObject::~TObject() = default;

// ---------------------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    // Children remove themselves from components_ as they go.
    while (!components_.empty()) delete components_.back();
    if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (qx::platform::CompareText(c->Name(), name) == 0) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this) return;
    if (component->owner_) component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end()) return;
    components_.erase(it);
    component->owner_ = nullptr;
}

// ---------------------------------------------------------------------------- text compare

namespace qx::platform {

unsigned char UpperCase1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 16);  // š œ ž
    if (c == 0xFF) return 0x9F;                                                          // ÿ
    return c;
}

int CompareText(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = UpperCase1252(static_cast<unsigned char>(a[i]));
        int cb = UpperCase1252(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca - cb;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace qx::platform

// ---------------------------------------------------------------------------- TStringList

void TStringList::checkIndex(int index) const {
    if (index < 0 || index >= Count())
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

const AnsiString& TStringList::Strings(int index) const {
    checkIndex(index);
    return items_[static_cast<size_t>(index)].s;
}

void TStringList::SetStrings(int index, AnsiString s) {
    checkIndex(index);
    if (sorted_) throw Exception("Operation not allowed on sorted list");
    items_[static_cast<size_t>(index)].s = std::move(s);
}

TObject* TStringList::Objects(int index) const {
    checkIndex(index);
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::SetObjects(int index, TObject* object) {
    checkIndex(index);
    items_[static_cast<size_t>(index)].object = object;
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    if (caseSensitive_) return a.compare(b);
    return qx::platform::CompareText(a, b);
}

int TStringList::AddObject(AnsiString s, TObject* object) {
    int index = Count();
    if (sorted_ && Find(s, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw Exception("String list does not allow duplicates");
    }
    items_.insert(items_.begin() + index, Item{std::move(s), object});
    return index;
}

void TStringList::Insert(int index, AnsiString s) {
    if (sorted_) throw Exception("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    items_.insert(items_.begin() + index, Item{std::move(s), nullptr});
}

void TStringList::Delete(int index) {
    checkIndex(index);
    items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(std::string_view s) const {
    int index = 0;
    if (sorted_) return Find(s, index) ? index : -1;
    for (size_t i = 0; i < items_.size(); ++i)
        if (CompareStrings(items_[i].s, s) == 0) return static_cast<int>(i);
    return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].object == object) return static_cast<int>(i);
    return -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
    if (!sorted_) {
        index = IndexOf(s);
        if (index >= 0) return true;
        index = Count();
        return false;
    }
    // Lower bound, so that with dupAccept the first of equal strings is found.
    int lo = 0, hi = Count();
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (CompareStrings(items_[static_cast<size_t>(mid)].s, s) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    return lo < Count() && CompareStrings(items_[static_cast<size_t>(lo)].s, s) == 0;
}

void TStringList::Sort() {
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.s, b.s) < 0; });
}

void TStringList::SetSorted(bool sorted) {
    if (sorted && !sorted_) Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool cs) {
    caseSensitive_ = cs;
    if (sorted_) Sort();
}

AnsiString TStringList::Text() const {
    AnsiString out;
    for (const Item& it : items_) {
        out += it.s;
        out += '\n';
    }
    return out;
}

void TStringList::SetText(std::string_view text) {
    Clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        AddObject(AnsiString(text.substr(start, end - start)), nullptr);
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}
