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
// column 0 and one row per waiting item, for the first kMaxRows items; the
// rest are counted, not shown.
class WaitingGrid {
  public:
    static constexpr int kColumnCount = 7;
    using Row = std::array<std::string, kColumnCount - 1>;  // columns 1 to 6

    // A day of unprinted orders must not fill the memory or the screen.
    static constexpr std::size_t kMaxRows = 1000;

    static const std::array<GridColumn, kColumnCount>& Columns();

    // Rebuilds the data rows from the waiting items' records, from the first
    // and at most kMaxRows; `waiting` counts every waiting item.
    void Fill(Recordset& pendingItems, long waiting);

    long Waiting() const { return waiting_; }
    // Says that only the first rows are shown, when that is so; else empty.
    std::string ShownNote() const;

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
    long waiting_ = 0;
};

}  // namespace kps
