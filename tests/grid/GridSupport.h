// Helpers shared by the grid and table frame tests: filled grids, their texts, raised error
// codes and event logs.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/clipboard/ClipboardSupport.h"

namespace qx::test {

// rows × cols user cells texted "r<row>c<col>" (user numbers).
inline void fillGrid(TStringGridQx& g, int rows, int cols) {
    g.vSetTableSize(rows, cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g.vSetCellString(r, c, Join({"r", std::to_string(r), "c", std::to_string(c)}).c_str());
}

// The texts of the user cells, rows joined by '|' and cells by ','.
inline std::string gridTexts(TStringGridQx& g) {
    std::string s;
    for (int r = 0; r < g.iGetRowCount(); ++r) {
        if (r) s += '|';
        for (int c = 0; c < g.iGetColCount(); ++c)
            s += Join({c ? "," : "", g.cpGetCellString(r, c)});
    }
    return s;
}

// The code `f` raises (0 when none), with the raised entry's text in `text`; the error list
// is cleared.
inline unsigned long raisedCode(const std::function<void()>& f, std::string* text = nullptr) {
    try {
        f();
    } catch (unsigned long code) {
        if (text) {
            const auto& e = qx::detail::rGetHeadEntry(qx::rGetErrorInfo());
            *text = e.cpParam ? e.cpParam : "";
        }
        qx::deleteError();
        return code;
    }
    return 0;
}

// An event receiver that logs "<name> <arg>..." into `log`.
inline auto logTo(std::vector<std::string>& log, const std::string& name) {
    return [&log, name](auto... args) {
        std::ostringstream s;
        s << name;
        ((s << ' ' << args), ...);
        log.push_back(s.str());
    };
}

// Base-grid click on a cell as the current-cell handler sees it: (0, r) selects row r, (c, 0)
// column c, (0, 0) everything.
inline void clickCell(TStringGridQx& g, int col, int row) {
    bool can = false;
    g.vOnSelectCell(nullptr, col, row, can);
}

}  // namespace qx::test
