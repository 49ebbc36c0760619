#include "qx/error/ErrorMessageForm.h"

#include <cstdio>

#include "qx/error/ErrorTexts.h"
#include "qx/error/Qxexception.h"
#include "qx/platform/Application.h"
#include "qx/platform/Clipboard.h"
#include "qx/platform/Codepage.h"
#include "qx/platform/Os.h"

namespace {

using LS = TLanguage::TLanguageString;

constexpr LS kClipboard{"In die Zwischenablage", "To clipboard"};
constexpr LS kHelp{"Hilfe", "Help"};
constexpr LS kDetails{"Details", "Details"};
constexpr LS kNoDetails{"Keine Details", "No Details"};
constexpr LS kNoFurther{"Keine weiteren Fehlermeldungen anzeigen",
                        "Show no further error messages"};
constexpr LS kWarning{"Warnung", "Warning"};
constexpr LS kWarningText{
    "Nach dem Einschalten dieser Option werden vom Programm\n"
    "keine Fehlermeldungen mehr angezeigt. Sie sollten diese\n"
    "Option nur verwenden, um ihre Ergebnisse zu sichern und\n"
    "danach das Programm zu beenden!",
    "After selecting this option no further error messages will\n"
    "be shown. You should use it only to save your results and\n"
    "finish the program immediately!"};
constexpr LS kHelpText{
    "Wenn das Fehlerfenster angezeigt wird, dann wurde im Programm ein Fehler\r\n"
    "bemerkt. Zum jetzigen Zeitpunkt wurde die fehlerhafte Operation bereits beendet.\r\n"
    "\r\n"
    "Alle Angaben, die zum Fehler ermittelt werden konnten, werden Ihnen angezeigt.\r\n"
    "Sie k\xF6nnen:\r\n"
    "\r\n"
    "- Den Fehler ignorieren und weiter arbeiten, indem Sie den Schalter \"Programm\r\n"
    "  fortsetzen\" dr\xFC"
    "cken. F\xFCr die weitere fehlerfreie Arbeit des Programms gibt\r\n"
    "  es jedoch keine Garantie. Sie sollten deshalb das Programm baldm\xF6glichst\r\n"
    "  beenden.\r\n"
    "\r\n"
    "- Das Programm sofort beenden, indem Sie den Schalter \"Programm beenden\" dr\xFC"
    "cken.\r\n"
    "  In diesem Fall gehen alle nicht gespeicherten Daten verloren.\r\n"
    "\r\n"
    "- Die Angaben zum Fehler in die Windows-Zwischenablage kopieren, um manuell\r\n"
    "  ein Fehlerprotokoll zu erstellen. Schalter: \"In die Zwischenablage kopieren\".\r\n"
    "\r\n"
    "Wenn Sie diese Angaben zusammen mit Ihren weiteren Informationen und Beobachtungen\r\n"
    "zum Auftreten des Fehlers an die Entwickler \xFC"
    "bermitteln, helfen Sie damit bei\r\n"
    "der Beseitigung des Fehlers.",
    "If you see this window, the program noticed an error. The wrong operation\r\n"
    "is already finished. You see all available informations about the error.\r\n"
    "\r\n"
    "- You can ignore the error and continue to work: Press the button \"Continue program\".\r\n"
    "  There is no guarantee of an errorfree continuation. You should close the\r\n"
    "  program as soon as possible.\r\n"
    "\r\n"
    "- You can immediately close the programm by pressing \"Abort program\". In this case\r\n"
    "  no data will be saved before.\r\n"
    "\r\n"
    "- You can copy the error informations to the clipboard by pressing \"To clipboard\".\r\n"
    "  The more informations the developers get from you, the easier it is to find\r\n"
    "  the reasons of the occured error."};

// Labels of table rows 0 to 14.
constexpr const LS* kRowLabels[15] = {
    &qx::texts::kErrorCode,     &qx::texts::kProgramPart,     &qx::texts::kSourceFile,
    &qx::texts::kSourceLine,    &qx::texts::kErrorType,       &qx::texts::kAdditionalData,
    &qx::texts::kApplication,   &qx::texts::kCallParameters,  &qx::texts::kCurrentDate,
    &qx::texts::kCurrentTime,   &qx::texts::kOperatingSystem, &qx::texts::kErrorFile,
    &qx::texts::kProgramUptime, &qx::texts::kMachineUptime,   &qx::texts::kCallStack};

AnsiString hex8(unsigned long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%08lx", v);
    return buf;
}

}  // namespace

