#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <vector>

#include "sending/PrinterStates.h"

namespace kps {

// The printer states panel for a QTableView: one row per device, reset from
// the core after every change.
class PrinterStatesModelQt final : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { Mark, Printer, State, LastPrinted, Waiting, ColumnCount };

    explicit PrinterStatesModelQt(QObject* parent = nullptr);

    void Reset(const PrinterStates& states);

    // The device of a row, as the "Resume" action names it.
    const PrinterStatus& Status(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

    // The mark's colour: green printing, red not printing, amber question
    // pending, grey suspended.
    static QColor MarkColour(PrinterState state);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    std::vector<PrinterStatus> rows_;
};

}  // namespace kps
