// A table shown in a plain string grid.
#include "qx/error/Qxexception.h"
#include "qx/table/TableText.h"

void vTableToGrid(TStringGrid* grid, const TQxTable* table, unsigned char*, bool) {
    try {
        if (grid == nullptr || table == nullptr) QX_RAISE(0x05100000UL);
        const unsigned lines = table->uGetLineNumber();
        if (lines == 0) return;
        const int columns = static_cast<int>(table->uGetColumnNumber());
        const int header = (table->bShowColumnCaption ? 1 : 0) + (table->bShowEinheit ? 1 : 0);
        if (grid->RowCount() <= 5 && grid->ColCount() <= 5) {
            // Start from the grid's minimum so that no fixed area is left from before.
            grid->SetRowCount(0);
            grid->SetColCount(0);
        }
        grid->SetRowCount(static_cast<int>(lines) + header);
        grid->SetFixedRows(header);
        grid->SetColCount(columns);
        grid->SetFixedCols(0);
        int row = 0;
        if (table->bShowColumnCaption) {
            for (int j = 0; j < columns; ++j)
                grid->SetCells(j, row, table->rGetColumn(static_cast<unsigned>(j)).sName);
            ++row;
        }
        if (table->bShowEinheit) {
            for (int j = 0; j < columns; ++j)
                grid->SetCells(j, row, table->rGetColumn(static_cast<unsigned>(j)).sEinheit);
            ++row;
        }
        for (unsigned i = 0; i < lines; ++i, ++row)
            for (int j = 0; j < columns; ++j)
                grid->SetCells(j, row, qx::detail::cellText(*table, i, static_cast<unsigned>(j)));
    } catch (...) {
        QX_PASS();
    }
}