TErrorMessageForm2::TErrorMessageForm2(TComponent* owner, TErrorInfo& info, bool& show)
    : TForm(owner), info_(info), show_(show) {
    SetName("ErrorMessageForm2");
    SetClientWidth(630);
    SetClientHeight(229);
    SetBorderIcons(0);
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    TFont f = Font();
    f.Name = "MS Sans Serif";
    f.SetHeight(10);
    SetFont(f);

    PanelBottom = MakeChild<TPanel>(this, this, "PanelBottom");
    PanelBottom->SetBevelOuter(bvNone);
    PanelBottom->SetHeight(39);
    PanelBottom->OnResize = [this](TObject* s) { PanelBottomResize(s); };
    auto button = [this](const char* name, int width, void (TErrorMessageForm2::*click)(TObject*)) {
        TButton* b = MakeChild<TButton>(this, PanelBottom, name);
        b->SetBounds(0, 7, width, 25);
        b->OnClick = [this, click](TObject* s) { (this->*click)(s); };
        return b;
    };
    ButtonContinue = button("ButtonContinue", 114, &TErrorMessageForm2::ButtonContinueClick);
    ButtonAbort = button("ButtonAbort", 115, &TErrorMessageForm2::ButtonAbortClick);
    ButtonClipboard = button("ButtonClipboard", 114, &TErrorMessageForm2::ButtonClipboardClick);
    ButtonHilfe = button("ButtonHilfe", 115, &TErrorMessageForm2::ButtonHilfeClick);

    PanelTop = MakeChild<TPanel>(this, this, "PanelTop");
    PanelTop->SetBevelOuter(bvNone);
    PanelTop->SetHeight(124);
    PanelTop->OnResize = [this](TObject* s) { PanelTopResize(s); };
    lbFehlercode = MakeChild<TLabel>(this, PanelTop, "lbFehlercode");
    lbFehlercode->SetBounds(7, 7, 0, 13);
    lbFehlerort = MakeChild<TLabel>(this, PanelTop, "lbFehlerort");
    lbFehlerort->SetBounds(7, 26, 0, 13);
    lbAngaben = MakeChild<TLabel>(this, PanelTop, "lbAngaben");
    lbAngaben->SetBounds(7, 45, 0, 13);
    auto edit = [this](const char* name, int top) {
        TEdit* e = MakeChild<TEdit>(this, PanelTop, name);
        e->SetBounds(124, top, 490, 17);
        e->SetParentColor(true);
        return e;
    };
    edFehlercode = edit("edFehlercode", 7);
    edFehlercode->SetReadOnly(true);
    edFehlercode->SetTabStop(false);
    edFehlerort = edit("edFehlerort", 26);
    edAngaben1 = edit("edAngaben1", 45);
    edAngaben2 = edit("edAngaben2", 63);
    btExtend = MakeChild<TButton>(this, PanelTop, "btExtend");
    btExtend->SetBounds(377, 91, 115, 25);
    btExtend->OnClick = [this](TObject* s) { btExtendClick(s); };

    Fehlertabelle = MakeChild<TStringGrid>(this, this, "Fehlertabelle");
    Fehlertabelle->SetColCount(2);
    Fehlertabelle->SetFixedRows(0);
    Fehlertabelle->SetFixedCols(0);
    Fehlertabelle->SetDefaultRowHeight(18);
    Fehlertabelle->SetOptions(Fehlertabelle->Options() | goColSizing);
    Fehlertabelle->SetFont(Font());

    cbNoError = MakeChild<TCheckBox>(this, PanelTop, "cbNoError");
    cbNoError->SetBounds(124, 96, 247, 14);
    cbNoError->OnClick = [this](TObject* s) { cbNoErrorClick(s); };

    // Alignment last, so that the panels take their places in this order.
    PanelBottom->SetAlign(alBottom);
    PanelTop->SetAlign(alTop);
    Fehlertabelle->SetAlign(alClient);

    OnCreate = [this](TObject* s) { FormCreate(s); };
    DoCreate();
}

const TErrorInfo::TErrorEntry& TErrorMessageForm2::head() const {
    return qx::detail::rGetHeadEntry(info_);
}

void TErrorMessageForm2::FormCreate(TObject*) {
    vSetLanguage();
    vResizeTable();
    vFillLeftGrid();
    vFillStandard();
    vFillError();
    vFillError2();
    vFillOperatingSystem();
    vFillErrorStack();
    vSetFacility();
    vSetTyp();
    vSizeGrid(0);
    vSizeGrid(1);
    SetClientHeight(PanelTop->Height() + PanelBottom->Height());
}

