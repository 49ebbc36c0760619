// The framework's object model: TObject, the owner tree of TComponent, and TStringList.
//
// None of these classes is synchronised; they belong to one thread at a time (normally the
// thread that owns the application's windows).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "qx/platform/SysUtils.h"

// Root of the framework's class tree: a virtual destructor, so objects can be deleted and
// held through a base pointer.
class TObject {
  public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject();
};

// A component with an owner. The owner deletes the components it owns when it is destroyed;
// a component deleted earlier takes itself out of its owner's list first. Create owned
// components with `new T(owner)`: ownership passes to the owner at construction.
class TComponent : public TObject {
  public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    // The owned component named `name` (case-insensitive), or null.
    TComponent* FindComponent(std::string_view name) const;

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    const AnsiString& Name() const { return name_; }
    void SetName(AnsiString name) { name_ = std::move(name); }
    std::intptr_t Tag() const { return tag_; }
    void SetTag(std::intptr_t tag) { tag_ = tag; }

  private:
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    AnsiString name_;
    std::intptr_t tag_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// A list of strings, each with an associated object pointer that the list does not own.
// Compares without regard to case by default (ASCII and code page 1252 letters). When
// Sorted, Add inserts in order and duplicates follow Duplicates (dupIgnore by default:
// adding an existing string returns its index and changes nothing; dupError throws
// Exception). Index arguments out of range throw Exception.
class TStringList : public TObject {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    const AnsiString& Strings(int index) const;
    const AnsiString& operator[](int index) const { return Strings(index); }
    void SetStrings(int index, AnsiString s);  // not allowed on a sorted list
    TObject* Objects(int index) const;
    void SetObjects(int index, TObject* object);

    int Add(AnsiString s) { return AddObject(std::move(s), nullptr); }
    int AddObject(AnsiString s, TObject* object);
    void Insert(int index, AnsiString s);  // not allowed on a sorted list
    void Delete(int index);
    void Clear() { items_.clear(); }

    int IndexOf(std::string_view s) const;
    int IndexOfObject(const TObject* object) const;
    // On a sorted list: binary search. Returns whether `s` is present; `index` receives its
    // position, or the position where it would be inserted. Unsorted lists search linearly.
    bool Find(std::string_view s, int& index) const;

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool cs);
    void Sort();

    // The strings joined with line feeds (each line ends in "\n"); SetText splits at LF,
    // CR LF or CR.
    AnsiString Text() const;
    void SetText(std::string_view text);

    // <0, 0, >0 as the list compares two strings.
    int CompareStrings(std::string_view a, std::string_view b) const;

  private:
    struct Item {
        AnsiString s;
        TObject* object;
    };
    void checkIndex(int index) const;
    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
};

namespace qx::platform {
// Compares two code page 1252 texts without regard to case (<0, 0, >0).
int CompareText(std::string_view a, std::string_view b);
// Upper-case of a code page 1252 character.
unsigned char UpperCase1252(unsigned char c);
}  // namespace qx::platform
