#include "mainwindow/qt/WaitingGridModelQt.h"

namespace kps {

namespace {

constexpr int kTwipsPerPixel = 15;

QVariant Alignment(GridAlignment alignment) {
    switch (alignment) {
        case GridAlignment::LeftCentre:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        case GridAlignment::Centre:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        case GridAlignment::General:
            break;
    }
    return {};
}

}  // namespace

WaitingGridModelQt::WaitingGridModelQt(QObject* parent) : QAbstractTableModel(parent) {}

void WaitingGridModelQt::Reset(const WaitingGrid& grid) {
    beginResetModel();
    rows_ = grid.Rows();
    endResetModel();
}

int WaitingGridModelQt::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int WaitingGridModelQt::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant WaitingGridModelQt::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount) {
        return {};
    }
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::TextAlignmentRole) {
        return Alignment(WaitingGrid::Columns()[column].alignment);
    }
    if (role != Qt::DisplayRole || index.column() == Fixed) {
        return {};
    }
    return QString::fromStdString(rows_[static_cast<std::size_t>(index.row())][column - 1]);
}

QVariant WaitingGridModelQt::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const GridColumn& column = WaitingGrid::Columns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return QString::fromStdString(column.header);
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignment(column.alignment);
    }
    return {};
}

int WaitingGridModelQt::ColumnWidthPixels(int column) {
    return WaitingGrid::Columns()[static_cast<std::size_t>(column)].widthTwips / kTwipsPerPixel;
}

}  // namespace kps
