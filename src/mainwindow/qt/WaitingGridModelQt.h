#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "mainwindow/WaitingGrid.h"

namespace kps {

// The waiting-items grid FlxData for a QTableView, reset from the core's
// rows after every tick. Column 0 is the grid's hidden fixed column.
class WaitingGridModelQt final : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { Fixed, Table, Service, Check, ItemDescription, Quantity, Printer, ColumnCount };
    static_assert(ColumnCount == WaitingGrid::kColumnCount);

    explicit WaitingGridModelQt(QObject* parent = nullptr);

    void Reset(const WaitingGrid& grid);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The designed width, in pixels at 15 twips per pixel.
    static int ColumnWidthPixels(int column);

  private:
    std::vector<WaitingGrid::Row> rows_;
};

}  // namespace kps
