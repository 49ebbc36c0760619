// The bilingual texts of the error report and the error dialog, shared by both.
#pragma once

#include "qx/error/Language.h"

namespace qx::texts {
using LS = TLanguage::TLanguageString;

inline constexpr LS kErrorCode{"Fehlercode", "Error code"};
inline constexpr LS kProgramPart{"Programmteil", "Program part"};
inline constexpr LS kSourceFile{"Quelltextdatei", "Source text file"};
inline constexpr LS kSourceLine{"Quelltextzeile", "Source text line"};
inline constexpr LS kErrorType{"Fehlertyp", "Type of error"};
inline constexpr LS kAdditionalData{"Zus\xE4tzliche Angaben", "Additional data"};
inline constexpr LS kApplication{"Applikation", "Application"};
inline constexpr LS kCallParameters{"Aufrufparameter", "Call parameters"};
inline constexpr LS kCurrentDate{"Aktuelles Datum", "Current date"};
inline constexpr LS kCurrentTime{"Aktuelle Uhrzeit", "Current time"};
inline constexpr LS kOperatingSystem{"Betriebssystem:", "Operating system:"};
inline constexpr LS kErrorFile{"Fehlerdatei", "Error file"};
inline constexpr LS kProgramUptime{"Programm l\xE4uft seit", "Program running since"};
inline constexpr LS kMachineUptime{"Rechner l\xE4uft seit", "Computer running since"};
inline constexpr LS kCallStack{"Aufrufstack:", "Call stack:"};

inline constexpr LS kDialogCaption{"Es ist ein Fehler aufgetreten", "An error has occurred"};
inline constexpr LS kContinue{"Programm fortsetzen", "Continue program"};
inline constexpr LS kAbort{"Programm abbrechen", "Abort program"};
}  // namespace qx::texts
