// Forms and frames, the modal loop, and the screen.
//
// ShowModal belongs to the framework: it shows the form through the widget set and runs the
// widget set's event processing until ModalResult is set. In the headless widget set a modal
// form is answered by the installed responder (press a named button, or end with a result);
// with no responder the form takes its HeadlessDefault(), which ends it with mrCancel.
#pragma once

#include "qx/platform/Controls.h"
#include "qx/platform/WidgetSet.h"

enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition { poDesigned, poDefault, poScreenCenter, poOwnerFormCenter, poMainFormCenter };
enum TFormStyle { fsNormal, fsStayOnTop };

class TCustomForm : public TCustomControl {
  public:
    // Frame sizes around the client area.
    static constexpr int kFrameWidth = 8, kFrameHeight = 27;

    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;
    std::string_view PeerClass() const override { return "TCustomForm"; }

    int ClientWidth() const override { return Width() - kFrameWidth; }
    int ClientHeight() const override { return Height() - kFrameHeight; }
    void SetClientWidth(int w) override { SetWidth(w + kFrameWidth); }
    void SetClientHeight(int h) override { SetHeight(h + kFrameHeight); }

    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons b) {
        borderIcons_ = b;
        Changed(pcState);
    }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle b) {
        borderStyle_ = b;
        Changed(pcState);
    }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle s) {
        formStyle_ = s;
        Changed(pcState);
    }

    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    bool Modal() const { return modal_; }

    // Shows the form modally; returns the modal result.
    int ShowModal();
    // Ends a modal form with mrCancel; hides a modeless one.
    void Close();
    // Shows a modeless form, as Show() and SetVisible(true) do: placed by Position, shown
    // through the widget set, then OnShow. A form already shown is placed again and brought
    // to the front, without another OnShow.
    void ShowForm();

    // What the headless widget set does with this modal form when no responder answers:
    // end with mrCancel. Forms that must not block override it.
    virtual void HeadlessDefault() { SetModalResult(mrCancel); }
    // What the headless widget set shows a responder for this modal form (by default a
    // ModalForm request with the caption and the form's Name), and how the form applies the
    // answer (by default: press the control named in the answer's text, or take its result;
    // "Name=text" types the text into the named edit, or the first edit inside the named
    // control, as a user would, and leaves the edit).
    virtual qx::platform::TDialogRequest HeadlessRequest() const;
    virtual void HeadlessAnswer(const qx::platform::TDialogAnswer& answer);

    TNotifyEvent OnCreate, OnShow, OnClose;

  protected:
    // Runs OnCreate; derived forms call it at the end of their constructor.
    void DoCreate();
    // Places the form by Position before it is shown.
    void PlaceForm();
    // Becoming visible outside ShowModal shows the form modelessly.
    void VisibleChanged() override;

  private:
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TPosition position_ = poDesigned;
    TFormStyle formStyle_ = fsNormal;
    int modalResult_ = mrNone;
    bool modal_ = false;
};

class TForm : public TCustomForm {
  public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// A reusable group of controls placed on a form.
class TFrame : public TCustomControl {
  public:
    explicit TFrame(TComponent* owner) : TCustomControl(owner) {}
};

// The screen: its size and the work area (the screen less task bars). The headless widget set
// reports 1920 x 1080 with a work area of 1920 x 1040; other widget sets report the real one.
class TScreen : public TObject {
  public:
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
};

extern TScreen* const Screen;
