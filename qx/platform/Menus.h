// Popup menus and menu items.
//
// A menu item owns its sub-items: deleting an item deletes them. Items may also have a
// TComponent owner, which deletes them with itself; either way each item is deleted once.
// Threads: the thread that owns the windows.
#pragma once

#include <vector>

#include "qx/platform/Controls.h"

class TMenuItem : public TComponent {
  public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& c) { caption_ = c; }
    bool IsLine() const { return caption_ == "-"; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    bool Checked() const { return checked_; }
    void SetChecked(bool v) { checked_ = v; }
    unsigned char GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(unsigned char g) { groupIndex_ = g; }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int i) const { return items_.at(static_cast<size_t>(i)); }
    TMenuItem* operator[](int i) const { return Items(i); }
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out without deleting it.
    void Remove(TMenuItem* item);
    // Deletes the item at index.
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    // The first sub-item with this caption, or null.
    TMenuItem* Find(const AnsiString& caption) const;

    // Raises OnClick (also for disabled items: the caller decides whether to click).
    void Click();
    TNotifyEvent OnClick;

  private:
    AnsiString caption_;
    bool visible_ = true, enabled_ = true, checked_ = false;
    unsigned char groupIndex_ = 0;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
};

// A menu opened at a screen point. Popup raises OnPopup (where owners adjust the items), lets
// the widget set show the menu, and clicks the item chosen, if any.
class TPopupMenu : public TComponent {
  public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;
    TMenuItem* Items() const { return items_; }
    void Popup(int x, int y);
    // The control whose right click opened the menu.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* c) { popupComponent_ = c; }
    TNotifyEvent OnPopup;

  private:
    TMenuItem* items_;
    TComponent* popupComponent_ = nullptr;
};
