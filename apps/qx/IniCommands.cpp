// The ini file commands: list, read, write and delete settings through the ini store.
#include "apps/qx/Commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "qx/ini/PrivateProfile.h"
#include "qx/platform/Files.h"
#include "qx/qx.h"

namespace qxcli {

namespace {

// Arguments arrive as UTF-8; the files hold code page 1252.
std::string Text(const std::string& arg) {
    return qx::platform::Utf8ToCp1252(arg);
}

std::string Hex(unsigned long code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", code);
    return text;
}

int Failed(const std::string& what, unsigned long code) {
    const int exit = code == qx::detail::kIniBadName ? 2 : 1;
    return Fail(exit, "ini " + what + " (error " + Hex(code) + ")");
}

// ": is a folder" when `file` names one, so that the message says why it cannot be written.
std::string folderNote(const std::string& file) {
    return qx::platform::IsFolder(file) ? ": is a folder" : "";
}

// The parsed file, or a message when it is missing or unreadable.
bool Open(const std::string& cmd, const std::string& file,
          std::shared_ptr<const qx::detail::TProfile>& profile, int& exit) {
    unsigned long code = 0;
    profile = qx::detail::pReadProfile(TIniFilename(file), &code);
    if (code == 0) return true;
    const char* reason = code == qx::detail::kIniFileNotFound ? "no such file"
                         : qx::platform::IsFolder(file)       ? "is a folder"
                                                              : "not readable";
    exit = Failed(cmd + ": cannot read '" + file + "': " + reason, code);
    return false;
}

int Sections(const Args& a) {
    if (a.size() != 1) return Fail(2, "usage: qx ini sections FILE");
    std::shared_ptr<const qx::detail::TProfile> profile;
    int exit = 0;
    if (!Open("sections", a[0], profile, exit)) return exit;
    std::vector<std::string> names;
    TQxStdIniFile(TIniFilename(a[0])).vReadSections(names);
    for (const std::string& n : names) Print(n + "\n");
    return 0;
}

int Keys(const Args& a) {
    if (a.size() != 2) return Fail(2, "usage: qx ini keys FILE SECTION");
    std::shared_ptr<const qx::detail::TProfile> profile;
    int exit = 0;
    if (!Open("keys", a[0], profile, exit)) return exit;
    const std::string section = Text(a[1]);
    if (profile->findSection(section) < 0)
        return Failed("keys: no section [" + section + "] in '" + a[0] + "'",
                      qx::detail::kIniNotFound);
    std::vector<std::string> names;
    TQxStdIniFile(TIniFilename(a[0])).vReadSection(section.c_str(), names);
    for (const std::string& n : names) Print(n + "\n");
    return 0;
}

int Get(const Args& a) {
    Args pos;
    const std::string* def = nullptr;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == "--default") {
            if (++i >= a.size()) return Fail(2, "ini get: --default needs a text");
            def = &a[i];
        } else {
            pos.push_back(a[i]);
        }
    }
    if (pos.size() != 3) return Fail(2, "usage: qx ini get FILE SECTION KEY [--default TEXT]");
    const std::string section = Text(pos[1]), key = Text(pos[2]);
    const TQxStdIniFile ini{TIniFilename(pos[0])};
    if (def) {
        Print(ini.sReadString(section.c_str(), key.c_str(), Text(*def).c_str()) + "\n");
        return 0;
    }
    std::shared_ptr<const qx::detail::TProfile> profile;
    int exit = 0;
    if (!Open("get", pos[0], profile, exit)) return exit;
    if (!profile->pFindValue(section, key))
        return Failed("get: no key '" + key + "' in section [" + section + "] of '" + pos[0] + "'",
                      qx::detail::kIniNotFound);
    Print(ini.sReadString(section.c_str(), key.c_str(), "") + "\n");
    return 0;
}

int Set(const Args& a) {
    if (a.size() != 4) return Fail(2, "usage: qx ini set FILE SECTION KEY VALUE");
    const std::string section = Text(a[1]), key = Text(a[2]), value = Text(a[3]);
    const unsigned long code = qx::detail::ulWritePrivateProfileString(
        section.c_str(), key.c_str(), value.c_str(), TIniFilename(a[0]).c_str());
    if (code == qx::detail::kIniBadName)
        return Failed(
            "set: a section name, key or value with a line break, a key with '=' or "
            "starting with '[' or ';', or a section name with ']' cannot be stored",
            code);
    if (code != 0) return Failed("set: cannot write '" + a[0] + "'" + folderNote(a[0]), code);
    return 0;
}

int Delete(const Args& a) {
    if (a.size() != 2 && a.size() != 3) return Fail(2, "usage: qx ini delete FILE SECTION [KEY]");
    std::shared_ptr<const qx::detail::TProfile> profile;
    int exit = 0;
    if (!Open("delete", a[0], profile, exit)) return exit;
    const std::string section = Text(a[1]);
    const std::string key = a.size() == 3 ? Text(a[2]) : std::string();
    const bool found = a.size() == 3 ? profile->pFindValue(section, key) != nullptr
                                     : profile->findSection(section) >= 0;
    if (!found)
        return Failed("delete: no " +
                          (a.size() == 3 ? "key '" + key + "' in section [" + section + "]"
                                         : "section [" + section + "]") +
                          " in '" + a[0] + "'",
                      qx::detail::kIniNotFound);
    const unsigned long code = qx::detail::ulWritePrivateProfileString(
        section.c_str(), a.size() == 3 ? key.c_str() : nullptr, nullptr,
        TIniFilename(a[0]).c_str());
    if (code != 0) return Failed("delete: cannot write '" + a[0] + "'" + folderNote(a[0]), code);
    return 0;
}

int Dump(const Args& a) {
    if (a.size() != 1) return Fail(2, "usage: qx ini dump FILE");
    std::shared_ptr<const qx::detail::TProfile> profile;
    int exit = 0;
    if (!Open("dump", a[0], profile, exit)) return exit;
    std::string text = TQxStdIniFile(TIniFilename(a[0])).sWriteToString();
    std::string lf;
    lf.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf += text[i];
    Print(lf);
    return 0;
}

int IniCommand(const Args& args) {
    if (args.empty()) return Fail(2, "ini: sections, keys, get, set, delete or dump expected");
    const Args rest(args.begin() + 1, args.end());
    const std::string& sub = args[0];
    if (sub == "sections") return Sections(rest);
    if (sub == "keys") return Keys(rest);
    if (sub == "get") return Get(rest);
    if (sub == "set") return Set(rest);
    if (sub == "delete") return Delete(rest);
    if (sub == "dump") return Dump(rest);
    return Fail(2, "ini: unknown sub-command '" + sub + "'");
}

}  // namespace

QXCLI_COMMAND("ini",
              "  ini sections FILE\n"
              "        the section names of an ini file, in file order\n"
              "  ini keys FILE SECTION\n"
              "        the key names of a section (names match without regard to case)\n"
              "  ini get FILE SECTION KEY [--default TEXT]\n"
              "        the value of a key; without --default a missing key is an error\n"
              "  ini set FILE SECTION KEY VALUE\n"
              "        write a value (creates file, section and key as needed)\n"
              "  ini delete FILE SECTION [KEY]\n"
              "        remove a key, or a section with its entries\n"
              "  ini dump FILE\n"
              "        the whole file as the ini store renders it\n",
              IniCommand);

}  // namespace qxcli
