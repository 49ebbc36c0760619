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
    if (separator) {
        auto* line = new TMenuItem(target);
        line->SetCaption("-");
        target->Items()->Add(line);
    }
    const TMenuItem& from = *source->Items();
    for (int i = 0; i < from.Count(); ++i) target->Items()->Add(copyItem(*from.Items(i)));
}
