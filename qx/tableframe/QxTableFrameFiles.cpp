// The frame's files, permissions and popup commands.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>

#include "qx/error/Language.h"
#include "qx/error/Qxexception.h"
#include "qx/ini/QxIniFile.h"
#include "qx/platform/Files.h"
#include "qx/platform/WidgetSet.h"
#include "qx/table/TableText.h"
#include "qx/tableframe/QxTableFrame.h"

namespace {

// Raised unchanged: a code outside the package's scheme, as hosts expect it.
constexpr unsigned long kOtherStructure = 0x12345678UL;
constexpr unsigned long kWriteError = 0xE3636013UL;
constexpr unsigned long kColumnOutsideLine = 0xE513600BUL;
// Longest table name the binary reader takes (without its NUL).
const TLanguage::TLanguageString kCaptionText{
    "\xDC"
    "berschrift",
    "Caption"};

std::string binaryFilter(const std::string& ext) {
    const std::string head = TLanguage::isDeutsch() ? "Tabellen *" : "Tables *";
    return head + ext + "|*" + ext;
}

std::string textFilter() {
    return TLanguage::isDeutsch() ? "Textexportdateien *.txt|*.txt"
                                  : "Text export files *.txt|*.txt";
}

}  // namespace

// ---------------------------------------------------------------------------- reading

void TQxTableFrame::vReadFile(const char* file, bool bAppend) {
    try {
        TQxTable t;
        unsigned char* raw = nullptr;
        t.vReadBin(file, &raw);
        const std::unique_ptr<unsigned char[]> storage(raw);
        const bool same = t.bCompareColumns(tTable);
        const std::uint64_t size = t.uGetLineSize(), lines = t.uGetLineNumber();
        // Everything is checked before the frame changes, so a refused file leaves it whole.
        if (!same) {
            if (bAppend || !bPermitChangeColumn) QX_RAISE(kOtherStructure);
            if (size > INT_MAX)
                QX_RAISE(kColumnOutsideLine, "LineSize=%llu",
                         static_cast<unsigned long long>(size));
            for (const auto& c : t.vColumns)
                if (iGetMinLineSize(c) > static_cast<int>(size))
                    QX_RAISE(kColumnOutsideLine, "MinLineSize=%d > TableLineSize=%d",
                             iGetMinLineSize(c), static_cast<int>(size));
        }
        const std::uint64_t kept = same && bAppend ? vLineBuffers.size() : 0;
        if (kept + lines > INT_MAX) QX_RAISE(qx::kTableReadError);

        if (!same) {
            vClearTable();
            vSetLineSize(static_cast<int>(size));
            for (const auto& c : t.vColumns) vAppendColumn(c);
        } else if (!bAppend) {
            vClearContent();
        }
        vAppendLines(storage.get(), static_cast<int>(lines));
    } catch (...) {
        QX_PASS();
    }
}

// ---------------------------------------------------------------------------- writing

