// The error API: raising, tracing, inspecting and clearing errors on the process-wide
// TErrorInfo, the error log, the report text, the error dialog, and the last-error interface
// for callers that do not use exceptions.
//
// The convention: a failing function throws the code returned by qx::error; each function the
// error passes through catches the unsigned long and throws qx::trace; the outermost handler
// (an event handler, a menu command, main) traces, calls qx::ErrorMessageBox, then
// qx::deleteError. The QX_RAISE, QX_PASS and QX_SHOW macros below write each step in one line:
//
//     try { ... QX_RAISE(0xE5136001, "FixedRows=%d NumCol=%d", rows, cols); ... }
//     catch (...) { QX_PASS(); }   // in every function the error passes through
//     catch (...) { QX_SHOW(); }   // at the outermost level
//
// Threads: qx::error, qx::trace and qx::deleteError may be called from any thread; each entry
// records its thread and qx::deleteError removes only the caller's entries. The dialog runs on
// the thread that owns the windows. The last-error variables are unguarded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "qx/error/Language.h"
#include "qx/error/Qxerror.h"

// Fields of an error code: severity (bits 31-29), type (27-20), program part (19-12),
// number (11-0).
inline constexpr unsigned long ERROR_TYPE_MASK = 0x0FF00000UL;
inline constexpr unsigned long ERROR_PLACE_MASK = 0x000FF000UL;
inline constexpr unsigned long ERROR_NUMBER_MASK = 0x00000FFFUL;
inline constexpr unsigned long SEVERITY_ERROR = 0xE0000000UL;
inline constexpr unsigned long SEVERITY_WARNING = 0xA0000000UL;
inline constexpr unsigned long SEVERITY_MESSAGE = 0x60000000UL;
inline constexpr unsigned long SEVERITY_OK = 0x20000000UL;

#if defined(__GNUC__)
#define QX_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define QX_PRINTF_FORMAT(fmt, args)
#endif

