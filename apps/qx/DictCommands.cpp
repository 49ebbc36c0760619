// The dictionary commands: list a translation dictionary, translate texts with it.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "apps/qx/Commands.h"
#include "qx/qx.h"

namespace qxcli {

namespace {

// Codes of a dictionary that cannot be used.
constexpr unsigned long kDictNotFound = 0xE3112001UL;     // file not found
constexpr unsigned long kDictNotReadable = 0xE3212002UL;  // error opening file to read
constexpr unsigned long kDictNoEntries = 0xE0512003UL;    // wrong data format

// Loads `file` into `t`. A file the translator would silently ignore raises instead, and so
// does a non-empty file without a single entry start line (most likely not a dictionary).
void loadDictionary(const std::string& file, TTranslator& t) {
    try {
        struct stat st {};
        if (::stat(file.c_str(), &st) != 0) {
            int e = errno;
            QX_RAISE(e == ENOENT ? kDictNotFound : kDictNotReadable, "%s: %s", file.c_str(),
                     std::strerror(e));
        }
        if (S_ISDIR(st.st_mode)) QX_RAISE(kDictNotReadable, "%s: is a folder", file.c_str());
        if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode))
            QX_RAISE(kDictNotReadable, "%s: not a regular file", file.c_str());
        std::ifstream in(file, std::ios::binary);
        std::ostringstream content;
        if (!in || !(content << in.rdbuf()) || in.bad()) {
            // An empty file makes operator<< fail without an error: that is an empty dictionary.
            if (st.st_size > 0 || !in.is_open())
                QX_RAISE(kDictNotReadable, "%s: %s", file.c_str(), std::strerror(errno));
        }
        const std::string text = content.str();
        t.vReadText(text);
        if (t.iGetCount() == 0 && !text.empty() &&
            text.find(TTranslator::cpEntryStart) == std::string::npos)
            QX_RAISE(kDictNoEntries, "%s: not a dictionary (no entry start line)", file.c_str());
    } catch (...) {
        QX_PASS();
    }
}

// The reverse of Escape; an unknown escape stays as it is.
std::string unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        char n = s[++i];
        if (n == 'n')
            out += '\n';
        else if (n == 'r')
            out += '\r';
        else if (n == 't')
            out += '\t';
        else if (n == '\\')
            out += '\\';
        else
            out.append({'\\', n});
    }
    return out;
}

// Reports a raised error: its parameter text and its code with the English type text.
int failWithError(unsigned long code) {
    const TErrorInfo& info = qx::rGetErrorInfo();
    std::string what = info.uGetCurrentErrorEntry() > 0 && info[0].cpParam ? info[0].cpParam : "";
    const TLanguage::eTLanguage saved = TLanguage::eGetAktLanguage();
    TLanguage::setEnglisch();
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", code);
    std::string message =
        "dict: " + what + " (error " + hex + ": " + qx::cpGetErrorTypeText(code) + ")";
    TLanguage::vSetAktLanguage(saved);
    qx::deleteError();
    return Fail(1, message);
}

int Show(const std::string& file) {
    TTranslator t;
    loadDictionary(file, t);
    for (int i = 0; i < t.iGetCount(); ++i)
        Print(Escape(t.rGetItem(i).sDeutsch) + "\t" + Escape(t.rGetItem(i).sEnglisch) + "\n");
    return 0;
}

// Translates to English without learning; a text not in the dictionary passes unchanged.
bool translateOne(TTranslator& t, const std::string& german) {
    std::string english = german;
    t.vTranslate(german.c_str(), english);
    const bool found = t.iFind(german.c_str()) >= 0;
    Print(Escape(english) + "\n");
    if (!found) Fail(0, "dict: not in the dictionary: " + Escape(german));
    return found;
}

int Translate(const std::string& file, const std::string* text) {
    TTranslator t;
    loadDictionary(file, t);
    t.vSetLearnMode(false);
    TLanguage::setEnglisch();
    bool all = true;
    if (text) {
        all = translateOne(t, unescape(qx::platform::Utf8ToCp1252(*text)));
    } else {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            all = translateOne(t, unescape(qx::platform::Utf8ToCp1252(line))) && all;
        }
    }
    return all ? 0 : 1;
}

int DictCommand(const Args& args) {
    if (args.size() < 2) return Fail(2, "dict: usage: dict show FILE | dict translate FILE [TEXT]");
    const std::string& sub = args[0];
    try {
        if (sub == "show") {
            if (args.size() != 2) return Fail(2, "dict show: takes one FILE");
            return Show(args[1]);
        }
        if (sub == "translate") {
            if (args.size() > 3) return Fail(2, "dict translate: takes FILE and at most one TEXT");
            return Translate(args[1], args.size() == 3 ? &args[2] : nullptr);
        }
    } catch (unsigned long code) {
        return failWithError(code);
    }
    return Fail(2, "dict: unknown sub-command '" + sub + "' (show, translate)");
}

}  // namespace

QXCLI_COMMAND("dict",
              "  dict show FILE\n"
              "        list a translation dictionary, one entry per line: German TAB English\n"
              "        (line feeds, CRs, tabs and backslashes shown as \\n, \\r, \\t, \\\\)\n"
              "  dict translate FILE [TEXT]\n"
              "        translate TEXT, or each line of standard input, from German to English;\n"
              "        TEXT takes the escapes of show. Texts not in the dictionary pass\n"
              "        unchanged and make the exit code 1\n",
              DictCommand);

}  // namespace qxcli
