// The table commands: the example table as files, a binary table as text, and its ini form.
#include "apps/qx/Commands.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string>

#include "qx/qx.h"

namespace qxcli {

namespace {

bool isFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int ExampleCommand(const Args& args) {
    if (args.size() != 1) return Fail(2, "table example: DIR is missing or extra arguments given");
    const std::string dir = args[0].empty() || args[0].back() == '/' ? args[0] : args[0] + "/";
    void* data = nullptr;
    TQxTable* table = nullptr;
    try {
        TQxTable::vCreateTable(&data, &table);
        std::unique_ptr<unsigned char[]> storage(static_cast<unsigned char*>(data));
        std::unique_ptr<TQxTable> owned(table);
        const std::string tbl = dir + "TableTest.tbl";
        const std::string ini = dir + "TableTest.ini";
        table->vWriteBin(tbl.c_str());
        if (!isFile(tbl)) return Fail(1, "table example: cannot write " + tbl);
        table->vWriteIni(TIniFilename(ini), "TableTest");
        if (!isFile(ini)) return Fail(1, "table example: cannot write " + ini);
        Print("wrote " + tbl + " (" + std::to_string(table->uGetLineNumber()) + " lines of " +
              std::to_string(table->uGetLineSize()) + " bytes)\nwrote " + ini +
              " (section TableTest)\n");
    } catch (unsigned long code) {
        return Fail(1, "table example: " + DescribeError(code));
    }
    return 0;
}

int ShowCommand(const Args& args) {
    std::string file;
    bool aligned = false;
    for (const std::string& a : args) {
        if (a == "--aligned")
            aligned = true;
        else if (file.empty() && !a.empty())
            file = a;
        else
            return Fail(2, "table show: unexpected argument '" + a + "'");
    }
    if (file.empty()) return Fail(2, "table show: FILE is missing");
    unsigned char* storage = nullptr;
    try {
        TQxTable table;
        table.vReadBin(file.c_str(), &storage);
        std::unique_ptr<unsigned char[]> owned(storage);
        std::string text;
        vTable2String(&table, text, !aligned);
        Print(text);
    } catch (unsigned long code) {
        return Fail(1, "table show: " + file + ": " + DescribeError(code));
    }
    return 0;
}

int IniCommand(const Args& args) {
    if (args.size() != 3) return Fail(2, "table ini: needs FILE SECTION OUT.ini");
    if (args[1].empty()) return Fail(2, "table ini: SECTION is empty");
    try {
        TQxTable table;
        table.vReadBin(args[0].c_str(), nullptr);  // the description is all the ini form holds
        table.vWriteIni(TIniFilename(args[2]), args[1].c_str());
        if (!isFile(args[2])) return Fail(1, "table ini: cannot write " + args[2]);
        Print("wrote section " + args[1] + " and " + std::to_string(table.uGetColumnNumber()) +
              " column sections to " + args[2] + "\n");
    } catch (unsigned long code) {
        return Fail(1, "table ini: " + args[0] + ": " + DescribeError(code));
    }
    return 0;
}

int TableCommand(const Args& args) {
    if (args.empty()) return Fail(2, "table: example, show or ini expected");
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "example") return ExampleCommand(rest);
    if (args[0] == "show") return ShowCommand(rest);
    if (args[0] == "ini") return IniCommand(rest);
    return Fail(2, "table: unknown sub-command '" + args[0] + "'");
}

}  // namespace

QXCLI_COMMAND("table",
              "  table example DIR\n"
              "        write the example table to DIR/TableTest.tbl and its layout to\n"
              "        DIR/TableTest.ini (section TableTest)\n"
              "  table show FILE [--aligned]\n"
              "        print a binary table as tab-separated (or aligned) text\n"
              "  table ini FILE SECTION OUT.ini\n"
              "        write the layout of a binary table into OUT.ini under SECTION\n",
              TableCommand);

}  // namespace qxcli
