#include "mainwindow/WaitingGrid.h"

#include "text/KpsError.h"

namespace kps {

const std::array<GridColumn, WaitingGrid::kColumnCount>& WaitingGrid::Columns() {
    static const std::array<GridColumn, kColumnCount> columns{{
        {"", 0, GridAlignment::General},
        {"Table", 1000, GridAlignment::LeftCentre},
        {"Service", 1000, GridAlignment::General},
        {"Check#", 2000, GridAlignment::LeftCentre},
        {"Item Description", 7000, GridAlignment::LeftCentre},
        {"Quantity", 1800, GridAlignment::Centre},
        {"Printer", 1800, GridAlignment::Centre},
    }};
    return columns;
}

void WaitingGrid::Fill(Recordset& pendingItems, long waiting) {
    rows_.clear();
    itemIds_.clear();
    waiting_ = waiting;
    for (pendingItems.MoveFirst(); !pendingItems.IsEOF() && rows_.size() < kMaxRows;
         pendingItems.MoveNext()) {
        itemIds_.push_back(pendingItems.Field("ID").AsText());
        rows_.push_back(Row{
            pendingItems.Field("TableCode").Or("-"),
            pendingItems.Field("ServiceType").AsText(),
            pendingItems.Field("BillNo").Or("-"),
            pendingItems.Field("PosDescription").AsText(),
            pendingItems.Field("Quantity").AsText(),
            pendingItems.Field("PrinterGroupCode").AsText(),
        });
    }
}

std::string WaitingGrid::ShownNote() const {
    if (waiting_ <= static_cast<long>(rows_.size())) {
        return {};
    }
    std::string note = "Showing the first ";
    note += std::to_string(rows_.size());
    note += " of ";
    note += std::to_string(waiting_);
    note += " waiting items";
    return note;
}

const std::string& WaitingGrid::Cell(int row, int column) const {
    static const std::string empty;
    if (column < 0 || column >= kColumnCount || row < 0 || row >= RowCount()) {
        throw KpsError(381, "Subscript out of range");
    }
    if (row == 0) {
        return Columns()[static_cast<std::size_t>(column)].header;
    }
    if (column == 0) {
        return empty;
    }
    return rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)];
}

}  // namespace kps
