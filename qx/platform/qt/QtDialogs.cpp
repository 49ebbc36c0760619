// Message boxes, message dialogs, input prompts, popup menus and file dialogs.
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <algorithm>
#include <map>
#include <vector>

#include "qx/platform/Dialogs.h"
#include "qx/platform/Menus.h"
#include "qx/platform/qt/internal/QtSupport.h"

namespace qx::qt {

namespace {

void buildMenu(QMenu& menu, TMenuItem& items, std::map<QAction*, TMenuItem*>& map) {
    for (int i = 0; i < items.Count(); ++i) {
        TMenuItem* item = items.Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine()) {
            menu.addSeparator();
            continue;
        }
        if (item->Count() > 0) {
            QMenu* sub = menu.addMenu(toQ(item->Caption()));
            sub->setEnabled(item->Enabled());
            buildMenu(*sub, *item, map);
            continue;
        }
        QAction* a = menu.addAction(toQ(item->Caption()));
        a->setEnabled(item->Enabled());
        if (item->Checked()) {
            a->setCheckable(true);
            a->setChecked(true);
        }
        map[a] = item;
    }
}

// "Text|*.txt;*.text|All|*.*" as Qt name filters: "Text (*.txt *.text)", "All (*)".
QStringList nameFilters(const std::string& filter) {
    QStringList parts = toQ(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        out << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
    }
    return out;
}

}  // namespace

int TQtWidgetSet::MessageBox(const std::string& text, const std::string& caption, int flags) {
    if (!QApplication::instance()) return qx::platform::DefaultMessageBoxResult(flags);
    QMessageBox box;
    box.setWindowTitle(toQ(caption));
    box.setText(toQ(text));
    switch (flags & 0xF0) {
        case MB_ICONERROR:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONWARNING:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    struct B {
        QMessageBox::StandardButton qt;
        int id;
    };
    std::vector<B> buttons;
    switch (flags & 0xF) {
        case MB_OKCANCEL:
            buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
            break;
        case 0x2:
            buttons = {{QMessageBox::Abort, IDABORT},
                       {QMessageBox::Retry, IDRETRY},
                       {QMessageBox::Ignore, IDIGNORE}};
            break;
        case MB_YESNOCANCEL:
            buttons = {{QMessageBox::Yes, IDYES},
                       {QMessageBox::No, IDNO},
                       {QMessageBox::Cancel, IDCANCEL}};
            break;
        case MB_YESNO:
            buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
            break;
        case 0x5:
            buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
            break;
        default:
            buttons = {{QMessageBox::Ok, IDOK}};
            break;
    }
    QMessageBox::StandardButtons set;
    for (const B& b : buttons) set |= b.qt;
    box.setStandardButtons(set);
    box.setDefaultButton(buttons.front().qt);
    if (flags & (MB_SYSTEMMODAL | MB_TASKMODAL)) box.setWindowModality(Qt::ApplicationModal);
    const int chosen = box.exec();
    for (const B& b : buttons)
        if (chosen == b.qt) return b.id;
    // Closed without a button: Cancel where there is one, else the only answer.
    for (const B& b : buttons)
        if (b.id == IDCANCEL) return IDCANCEL;
    return buttons.size() == 1 ? buttons.front().id : IDNO;
}

int TQtWidgetSet::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    if (!QApplication::instance()) return qx::platform::DefaultMessageDlgResult(buttons);
    QMessageBox box;
    static const char* const titles[] = {"Warning", "Error", "Information", "Confirmation", ""};
    const QMessageBox::Icon icons[] = {QMessageBox::Warning, QMessageBox::Critical,
                                       QMessageBox::Information, QMessageBox::Question,
                                       QMessageBox::NoIcon};
    const int t = std::clamp(static_cast<int>(type), 0, 4);
    box.setWindowTitle(QString::fromLatin1(titles[t]));
    box.setIcon(icons[t]);
    box.setText(toQ(text));
    struct B {
        TMsgDlgBtn bit;
        QMessageBox::StandardButton qt;
        int result;
    };
    static const B all[] = {{mbYes, QMessageBox::Yes, mrYes},
                            {mbNo, QMessageBox::No, mrNo},
                            {mbOK, QMessageBox::Ok, mrOk},
                            {mbCancel, QMessageBox::Cancel, mrCancel},
                            {mbAbort, QMessageBox::Abort, mrAbort},
                            {mbRetry, QMessageBox::Retry, mrRetry},
                            {mbIgnore, QMessageBox::Ignore, mrIgnore},
                            {mbAll, QMessageBox::YesToAll, mrAll}};
    QMessageBox::StandardButtons set;
    for (const B& b : all)
        if (buttons & b.bit) set |= b.qt;
    if (!set) set = QMessageBox::Ok;
    box.setStandardButtons(set);
    const int chosen = box.exec();
    for (const B& b : all)
        if (chosen == b.qt) return b.result;
    return (buttons & mbCancel) ? mrCancel : qx::platform::DefaultMessageDlgResult(buttons);
}

bool TQtWidgetSet::InputQuery(const std::string& caption, const std::string& prompt,
                              std::string& value) {
    if (!QApplication::instance()) return false;
    QInputDialog dlg;
    dlg.setWindowTitle(toQ(caption));
    dlg.setLabelText(toQ(prompt));
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setTextValue(toQ(value));
    if (dlg.exec() != QDialog::Accepted) return false;
    value = fromQ(dlg.textValue());
    return true;
}

TMenuItem* TQtWidgetSet::PopupMenu(TPopupMenu& menu, TPoint at) {
    if (!QApplication::instance()) return nullptr;
    QMenu qmenu;
    std::map<QAction*, TMenuItem*> map;
    buildMenu(qmenu, *menu.Items(), map);
    if (map.empty() && qmenu.actions().isEmpty()) return nullptr;
    QAction* chosen = qmenu.exec(QPoint(at.x, at.y));
    auto it = map.find(chosen);
    return it == map.end() ? nullptr : it->second;
}

bool TQtWidgetSet::FileDialog(TOpenDialog& dialog) {
    if (!QApplication::instance()) return false;
    QFileDialog dlg;
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    // The framework asks about overwriting and read-only files itself.
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setWindowTitle(toQ(dialog.Title()));
    dlg.setAcceptMode(dialog.IsSaveDialog() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(dialog.IsSaveDialog() || !(dialog.Options() & ofFileMustExist)
                        ? QFileDialog::AnyFile
                        : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(dialog.Filter());
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        const int index = std::clamp(dialog.FilterIndex(), 1, static_cast<int>(filters.size()));
        dlg.selectNameFilter(filters[index - 1]);
    }
    std::string ext = dialog.DefaultExt();
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    if (!ext.empty()) dlg.setDefaultSuffix(toQ(ext));
    if (!dialog.InitialDir().empty()) dlg.setDirectory(toQ(dialog.InitialDir()));
    if (!dialog.FileName().empty()) dlg.selectFile(toQ(dialog.FileName()));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    dialog.SetFileName(fromQ(dlg.selectedFiles().front()));
    const qsizetype chosen = filters.indexOf(dlg.selectedNameFilter());
    if (chosen >= 0) dialog.SetFilterIndex(static_cast<int>(chosen) + 1);
    return true;
}

}  // namespace qx::qt
