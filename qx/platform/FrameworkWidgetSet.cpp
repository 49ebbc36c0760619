// The widget set's part for the component framework: peers, modal forms, popup menus, file
// dialogs and the screen, with the headless answers through the responder.
#include <string_view>

#include "qx/platform/Dialogs.h"
#include "qx/platform/Forms.h"
#include "qx/platform/Menus.h"
#include "qx/platform/WidgetSet.h"

namespace qx::platform {

namespace {
std::string menuText(const TMenuItem& item, const std::string& indent) {
    std::string out;
    for (int i = 0; i < item.Count(); ++i) {
        const TMenuItem* sub = item.Items(i);
        if (!sub->Visible()) continue;
        out += indent + sub->Caption() + (sub->Enabled() ? "" : " (disabled)") + "\n";
        out += menuText(*sub, indent + "  ");
    }
    return out;
}

// The first shown sub-item with this caption: a person picks among the items the menu shows.
TMenuItem* shownItem(const TMenuItem& item, std::string_view caption) {
    for (int i = 0; i < item.Count(); ++i)
        if (item.Items(i)->Visible() && item.Items(i)->Caption() == caption) return item.Items(i);
    return nullptr;
}
}  // namespace

std::unique_ptr<TControlPeer> TWidgetSet::CreatePeer(TControl&) {
    return nullptr;
}
void TWidgetSet::ProcessModal(TCustomForm& form) {
    form.HeadlessDefault();
}
void TWidgetSet::EndModal(TCustomForm&) {}
void TWidgetSet::ShowForm(TCustomForm&) {}
TMenuItem* TWidgetSet::PopupMenu(TPopupMenu&, TPoint) {
    return nullptr;
}
bool TWidgetSet::FileDialog(TOpenDialog&) {
    return false;
}
TRect TWidgetSet::ScreenRect() {
    return {0, 0, 1920, 1080};
}
TRect TWidgetSet::WorkAreaRect() {
    return {0, 0, 1920, 1040};
}

void THeadlessWidgetSet::ProcessModal(TCustomForm& form) {
    std::optional<TDialogAnswer> a = ask(form.HeadlessRequest());
    if (a) {
        form.HeadlessAnswer(*a);
        return;
    }
    form.HeadlessDefault();
    if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
}

TMenuItem* THeadlessWidgetSet::PopupMenu(TPopupMenu& menu, TPoint at) {
    std::optional<TDialogAnswer> a = ask({TDialogKind::PopupMenu,
                                          std::to_string(at.x) + "," + std::to_string(at.y),
                                          menuText(*menu.Items(), ""),
                                          0,
                                          0,
                                          {}});
    if (!a || a->text.empty()) return nullptr;
    TMenuItem* item = menu.Items();
    std::string_view path = a->text;
    while (item && !path.empty()) {
        size_t bar = path.find('|');
        item = shownItem(*item, path.substr(0, bar));
        path = bar == std::string_view::npos ? std::string_view() : path.substr(bar + 1);
    }
    return item;
}

bool THeadlessWidgetSet::FileDialog(TOpenDialog& dialog) {
    std::optional<TDialogAnswer> a = ask({TDialogKind::FileDialog, dialog.Title(), dialog.Filter(),
                                          dialog.IsSaveDialog() ? 1 : 0, 0, dialog.FileName()});
    if (!a || a->iResult != mrOk) return false;
    dialog.SetFileName(a->text);
    return true;
}

}  // namespace qx::platform
