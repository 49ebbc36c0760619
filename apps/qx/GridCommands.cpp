// The grid commands: a grid table file (.sgr or .txt) as text, and from one form to the other,
// through a headless extended grid.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "apps/qx/Commands.h"
#include "qx/grid/Stringgridqx.h"
#include "qx/qx.h"

namespace qxcli {

namespace {

const char* const kUsage = "grid: usage: grid show FILE [--properties] | grid convert IN OUT";

// A name of a value from `names`, or its number when it has none.
template <std::size_t N>
std::string nameOf(unsigned value, const char* const (&names)[N]) {
    return value < N ? names[value] : std::to_string(value);
}

// One line per cell, in user numbers: "row,column: align=... size=...pt text=... background=...
// edit=yes|no hidden=...", the hidden text escaped.
std::string properties(TStringGridQx& grid) {
    static const char* const kAdjust[] = {"default", "left", "center", "right"};
    static const char* const kColor[] = {"black", "gray", "lightgray", "blue",
                                         "green", "red",  "yellow",    "white"};
    std::string out;
    for (int r = 0; r < grid.iGetRowCount(); ++r)
        for (int c = 0; c < grid.iGetColCount(); ++c) {
            const TCellPropertyQx& p = *grid.pGetCellProperty(grid.iColIn(c), grid.iRowIn(r));
            out += std::to_string(r) + "," + std::to_string(c) +
                   ": align=" + nameOf(p.eGetAdjust(), kAdjust) +
                   " size=" + std::to_string(p.iGetFontSize()) + "pt" +
                   " text=" + nameOf(p.eGetFontColor(), kColor) +
                   " background=" + nameOf(p.eGetBKColor(), kColor) +
                   " edit=" + (p.bGetCanEdit() ? "yes" : "no") +
                   " hidden=" + Escape(p.cpGetHiddenString()) + "\n";
        }
    return out;
}

// Prints the text block of the whole table with line feeds, and the properties when asked.
void show(TStringGridQx& grid, bool withProperties) {
    grid.vSetSelectedArea(0, grid.iGetRowCount() - 1, 0, grid.iGetColCount() - 1);
    TMemoryStream block;
    grid.vCopy2ASCIIStream(&block);
    const std::string_view text(static_cast<const char*>(block.Memory()),
                                static_cast<std::size_t>(block.Size()));
    std::string lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find("\r\n", at), text.size());
        lines.append(text.substr(at, end - at)).push_back('\n');
        at = end + 2;
    }
    if (withProperties) {
        lines += '\n';
        lines += properties(grid);
    }
    Print(lines);
}

int GridCommand(const Args& args) {
    if (args.empty()) return Fail(2, kUsage);
    const std::string& sub = args[0];
    std::vector<std::string> files;
    bool withProperties = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (sub == "show" && args[i] == "--properties")
            withProperties = true;
        else
            files.push_back(args[i]);
    }
    if (sub != "show" && sub != "convert")
        return Fail(2, "grid: unknown sub-command '" + sub + "' (show, convert)");
    if (files.size() != (sub == "show" ? 1u : 2u)) return Fail(2, kUsage);
    TStringGridQx grid(nullptr);
    for (const std::string& f : files)
        if (!grid.bCanLoad(f.c_str()))
            return Fail(2, "grid " + sub + ": " + f + ": the name must end in .sgr or .txt");
    const std::string* file = &files[0];  // the file being worked on, for the message
    try {
        grid.vLoadTable(file->c_str());
        if (sub == "show") {
            show(grid, withProperties);
        } else {
            file = &files[1];
            grid.vSaveTable(file->c_str());
            Print("wrote " + *file + " (" + std::to_string(grid.iGetRowCount()) + " rows, " +
                  std::to_string(grid.iGetColCount()) + " columns)\n");
        }
    } catch (unsigned long code) {
        return Fail(1, "grid " + sub + ": " + *file + ": " + DescribeError(code));
    }
    return 0;
}

}  // namespace

QXCLI_COMMAND("grid",
              "  grid show FILE [--properties]\n"
              "        print a grid table file (.sgr or .txt) as text, one line per row, cells\n"
              "        separated by tabs; --properties adds each cell's formatting and hidden\n"
              "        text (escaped as in dict show), one line per cell\n"
              "  grid convert IN OUT\n"
              "        load a grid table file and save it in the form OUT's extension names\n"
              "        (.sgr: texts and formatting; .txt: texts only)\n",
              GridCommand);

}  // namespace qxcli
