#pragma once

#include <QFont>
#include <QString>

namespace kps {

// The font a system printer draws a line in for a device's font slot name.
// Slot names of the form FONT<letter><w>X<h> (the defaults "FONTB1X1",
// "FONTB1X2", "FONTB2X1") name receipt-printer fonts that desktop printers
// lack: they become the system's fixed-pitch font, `basePointSize` times h
// high and w wide. Any other name is the installed family of that name, or,
// when the system lacks it, the fixed-pitch font at the base size.
QFont PrinterFontFor(const QString& name, qreal basePointSize);

}  // namespace kps
