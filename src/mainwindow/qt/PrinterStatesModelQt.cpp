#include "mainwindow/qt/PrinterStatesModelQt.h"

#include "sending/PrinterStateLine.h"

namespace kps {

PrinterStatesModelQt::PrinterStatesModelQt(QObject* parent) : QAbstractTableModel(parent) {}

void PrinterStatesModelQt::Reset(const PrinterStates& states) {
    beginResetModel();
    rows_ = states.Printers();
    endResetModel();
}

QColor PrinterStatesModelQt::MarkColour(PrinterState state) {
    switch (state) {
        case PrinterState::Printing:
            return QColor(0x2e, 0x9d, 0x3a);
        case PrinterState::NotPrinting:
            return QColor(0xd3, 0x2f, 0x2f);
        case PrinterState::QuestionPending:
            return QColor(0xf0, 0xa0, 0x20);
        case PrinterState::Suspended:
            break;
    }
    return QColor(0x90, 0x90, 0x90);
}

int PrinterStatesModelQt::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PrinterStatesModelQt::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PrinterStatesModelQt::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount) {
        return {};
    }
    const PrinterStatus& status = Status(index.row());
    if (index.column() == Mark) {
        return role == Qt::DecorationRole ? QVariant(MarkColour(status.state)) : QVariant();
    }
    if (role == Qt::TextAlignmentRole && index.column() == Waiting) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case Printer:
            return QString::fromStdString(status.device);
        case State:
            return QString::fromStdString(DescribePrinterState(status));
        case LastPrinted:
            return status.lastPrinted
                       ? QString::fromStdString(FormatGeneralDate(*status.lastPrinted))
                       : QString();
        default:
            return QVariant::fromValue(static_cast<qlonglong>(status.waitingItems));
    }
}

QVariant PrinterStatesModelQt::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    static const char* const headers[ColumnCount] = {"", "Printer", "State", "Last printed",
                                                     "Waiting"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromLatin1(headers[section]);
}

}  // namespace kps
