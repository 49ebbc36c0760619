#include "qx/error/Qxexception.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "qx/error/ErrorMessageForm.h"
#include "qx/error/ErrorTexts.h"
#include "qx/platform/Application.h"
#include "qx/platform/Os.h"
#include "qx/platform/SysUtils.h"
#include "qx/platform/WidgetSet.h"

unsigned long ulLastError = 0;
char acLastErrorText[4096] = {};
bool bReportLastError = true;
bool bShowErrorDialog = true;

namespace qx {

namespace {

constexpr std::size_t kParamBufferSize = 1024;

// The process-wide instance lives in static storage and is never destroyed, so an error raised
// by another static object's destructor still finds it. The log is closed at exit.
alignas(TErrorInfo) unsigned char gInfoStorage[sizeof(TErrorInfo)];

void* gUnloadModule = nullptr;

void appendf(std::string& out, const char* format, ...) QX_PRINTF_FORMAT(2, 3);
void appendf(std::string& out, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    va_list ap2;
    va_copy(ap2, ap);
    int n = std::vsnprintf(nullptr, 0, format, ap);
    va_end(ap);
    if (n > 0) {
        std::size_t old = out.size();
        out.resize(old + static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data() + old, static_cast<std::size_t>(n) + 1, format, ap2);
        out.resize(old + static_cast<std::size_t>(n));
    }
    va_end(ap2);
}

// Gives a filled entry its parameter text (formatted, cut to 1023 characters; none without a
// format) and writes it to the log. Runs under the lock.
void record(TErrorInfo& info, TErrorInfo::TErrorEntry& entry, const char* kind, const char* format,
            va_list ap) {
    if (format) {
        char buf[kParamBufferSize];
        std::vsnprintf(buf, sizeof buf, format, ap);
        info.vFillParamString(buf, entry);
    } else {
        entry.cpParam = nullptr;
    }
    info.vOutStream(kind, entry);
}

}  // namespace

TErrorInfo& rGetErrorInfo() {
    static TErrorInfo* const instance = [] {
        TErrorInfo* p = new (gInfoStorage) TErrorInfo;
        std::atexit(detail::finalizeErrorInfo);
        return p;
    }();
    return *instance;
}

unsigned long error(unsigned long code, const char* file, int line, const char* format, ...) {
    TErrorInfo& info = rGetErrorInfo();
    info.lock();
    va_list ap;
    va_start(ap, format);
    record(info, info.rGetNewEntry(code, file, line), "E", format, ap);
    va_end(ap);
    info.unlock();
    return code;
}

unsigned long trace(const char* file, int line, const char* format, ...) {
    TErrorInfo& info = rGetErrorInfo();
    info.lock();
    const unsigned long code = info.ulFindCode();
    const unsigned n = info.uGetCurrentErrorEntry();
    if (n < TErrorInfo::kMaxEntries) {
        info.vFillEntry(code, file, line, info[n]);
        va_list ap;
        va_start(ap, format);
        record(info, info[n], "T", format, ap);
        va_end(ap);
        info.vIncreaseCurrentErrorEntry();
    }
    info.unlock();
    return code;
}

void deleteError() {
    rGetErrorInfo().vDeleteError();
}
unsigned long getErrorCode() {
    return rGetErrorInfo().ulFindCode();
}
bool isError() {
    return (getErrorCode() & SEVERITY_ERROR) != 0;
}
bool isWarning() {
    return (getErrorCode() & SEVERITY_WARNING) != 0;
}
bool isMessage() {
    return (getErrorCode() & SEVERITY_MESSAGE) != 0;
}
bool isOk() {
    return (getErrorCode() & SEVERITY_OK) != 0;
}

bool openErrorFile() {
    return rGetErrorInfo().bOpenErrorFile();
}
bool openErrorFile(const char* name) {
    return rGetErrorInfo().bOpenErrorFile(name);
}
void closeErrorFile() {
    rGetErrorInfo().vCloseErrorFile();
}

bool existDir(const char* path) {
    if (!path || !*path) return false;
    std::string p(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p.back() != '/') p += '/';
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void ErrorMessageBox() {
    if (!bShowErrorDialog) return;
    TErrorMessageForm2 form(Application->MainForm(), rGetErrorInfo(), bShowErrorDialog);
    form.ShowModal();
}

void SPrintfErrorMessage(char* buffer, int size) {
    if (!buffer || size <= 0) return;
    const TErrorInfo& info = rGetErrorInfo();
    const TErrorInfo::TErrorEntry& e = detail::rGetHeadEntry(info);
    const std::uint32_t now = platform::TickCount();
    const std::uint32_t running = now - static_cast<std::uint32_t>(info.ulGetStartTime());

    std::string r;
    appendf(r, "\n\t%s: 0x%08lx\n", texts::kErrorCode(), e.ulCode);
    appendf(r, "\t%s: %s\n", texts::kSourceFile(), e.acFile);
    appendf(r, "\t%s: %d\n", texts::kSourceLine(), e.iLine);
    appendf(r, "\t%s: %s ( 0x%08lx )\n", texts::kErrorType(), cpGetErrorTypeText(e.ulCode),
            e.ulCode & ERROR_TYPE_MASK);
    appendf(r, "\t%s: %s\n", texts::kAdditionalData(), e.cpParam ? e.cpParam : "");
    appendf(r, "\t%s: %s\n", texts::kApplication(), Application->Title().c_str());
    appendf(r, "\t%s: %s\n", texts::kCallParameters(), detail::callParameters().c_str());
    appendf(r, "\t%s: %s\n", texts::kOperatingSystem(), platform::OperatingSystemLine().c_str());
    appendf(r, "\t%s: %s\n", texts::kErrorFile(), info.cpGetFileName());
    appendf(r, "\t%s: %s\n", texts::kProgramUptime(), detail::formatUptime(running).c_str());
    appendf(r, "\t%s: %s\n", texts::kMachineUptime(), detail::formatUptime(now).c_str());
    appendf(r, "\t%s:\n", texts::kCallStack());
    for (unsigned i = 0; i < info.uGetCurrentErrorEntry(); ++i)
        appendf(r, "\t\t%s (%d)\t%s", info[i].acFile, info[i].iLine,
                info[i].cpParam ? info[i].cpParam : "");
    // Lines are only ever appended, so the whole fitting means every prefix fitted as well.
    if (r.size() + 1 > static_cast<std::size_t>(size)) return;
    std::memcpy(buffer, r.c_str(), r.size() + 1);
}

namespace detail {

const TErrorInfo::TErrorEntry& rGetHeadEntry(const TErrorInfo& info) {
    // An empty list shows an empty entry rather than stale data.
    static const TErrorInfo::TErrorEntry empty{};
    return info.uGetCurrentErrorEntry() > 0 ? info[0] : empty;
}

std::string formatUptime(std::uint32_t ms) {
    unsigned s = ms / 1000, m = s / 60, h = m / 60, d = h / 24;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%ud %uh %um %us", d, h % 24, m % 60, s % 60);
    return buf;
}

std::string callParameters() {
    std::string out = "\"";
    for (int i = 1; i <= Application->ParamCount(); ++i) out += Application->ParamStr(i) + " ";
    return out + "\"";
}

void finalizeErrorInfo() {
    TErrorInfo& info = rGetErrorInfo();
    info.vCloseErrorFile();
    info.vSetOutFileFormat(nullptr);
}

void setUnloadModule(void* module) {
    gUnloadModule = module;
}
void* pGetUnloadModule() {
    return gUnloadModule;
}

void vRealizeUnload(bool terminate) {
    if (void* fn = platform::FindModuleFunction(gUnloadModule, "_vUnloadDll"))
        reinterpret_cast<void (*)()>(fn)();
    if (terminate) platform::TerminateProcessNow();
}

void rethrowTraced(const char* file, int line) {
    try {
        throw;
    } catch (unsigned long) {
        throw trace(file, line);
    } catch (const Exception& ex) {
        throw error(kForeignExceptionCode, file, line, "%s", ex.Message.c_str());
    } catch (...) {
        throw error(kForeignExceptionCode, file, line, "%s", kUnknownExceptionText);
    }
}

void stopAndShow(const char* file, int line) {
    std::string text;
    bool isCode = false;
    try {
        throw;
    } catch (unsigned long) {
        isCode = true;
    } catch (const Exception& ex) {
        text = ex.Message;
    } catch (...) {
        text = kUnknownExceptionText;
    }
    if (isCode)
        trace(file, line);
    else if (getErrorCode() != 0)
        trace(file, line, "%s", text.c_str());
    else
        error(kForeignExceptionCode, file, line, "%s", text.c_str());
    ErrorMessageBox();
    deleteError();
}

}  // namespace detail
}  // namespace qx

// ---------------------------------------------------------------------------- last error

long _QxSetLastErrorL(long code, const char* file, int line) {
    if (code == 0) return 0;
    ulLastError = qx::error(static_cast<unsigned long>(code), file, line);
    if (bReportLastError) qx::ErrorMessageBox();
    qx::deleteError();
    return code;
}

long _QxSetLastErrorLS(long code, const char* file, int line, const char* text) {
    if (code == 0) return 0;
    ulLastError = text ? qx::error(static_cast<unsigned long>(code), file, line, "%s", text)
                       : qx::error(static_cast<unsigned long>(code), file, line);
    if (text) {
        std::size_t n = std::min(std::strlen(text), sizeof acLastErrorText - 1);
        std::memcpy(acLastErrorText, text, n);
        acLastErrorText[n] = '\0';
    }
    if (bReportLastError) {
        qx::ErrorMessageBox();
        qx::deleteError();
    }
    return code;
}

long QxGetLastErrorL() {
    return static_cast<long>(ulLastError);
}

long QxGetLastErrorLS(char* buffer, int size) {
    if (buffer && size > 0) {
        std::size_t n = 0;
        if (ulLastError != 0 && acLastErrorText[0] != '\0')
            n = std::min(std::strlen(acLastErrorText), static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, acLastErrorText, n);
        buffer[n] = '\0';
    }
    return static_cast<long>(ulLastError);
}

void QxReportLastError(bool report) {
    bReportLastError = report;
}
