// The error type table and the program-part table.
#include <array>
#include <cstdio>
#include <string>

#include "qx/error/Qxexception.h"

namespace {

struct TTypeRow {
    unsigned long ulValue;
    TLanguage::TLanguageString text;
};

constexpr TTypeRow kTypes[] = {
    {0x00100000, {"Interner Fehler", "internal error"}},
    {0x00200000, {"Unbekannter Fehler", "unknown error"}},
    {0x00300000, {"Nicht genug Speicher", "not enough memory"}},
    {0x00400000, {"Fehlerhafter Datentyp", "wrong data type"}},
    {0x00500000, {"Fehlerhaftes Datenformat", "wrong data format"}},
    {0x00600000, {"Fehlerhafte Version", "wrong version"}},
    {0x00700000, {"Nicht implementiert", "not implemented"}},
    {0x00800000, {"Nicht unterstuetzt", "not supported"}},
    {0x00900000, {"Nicht gefunden", "not found"}},
    {0x00A00000, {"Existiert nicht", "not exist"}},
    {0x03000000, {"Fehler in der Dateiarbeit", "error in file work"}},
    {0x03100000, {"Datei nicht gefunden", "file not found"}},
    {0x03200000, {"Fehler beim Oeffnen zum Lesen", "error opening file to read"}},
    {0x03300000, {"Fehler beim Lesen", "error reading file"}},
    {0x03400000, {"Vorzeitiges Dateiende", "unexpected end of file"}},
    {0x03500000, {"Fehler beim Oeffnen zum Schreiben", "error opening file to write"}},
    {0x03600000, {"Fehler beim Schreiben", "error writing file"}},
    {0x03700000, {"Datei existiert bereits", "file already exist"}},
    {0x03800000, {"Kann Verzeichnis nicht erzeugen", "can not create directory"}},
    {0x03900000, {"Kann Verzeichnis nicht loeschen", "can not delete directory "}},
    {0x03A00000, {"Kann Datei nicht loeschen", "can not delete file"}},
    {0x03B00000, {"Kann Datei nicht ueberschreiben", "can not overwrite file"}},
    {0x03C00000, {"Verzeichnis nicht gefunden", "directory not found"}},
    {0x05000000, {"Fehlerhaftes Kommando", "wrong command"}},
    {0x05100000, {"Fehlerhafter Parameter", "wrong parameter"}},
    {0x05200000, {"Operation abgebrochen", "operation aborted"}},
    {0x05300000, {"Funktion nicht gefunden", "function not found"}},
    {0x06000000, {"Arithmetischer Fehler", "arithmetic error"}},
    {0x06100000, {"Unterlauf", "underflow"}},
    {0x06200000, {"Ueberlauf", "overflow"}},
    {0x06300000, {"Division durch Null", "division by zero"}},
    {0x06400000, {"Nicht erlaubte arithmetische Operation", "forbidden arithmetic operation"}},
    {0x07000000, {"Fehlerhaftes Objekt", "wrong object"}},
    {0x07100000, {"Zu klein", "too small"}},
    {0x07200000, {"Zu gross", "too large"}},
    {0x07300000, {"Konvertierung nicht moeglich", "conversion is impossible"}},
    {0x07400000, {"Index ausserhalb des Bereichs", "index out of range"}},
    {0x07500000, {"Fehlerhafter Wert", "wrong value"}},
    {0x07600000, {"Kann Objekt nicht erzeugen", "can not create object"}},
    {0x07700000, {"Quell- und Zielobjekt sind gleich", "source and destionation are equal"}},
    {0x07800000, {"Objekt nicht gefunden", "object not found"}},
    {0x08000000, {"Fehler in Thread oder Prozess", "error in thread or process"}},
    {0x08100000, {"Fehler beim Starten", "error starting process"}},
    {0x08200000, {"Fehler beim Beenden", "error stopping process"}},
    {0x08300000, {"Timeout", "timeout"}},
    {0x08400000, {"Fehler innerhalb Prozess oder Thread", "internal error in thread or process"}},
    {0x08500000, {"Fehler in der Kommunikation", "error in communication"}},
    {0x08600000, {"Thread oder Prozess existiert nicht", "thread or process does not exist"}},
    {0x09000000, {"Allgemeiner Hardwarefehler", "general hardware error"}},
    {0x09100000, {"Hardware nicht gefunden", "hardware not found"}},
    {0x09200000, {"Kein Treiber vorhanden", "no driver available"}},
};
constexpr TLanguage::TLanguageString kTypeFallback{"Nicht spezifizierter Fehlertyp",
                                                   "Error type not specified"};

const TTypeRow* findType(unsigned long code) {
    const unsigned long type = code & ERROR_TYPE_MASK;
    for (const TTypeRow& row : kTypes)
        if (row.ulValue == type) return &row;
    return nullptr;
}

// Program parts: 0x10000..0x3A000 in steps of 0x1000, then 0xA0000..0xA2000 (46 rows). qx's own
// modules are named; the other rows are reserved for hosts, which may name them.
struct TPlaceRow {
    unsigned long ulValue;
    bool bOwn;
    std::string german, english;
    TLanguage::TLanguageString text;
};

constexpr struct {
    unsigned long value;
    const char* german;
    const char* english;
} kOwnPlaces[] = {
    {qx::kPlaceErrorHandling, "Fehlerbehandlung", "error handling"},
    {qx::kPlaceParser, "Formelparser", "formula parser"},
    {qx::kPlaceTranslator,
     "\xDC"
     "bersetzungsw\xF6rterbuch",
     "translation dictionary"},
    {qx::kPlaceAllocation, "Speicherprotokoll", "allocation register"},
    {qx::kPlaceIniFile, "Ini-Dateien", "ini files"},
    {qx::kPlaceNumeric, "Zahlenformatierung", "number formatting"},
    {qx::kPlaceClipboard, "Zwischenablage", "clipboard"},
    {qx::kPlaceDelivery, "Nachrichtenverteilung", "message delivery"},
    {qx::kPlaceTable, "Tabellenmodell", "table model"},
    {qx::kPlaceTableFrame, "Tabellenrahmen", "table frame"},
    {qx::kPlaceTableView, "Tabellenansicht", "table view"},
    {qx::kPlaceGrid, "Tabellengitter", "string grid"},
    {qx::kPlaceNumericEdit, "Zahleneingabe", "numeric edit"},
};

constexpr std::size_t kPlaceCount = 46;

std::array<TPlaceRow, kPlaceCount>& places() {
    // Never destroyed: the dialog may name a program part during static destruction.
    static auto& rows = *[] {
        auto* p = new std::array<TPlaceRow, kPlaceCount>{};
        auto& r = *p;
        for (std::size_t i = 0; i < kPlaceCount; ++i) {
            TPlaceRow& row = r[i];
            row.ulValue = i < 43 ? 0x10000 + 0x1000 * i : 0xA0000 + 0x1000 * (i - 43);
            row.bOwn = false;
            char buf[64];
            std::snprintf(buf, sizeof buf, "Programmteil des Hosts 0x%05lx", row.ulValue);
            row.german = buf;
            std::snprintf(buf, sizeof buf, "host program part 0x%05lx", row.ulValue);
            row.english = buf;
            for (const auto& own : kOwnPlaces)
                if (own.value == row.ulValue) {
                    row.bOwn = true;
                    row.german = own.german;
                    row.english = own.english;
                }
        }
        for (TPlaceRow& row : r) row.text = {row.german.c_str(), row.english.c_str()};
        return p;
    }();
    return rows;
}
constexpr TLanguage::TLanguageString kPlaceFallback{"Nicht spezifizierter Programmteil",
                                                    "program part not specified"};

TPlaceRow* findPlace(unsigned long code) {
    const unsigned long place = code & ERROR_PLACE_MASK;
    for (TPlaceRow& row : places())
        if (row.ulValue == place) return &row;
    return nullptr;
}

}  // namespace

namespace qx {

const char* cpGetErrorTypeText(unsigned long code) {
    const TTypeRow* row = findType(code);
    return row ? row->text() : kTypeFallback();
}

bool bIsKnownErrorType(unsigned long code) {
    return findType(code) != nullptr;
}

const char* cpGetProgramPartText(unsigned long code) {
    const TPlaceRow* row = findPlace(code);
    return row ? row->text() : kPlaceFallback();
}

bool bSetProgramPartName(unsigned long place, const char* german, const char* english) {
    if (place & ~ERROR_PLACE_MASK) return false;
    TPlaceRow* row = findPlace(place);
    if (!row || row->bOwn || !german) return false;
    row->german = german;
    row->english = english ? english : "";
    row->text = {row->german.c_str(), row->english.c_str()};
    return true;
}

}  // namespace qx