void TErrorMessageForm2::vSetLanguage() {
    SetCaption(qx::texts::kDialogCaption());
    ButtonContinue->SetCaption(qx::texts::kContinue());
    ButtonAbort->SetCaption(qx::texts::kAbort());
    ButtonClipboard->SetCaption(kClipboard());
    ButtonHilfe->SetCaption(kHelp());
    btExtend->SetCaption(kDetails());
    cbNoError->SetCaption(kNoFurther());
    lbFehlercode->SetCaption(qx::texts::kErrorCode());
    lbFehlerort->SetCaption(qx::texts::kSourceFile());
    lbAngaben->SetCaption(qx::texts::kAdditionalData());
}

void TErrorMessageForm2::vResizeTable() {
    Fehlertabelle->SetRowCount(static_cast<int>(info_.uGetCurrentErrorEntry()) + 15);
}

void TErrorMessageForm2::vFillLeftGrid() {
    for (int row = 0; row < 15; ++row) Fehlertabelle->SetCells(0, row, (*kRowLabels[row])());
}

void TErrorMessageForm2::vFillStandard() {
    Fehlertabelle->SetCells(1, 6, Application->Title());
    Fehlertabelle->SetCells(1, 7, qx::detail::callParameters());
    const qx::platform::TLocalTime now = qx::platform::LocalTime();
    char date[32];
    std::snprintf(date, sizeof date, "%4d-%02d-%02d", now.year, now.month, now.day);
    Fehlertabelle->SetCells(1, 8, date);
    Fehlertabelle->SetCells(1, 9, qx::platform::FormatLongTime(now));
    Fehlertabelle->SetCells(1, 11, info_.cpGetFileName());
    const std::uint32_t tick = qx::platform::TickCount();
    Fehlertabelle->SetCells(1, 13, qx::detail::formatUptime(tick));
    Fehlertabelle->SetCells(
        1, 12, qx::detail::formatUptime(tick - static_cast<std::uint32_t>(info_.ulGetStartTime())));
}

void TErrorMessageForm2::vFillError() {
    const TErrorInfo::TErrorEntry& e = head();
    char buf[32];
    Fehlertabelle->SetCells(1, 0, hex8(e.ulCode));
    std::snprintf(buf, sizeof buf, "%08lx", e.ulCode & ERROR_PLACE_MASK);
    Fehlertabelle->SetCells(1, 1, buf);
    Fehlertabelle->SetCells(1, 2, e.acFile);
    Fehlertabelle->SetCells(1, 3, std::to_string(e.iLine));
    std::snprintf(buf, sizeof buf, "%08lx", e.ulCode & ERROR_TYPE_MASK);
    Fehlertabelle->SetCells(1, 4, buf);
    Fehlertabelle->SetCells(1, 5, e.cpParam ? e.cpParam : "");
}

void TErrorMessageForm2::vFillError2() {
    const TErrorInfo::TErrorEntry& e = head();
    const unsigned long type = e.ulCode & ERROR_TYPE_MASK;
    // The fallback row of the type table is not shown here.
    const bool known = type != 0 && qx::bIsKnownErrorType(e.ulCode);
    edFehlercode->SetText(hex8(e.ulCode));
    edFehlerort->SetText(AnsiString(e.acFile) + "(" + std::to_string(e.iLine) + ")");
    if (e.cpParam) {
        edAngaben1->SetText(e.cpParam);
        edAngaben2->SetText(known ? qx::cpGetErrorTypeText(e.ulCode) : "");
    } else {
        edAngaben1->SetText(known ? AnsiString(qx::cpGetErrorTypeText(e.ulCode)) + " ( " +
                                        hex8(type) + " )"
                            : type ? "--"
                                   : "");
        edAngaben2->SetText("");
    }
}

void TErrorMessageForm2::vFillOperatingSystem() {
    Fehlertabelle->SetCells(1, 10, qx::platform::OperatingSystemLine());
}

void TErrorMessageForm2::vFillErrorStack() {
    for (unsigned i = 0; i < info_.uGetCurrentErrorEntry(); ++i) {
        const TErrorInfo::TErrorEntry& e = info_[i];
        const int row = 15 + static_cast<int>(i);
        Fehlertabelle->SetCells(
            0, row, "    " + AnsiString(e.acFile) + " ( " + std::to_string(e.iLine) + " )");
        Fehlertabelle->SetCells(1, row, e.cpParam ? e.cpParam : "");
    }
}

void TErrorMessageForm2::vSetFacility() {
    const unsigned long code = head().ulCode;
    Fehlertabelle->SetCells(
        1, 1,
        AnsiString(qx::cpGetProgramPartText(code)) + " ( " + hex8(code & ERROR_PLACE_MASK) + " )");
}

void TErrorMessageForm2::vSetTyp() {
    const unsigned long code = head().ulCode;
    Fehlertabelle->SetCells(
        1, 4,
        AnsiString(qx::cpGetErrorTypeText(code)) + " ( " + hex8(code & ERROR_TYPE_MASK) + " )");
}

