#include "qx/platform/Forms.h"

#include "qx/platform/Application.h"
#include "qx/platform/WidgetSet.h"

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetBounds(0, 0, 320 + kFrameWidth, 240 + kFrameHeight);
}

TCustomForm::~TCustomForm() {
    if (Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::PlaceForm() {
    TRect area = qx::platform::WidgetSet().WorkAreaRect();
    const TControl* owner = dynamic_cast<const TControl*>(Owner());
    if (position_ == poMainFormCenter || (position_ == poOwnerFormCenter && !owner))
        owner = dynamic_cast<const TControl*>(Application->MainForm());
    if ((position_ == poOwnerFormCenter || position_ == poMainFormCenter) && owner &&
        owner != this) {
        SetBounds(owner->Left() + (owner->Width() - Width()) / 2,
                  owner->Top() + (owner->Height() - Height()) / 2, Width(), Height());
    } else if (position_ == poScreenCenter || position_ == poOwnerFormCenter ||
               position_ == poMainFormCenter) {
        SetBounds(area.left + (area.Width() - Width()) / 2,
                  area.top + (area.Height() - Height()) / 2, Width(), Height());
    }
}

int TCustomForm::ShowModal() {
    modalResult_ = mrNone;
    modal_ = true;
    PlaceForm();
    SetVisible(true);
    if (OnShow) OnShow(this);
    auto& ws = qx::platform::WidgetSet();
    while (modalResult_ == mrNone) ws.ProcessModal(*this);
    ws.EndModal(*this);
    modal_ = false;
    SetVisible(false);
    if (OnClose) OnClose(this);
    return modalResult_;
}

void TCustomForm::Close() {
    if (modal_) {
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
    } else {
        SetVisible(false);
        if (OnClose) OnClose(this);
    }
}

void TCustomForm::ShowForm() {
    if (!Visible()) {
        SetVisible(true);
        return;
    }
    PlaceForm();
    qx::platform::WidgetSet().ShowForm(*this);
}

void TCustomForm::VisibleChanged() {
    if (!Visible() || modal_) {
        TCustomControl::VisibleChanged();
        return;
    }
    PlaceForm();
    TCustomControl::VisibleChanged();
    qx::platform::WidgetSet().ShowForm(*this);
    if (OnShow) OnShow(this);
}

qx::platform::TDialogRequest TCustomForm::HeadlessRequest() const {
    return {qx::platform::TDialogKind::ModalForm, Caption(), Name(), 0, 0, {}};
}

namespace {
// A named component anywhere below `root` in the owner tree.
TComponent* findNamed(TComponent* root, std::string_view name) {
    if (TComponent* c = root->FindComponent(name)) return c;
    for (int i = 0; i < root->ComponentCount(); ++i)
        if (TComponent* c = findNamed(root->Components(i), name)) return c;
    return nullptr;
}
}  // namespace

namespace {
// The edit a typed answer goes to: the control itself or the first edit inside it.
TEdit* editOf(TControl* c) {
    if (auto* e = dynamic_cast<TEdit*>(c)) return e;
    if (auto* w = dynamic_cast<TWinControl*>(c))
        for (int i = 0; i < w->ControlCount(); ++i)
            if (TEdit* e = editOf(w->Controls(i))) return e;
    return nullptr;
}
}  // namespace

void TCustomForm::HeadlessAnswer(const qx::platform::TDialogAnswer& answer) {
    if (const size_t eq = answer.text.find('='); eq != std::string::npos) {
        auto* c =
            dynamic_cast<TControl*>(findNamed(this, std::string_view(answer.text).substr(0, eq)));
        TEdit* edit = editOf(c);
        if (!edit) {
            SetModalResult(mrCancel);  // no such edit: end rather than loop for ever
            return;
        }
        edit->SetFocus();
        edit->UserInput(answer.text.substr(eq + 1));
        edit->DoExit();
    } else if (answer.text.empty()) {
        SetModalResult(answer.iResult == mrNone ? mrCancel : answer.iResult);
    } else if (auto* c = dynamic_cast<TControl*>(findNamed(this, answer.text))) {
        c->Click();
    } else {
        SetModalResult(mrCancel);  // no such control: end rather than loop for ever
    }
}

int TScreen::Width() const {
    return qx::platform::WidgetSet().ScreenRect().Width();
}
int TScreen::Height() const {
    return qx::platform::WidgetSet().ScreenRect().Height();
}
TRect TScreen::WorkAreaRect() const {
    return qx::platform::WidgetSet().WorkAreaRect();
}

namespace {
TScreen& screenInstance() {
    static TScreen* s = new TScreen;  // never destroyed, like Application
    return *s;
}
}  // namespace

TScreen* const Screen = &screenInstance();