void TQxTableFrame::vWriteFile(const char* file) const {
    try {
        const std::string name = file ? file : "";
        const std::size_t slash = name.find_last_of("/\\");
        const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
        const std::size_t point = base.rfind('.');
        std::string ext = point == std::string::npos ? "" : base.substr(point);
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
        if (ext == ".txt")
            vWriteFileTxt(file);
        else
            vWriteFileBin(file);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vWriteFileTxt(const char* file) const {
    try {
        std::string text;
        vTable2String(&tTable, text, true);
        if (file == nullptr || !qx::platform::WriteFileAtomically(file, text))
            QX_RAISE(kWriteError, "File: %s", file ? file : "");
    } catch (...) {
        QX_PASS();
    }
}

// The table's binary form, but a file that cannot be written is reported instead of passed
// over in silence.
void TQxTableFrame::vWriteFileBin(const char* file) const {
    try {
        if (!tTable.bWriteBin(file)) QX_RAISE(kWriteError, "File: %s", file ? file : "");
    } catch (...) {
        QX_PASS();
    }
}

// ---------------------------------------------------------------------------- commands

void TQxTableFrame::vTabelleLaden(TObject*) {
    try {
        OpenDialog1->SetFilter(binaryFilter(sBinFileExtension));
        OpenDialog1->SetFilterIndex(1);  // the first filter (the framework counts from 1)
        OpenDialog1->SetDefaultExt(sBinFileExtension);
        if (OpenDialog1->Execute()) {
            const AnsiString chosen = OpenDialog1->FileName();
            vReadFile(chosen.c_str(), false);
            if (bPermitBinaerFile) SaveDialog1->SetFileName(chosen);
        }
    } catch (...) {
        QX_SHOW();
    }
}

void TQxTableFrame::vTabelleSpeichern(TObject*) {
    try {
        std::string filter = textFilter();
        if (bPermitBinaerFile) {
            filter += '|';
            filter += binaryFilter(sBinFileExtension);
        }
        SaveDialog1->SetFilter(filter);
        SaveDialog1->SetFilterIndex(1);
        SaveDialog1->SetDefaultExt(".txt");
        if (SaveDialog1->Execute()) vWriteFile(SaveDialog1->FileName().c_str());
    } catch (...) {
        QX_SHOW();
    }
}

void TQxTableFrame::_vSetCaption(TObject*) {
    try {
        const AnsiString text = InputBox(kCaptionText(), "", sGetCaption());
        vSetCaption(text.c_str());
    } catch (...) {
        QX_SHOW();
    }
}

void TQxTableFrame::StringGridQxEBeforePopup(TSGChangeBehaviour* b) {
    if (b == nullptr) return;
    if (bPermitChangeCaption) {
        TMenuItem* items = b->pPopupMenu ? b->pPopupMenu->Items() : nullptr;
        if (pmiCaption == nullptr && items != nullptr) {
            pmiCaption = new TMenuItem(this);
            pmiCaption->SetCaption(kCaptionText());
            pmiCaption->OnClick = [this](TObject* s) { _vSetCaption(s); };
            items->Insert(0, pmiCaption);
            pmiSeparator = new TMenuItem(this);
            pmiSeparator->SetCaption("-");
            items->Insert(1, pmiSeparator);
        }
        if (pmiCaption != nullptr) {
            pmiCaption->SetVisible(true);
            pmiSeparator->SetVisible(true);
        }
    } else if (pmiCaption != nullptr) {
        pmiCaption->SetVisible(false);
        pmiSeparator->SetVisible(false);
    }

    if (bPermitLoad && bPermitBinaerFile)
        b->TabelleLaden = [this](TObject* s) { vTabelleLaden(s); };
    else
        b->TabelleLaden = nullptr;
    if (bPermitSave)
        b->TabelleSpeichern = [this](TObject* s) { vTabelleSpeichern(s); };
    else
        b->TabelleSpeichern = nullptr;
    b->TabellenGroesse = nullptr;
    b->Fixieren = nullptr;
    b->FixierungAufheben = nullptr;
    if (!bPermitCopy) b->ZellenKopieren = nullptr;
    b->ZellenEinfuegen = nullptr;
    b->ZeilenLoeschen = nullptr;
    b->SpaltenLoeschen = nullptr;
    b->InhalteLoeschen = nullptr;
    b->InsertNeueZeile = nullptr;
    b->AppendNeueZeile = nullptr;
    b->InsertNeueSpalte = nullptr;
    b->AppendNeueSpalte = nullptr;
    if (!bPermitFormat) b->Formatierung = nullptr;
}

// ---------------------------------------------------------------------------- example table

void TQxTableFrame::vCreateTestTable() {
    try {
        vFreeTable();
        void* data = nullptr;
        TQxTable* built = nullptr;
        TQxTable::vCreateTable(&data, &built);
        const std::unique_ptr<TQxTable> table(built);
        const std::unique_ptr<unsigned char[]> buffer(static_cast<unsigned char*>(data));
        table->bShowLineNum = false;
        const std::size_t size = table->uGetLineSize();
        std::vector<std::unique_ptr<unsigned char[]>> lines;
        lines.reserve(table->uGetLineNumber());
        for (unsigned i = 0; i < table->uGetLineNumber(); ++i) {
            lines.push_back(std::make_unique<unsigned char[]>(size));
            std::memcpy(lines.back().get(), table->vLines[i], size);
        }
        tTable = *table;
        for (unsigned i = 0; i < tTable.uGetLineNumber(); ++i) tTable.vSetLine(i, lines[i].get());
        vLineBuffers = std::move(lines);
        tTable.vWriteBin("TableTest.tbl");
        tTable.vWriteIni(TIniFilename("TableTest.ini"), "TableTest");
    } catch (...) {
        QX_PASS();
    }
}
