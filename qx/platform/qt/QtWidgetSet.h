// The Qt 6 widget set: shows the framework's controls as Qt widgets, runs modal forms, menus
// and dialogs with Qt, and reaches the system clipboard.
//
// The host creates the QApplication first, then installs the set with
// qx::platform::SetWidgetSet. Controls get peers when Realize walks them (ShowModal and
// ShowForm do that for a form's whole tree). Which peer a control gets is looked up by its
// PeerClass() in a registry of factories; the set registers the framework's families and a
// host may add its own. Texts are converted between code page 1252 and Unicode here and
// nowhere else. Focus changes the user makes reach the controls (SetFocus, KillFocus).
// Ownership: the set owns its factories and clipboard; widgets belong to their peers' parent
// widgets. Threads: the thread that owns the QApplication.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "qx/platform/WidgetSet.h"

class QWidget;

namespace qx::qt {

class TQtClipboard;

class TQtWidgetSet : public qx::platform::TWidgetSet {
  public:
    // Makes the peer of `control` with its widget under `parent` (null for a window), or
    // returns null to decline.
    using TPeerFactory = std::function<std::unique_ptr<TControlPeer>(
        TQtWidgetSet& set, TControl& control, QWidget* parent)>;

    TQtWidgetSet();
    ~TQtWidgetSet() override;

    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    qx::platform::TClipboardService& Clipboard() override;

    // The peer from the factories registered for control.PeerClass(), newest first; a plain
    // widget when all decline or none is registered; null without a QApplication.
    std::unique_ptr<TControlPeer> CreatePeer(TControl& control) override;
    void ProcessModal(TCustomForm& form) override;
    void EndModal(TCustomForm& form) override;
    void ShowForm(TCustomForm& form) override;
    TMenuItem* PopupMenu(TPopupMenu& menu, TPoint at) override;
    bool FileDialog(TOpenDialog& dialog) override;
    TRect ScreenRect() override;
    TRect WorkAreaRect() override;
    // Measures with Qt's font metrics, as painting does (the fixed metric without a
    // QApplication).
    std::unique_ptr<TCanvas> CreateMeasureCanvas() override;

    // Adds `factory` for controls whose PeerClass() is `peerClass`. A later registration
    // for the same class is tried first, so a family can refine another's.
    void RegisterPeer(std::string_view peerClass, TPeerFactory factory);

    // Gives `control` and every control below it a peer where it has none yet.
    void Realize(TControl& control);
    // The widget showing `control`, or null when it has no Qt peer.
    static QWidget* Widget(const TControl& control);

  private:
    std::unique_ptr<TQtClipboard> clipboard_;
    std::map<std::string, std::vector<TPeerFactory>, std::less<>> factories_;
};

}  // namespace qx::qt
