#pragma once

#include <array>
#include <string>
#include <vector>

#include "database/Recordset.h"

namespace kps {

enum class GridAlignment { General, LeftCentre, Centre };

struct GridColumn {
    std::string header;
    int widthTwips;
    GridAlignment alignment;
};

// The waiting-items grid FlxData as data: a fixed header row, a hidden fixed
// column 0 and one row per waiting item.
class WaitingGrid {
  public:
    static constexpr int kColumnCount = 7;
    using Row = std::array<std::string, kColumnCount - 1>;  // columns 1 to 6

    static const std::array<GridColumn, kColumnCount>& Columns();

    // Rebuilds every data row from the waiting items, from the first record.
    void Fill(Recordset& pendingItems);

    // The header row included.
    int RowCount() const { return static_cast<int>(rows_.size()) + 1; }

    const std::vector<Row>& Rows() const { return rows_; }
    // The printing-detail ID of each data row, in the order of Rows().
    const std::vector<std::string>& ItemIds() const { return itemIds_; }

    // Row 0 is the header; column 0 is always empty.
    const std::string& Cell(int row, int column) const;

  private:
    std::vector<Row> rows_;
    std::vector<std::string> itemIds_;
};

}  // namespace kps
