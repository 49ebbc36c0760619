#include "qx/numeric/MenuUtils.h"

namespace {
TMenuItem* copyItem(const TMenuItem& from) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(from.Caption());
    item->SetVisible(from.Visible());
    item->OnClick = from.OnClick;
    item->SetTag(from.Tag() != 0 ? from.Tag() : from.GroupIndex());
    for (int i = 0; i < from.Count(); ++i) item->Add(copyItem(*from.Items(i)));
    return item;
}
}  // namespace

void vAddMenu(TPopupMenu* target, const TPopupMenu* source, bool separator) {
    if (!target || !source) return;
    // Counted first: appending a menu to itself copies its items once.
    const TMenuItem& from = *source->Items();
    const int count = from.Count();
    if (separator) {
        auto* line = new TMenuItem(target);
        line->SetCaption("-");
        target->Items()->Add(line);
    }
    for (int i = 0; i < count; ++i) target->Items()->Add(copyItem(*from.Items(i)));
}