void TErrorMessageForm2::vSizeGrid(int col) {
    TCanvas& canvas = Fehlertabelle->Canvas();
    canvas.Font = Fehlertabelle->Font();
    int widest = 0;
    for (int row = 0; row < Fehlertabelle->RowCount(); ++row)
        widest = std::max(widest, canvas.TextWidth(Fehlertabelle->Cells(col, row)));
    Fehlertabelle->SetColWidths(col, widest + 16);
}

AnsiString TErrorMessageForm2::asGetTableContent() const {
    AnsiString out;
    for (int row = 0; row < Fehlertabelle->RowCount(); ++row) {
        for (int col = 0; col < Fehlertabelle->ColCount(); ++col)
            out += Fehlertabelle->Cells(col, row) + ": ";
        out += "\r\n";
    }
    return out;
}

void TErrorMessageForm2::btExtendClick(TObject*) {
    extended_ = !extended_;
    SetClientHeight(PanelTop->Height() + PanelBottom->Height() + (extended_ ? 200 : 0));
    btExtend->SetCaption(extended_ ? kNoDetails() : kDetails());
    SetTop((Screen->WorkAreaHeight() - Height()) / 2);
}

void TErrorMessageForm2::ButtonContinueClick(TObject*) {
    SetModalResult(mrOk);
}

void TErrorMessageForm2::ButtonAbortClick(TObject*) {
    vRealizeUnload(true);
}

void TErrorMessageForm2::ButtonClipboardClick(TObject*) {
    qx::platform::SetClipboardText(asGetTableContent());
}

void TErrorMessageForm2::ButtonHilfeClick(TObject*) {
    Application->MessageBox(kHelpText(), kHelp(), MB_OK);
}

void TErrorMessageForm2::cbNoErrorClick(TObject*) {
    show_ = !cbNoError->Checked();
    if (!show_)
        Application->MessageBox(kWarningText(), kWarning(),
                                MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
}

void TErrorMessageForm2::PanelTopResize(TObject*) {
    for (TEdit* e : {edFehlercode, edFehlerort, edAngaben1, edAngaben2})
        e->SetWidth(PanelTop->Width() - e->Left() - 8);
    btExtend->SetLeft(PanelTop->Width() - btExtend->Width() - 8);
}

void TErrorMessageForm2::PanelBottomResize(TObject*) {
    int right = PanelBottom->Width();
    for (TButton* b : {ButtonHilfe, ButtonClipboard, ButtonContinue, ButtonAbort}) {
        b->SetLeft(right - b->Width() - 8);
        right = b->Left();
    }
}

void TErrorMessageForm2::vSetUnload(void* module) {
    qx::detail::setUnloadModule(module);
}

void TErrorMessageForm2::vRealizeUnload(bool terminate) {
    qx::detail::vRealizeUnload(terminate);
}

AnsiString TErrorMessageForm2::asGetCompactView() const {
    AnsiString out = Caption() + "\n";
    auto line = [&out](const TLabel* label, const TEdit* edit) {
        out += "  " + label->Caption() + ": " + edit->Text() + "\n";
    };
    line(lbFehlercode, edFehlercode);
    line(lbFehlerort, edFehlerort);
    line(lbAngaben, edAngaben1);
    if (!edAngaben2->Text().empty())
        out += "  " + AnsiString(lbAngaben->Caption().size() + 2, ' ') + edAngaben2->Text() + "\n";
    return out;
}

qx::platform::TDialogRequest TErrorMessageForm2::HeadlessRequest() const {
    return {qx::platform::TDialogKind::ErrorDialog, Caption(), asGetCompactView(), 0, 0, {}};
}

void TErrorMessageForm2::HeadlessAnswer(const qx::platform::TDialogAnswer& answer) {
    // An ErrorDialog answer is the short form: tick the box (without its warning), then press
    // continue or abort. Other answers press a named control as on any form.
    if (answer.eKind != qx::platform::TDialogKind::ErrorDialog) {
        TForm::HeadlessAnswer(answer);
        return;
    }
    if (answer.bNoFurtherErrors) show_ = false;
    if (answer.iResult == mrAbort)
        ButtonAbort->Click();
    else
        ButtonContinue->Click();
}

void TErrorMessageForm2::HeadlessDefault() {
    // No one to ask: say what happened on standard error (a terminal reads UTF-8) and go on.
    std::fputs(qx::platform::Cp1252ToUtf8(asGetCompactView()).c_str(), stderr);
    std::fflush(stderr);
    ButtonContinue->Click();
}
