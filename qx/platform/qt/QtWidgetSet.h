// The Qt 6 widget set: shows the framework's controls as Qt widgets, runs modal forms, menus
// and dialogs with Qt, and reaches the system clipboard.
//
// The host creates the QApplication first, then installs the set with
// qx::platform::SetWidgetSet. Controls get peers when Realize walks them (ShowModal and
// ShowForm do that for a form's whole tree). Texts are converted between code page 1252 and
// Unicode here and nowhere else. Threads: the thread that owns the QApplication.
#pragma once

#include <memory>

#include "qx/platform/WidgetSet.h"

class QWidget;

namespace qx::qt {

class TQtClipboard;

class TQtWidgetSet : public qx::platform::TWidgetSet {
public:
    TQtWidgetSet();
    ~TQtWidgetSet() override;

    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    qx::platform::TClipboardService& Clipboard() override;

    std::unique_ptr<TControlPeer> CreatePeer(TControl& control) override;
    void ProcessModal(TCustomForm& form) override;
    void EndModal(TCustomForm& form) override;
    void ShowForm(TCustomForm& form) override;
    TMenuItem* PopupMenu(TPopupMenu& menu, TPoint at) override;
    bool FileDialog(TOpenDialog& dialog) override;
    TRect ScreenRect() override;
    TRect WorkAreaRect() override;

    // Gives `control` and every control below it a peer where it has none yet.
    void Realize(TControl& control);
    // The widget showing `control`, or null when it has no Qt peer.
    static QWidget* Widget(const TControl& control);

private:
    std::unique_ptr<TQtClipboard> clipboard_;
};

}  // namespace qx::qt