namespace qx {

// The code that a foreign exception becomes.
inline constexpr unsigned long kForeignExceptionCode = 0xE0000000UL;
// Parameter text recorded for an exception that is not a framework Exception.
inline constexpr const char* kUnknownExceptionText = "Unknown exception catched";

// Restarts the list with a new error: code, the source file's name and line, and the
// printf-formatted parameter text (cut to 1023 characters; none when format is null). Writes
// the entry to the log if one is open. Returns code.
unsigned long error(unsigned long code, const char* file, int line, const char* format = nullptr,
                    ...) QX_PRINTF_FORMAT(4, 5);
// Adds a trace entry carrying the code of the newest entry (0 on an empty list) and returns
// that code. At 50 entries nothing is recorded or written; the code is still returned.
unsigned long trace(const char* file, int line, const char* format = nullptr, ...)
    QX_PRINTF_FORMAT(3, 4);
// Removes the calling thread's entries.
void deleteError();
// The code of the newest entry, or 0 when the list is empty.
unsigned long getErrorCode();
// Severity tests of the newest code: true when any bit of the mask is set.
bool isError();
bool isWarning();
bool isMessage();
bool isOk();

// The process-wide list. Constructed on first use, before any static object can raise through
// it, and never destroyed: errors raised during shutdown are still recorded (in memory).
TErrorInfo& rGetErrorInfo();

bool openErrorFile();
bool openErrorFile(const char* name);
void closeErrorFile();

// Shows the error dialog (TErrorMessageForm2) for the current list modally, owned by the main
// form, unless a dialog was told to show no further errors. Does not delete entries. If the
// user ends the program there, the registered module's "_vUnloadDll" is called and the
// process ends.
void ErrorMessageBox();

// Whether `path` names an existing directory; '/' and '\' both separate directories.
bool existDir(const char* path);

// Writes the labelled error report into buffer if all of it and its terminator fit into size
// bytes; otherwise buffer is left unchanged.
void SPrintfErrorMessage(char* buffer, int size);

// Text of the error type of `code` in the current language; the fallback row
// ("Nicht spezifizierter Fehlertyp") for types that are not in the table.
const char* cpGetErrorTypeText(unsigned long code);
// Whether the type of `code` is one of the table's rows (the fallback row is not).
bool bIsKnownErrorType(unsigned long code);
// Name of the program part of `code` in the current language, or the fallback name.
const char* cpGetProgramPartText(unsigned long code);
// Names one of the program parts reserved for hosts (values 0x10000..0x3A000 and
// 0xA0000..0xA2000 that qx does not use itself). The texts are copied. Returns false for a
// value that is not a row of the table or that names one of qx's own modules. Call at start-up.
bool bSetProgramPartName(unsigned long place, const char* german, const char* english);

// Program parts of qx's own modules.
inline constexpr unsigned long kPlaceErrorHandling = 0x10000;
inline constexpr unsigned long kPlaceParser = 0x11000;
inline constexpr unsigned long kPlaceTranslator = 0x12000;
inline constexpr unsigned long kPlaceAllocation = 0x13000;
inline constexpr unsigned long kPlaceIniFile = 0x14000;
inline constexpr unsigned long kPlaceNumeric = 0x15000;
inline constexpr unsigned long kPlaceClipboard = 0x16000;
inline constexpr unsigned long kPlaceDelivery = 0x17000;
inline constexpr unsigned long kPlaceTable = 0x22000;
inline constexpr unsigned long kPlaceTableFrame = 0x23000;
inline constexpr unsigned long kPlaceTableView = 0x24000;
inline constexpr unsigned long kPlaceGrid = 0x36000;
inline constexpr unsigned long kPlaceNumericEdit = 0x37000;

namespace detail {
// Entry 0 of the list, or an empty entry when the list is empty.
const TErrorInfo::TErrorEntry& rGetHeadEntry(const TErrorInfo& info);
// "1d 1h 1m 1s" for a time in milliseconds.
std::string formatUptime(std::uint32_t ms);
// The command-line arguments after the program's name, each followed by a blank, in quotes.
std::string callParameters();
// Closes the log and drops the line format; the list itself stays usable. Runs at exit.
void finalizeErrorInfo();
// The dialog's "end the program" step: calls the registered module's "_vUnloadDll" if there is
// one, then ends the process at once when terminate is true.
void vRealizeUnload(bool terminate);
// The module (a dlopen handle) whose "_vUnloadDll" runs before the dialog ends the process.
void setUnloadModule(void* module);
void* pGetUnloadModule();

// The pass-through step, inside a catch block: an unsigned long code becomes a trace entry,
// a framework Exception or any other exception a new error 0xE0000000; then throws the code.
[[noreturn]] void rethrowTraced(const char* file, int line);
// The stop-and-show step, inside a catch block: records the caught exception (trace, or an
// error 0xE0000000 on an empty list), shows the dialog and deletes the caller's entries.
void stopAndShow(const char* file, int line);
}  // namespace detail

}  // namespace qx

// Raise: throw a new error with this source place.  QX_RAISE(code[, format, args...])
#define QX_RAISE(code, ...) throw ::qx::error((code), __FILE__, __LINE__ __VA_OPT__(, ) __VA_ARGS__)
// Pass through: use as the body of catch (...) in every function an error passes through.
#define QX_PASS() ::qx::detail::rethrowTraced(__FILE__, __LINE__)
// Stop and show: use as the body of catch (...) at the outermost level.
#define QX_SHOW() ::qx::detail::stopAndShow(__FILE__, __LINE__)

// ---------------------------------------------------------------------------- last error

// Process-wide last-error state: the code and text of the last set error, whether the setters
// show the dialog, and whether qx::ErrorMessageBox shows anything at all.
extern unsigned long ulLastError;
extern char acLastErrorText[4096];
extern bool bReportLastError;
extern bool bShowErrorDialog;

// Records `code` (nothing when 0), shows the dialog if reporting is on, and deletes the
// caller's entries in every case. Returns code.
long _QxSetLastErrorL(long code, const char* file, int line);
// Records `code` with `text` (taken verbatim; may be null), keeps the text (at most 4095
// characters) for QxGetLastErrorLS, and when reporting is on shows the dialog and deletes the
// caller's entries; otherwise the entry stays on the list. Returns code (0 for 0).
long _QxSetLastErrorLS(long code, const char* file, int line, const char* text);
long QxGetLastErrorL();
// Copies the last error's text into buffer (cut to size - 1 characters; empty when there is no
// last error or text). Returns the last code.
long QxGetLastErrorLS(char* buffer, int size);
void QxReportLastError(bool report);
