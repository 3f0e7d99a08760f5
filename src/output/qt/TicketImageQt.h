#pragma once

#include <QFont>
#include <QImage>
#include <string>
#include <string_view>
#include <vector>

#include "output/SystemPrinterPage.h"

namespace kps {

// Pictures of what a ticket would look like on paper, drawn offscreen.
class TicketImageQt {
  public:
    static constexpr int kMargin = 12;

    TicketImageQt();

    // The strip a receipt printer of `columns` characters per line would
    // print for these ESC/POS bytes: white paper, black or red text in the
    // system's fixed-pitch font, sizes and centring as the codes say, the
    // cut as a dashed line across the strip.
    QImage DrawEscPos(std::string_view bytes, int columns,
                      const std::string& doubleByteSet = "GB18030") const;

    // A system printer's page: each line in its font and colour, top down.
    QImage DrawPage(const std::vector<SystemPrinterLine>& lines) const;

    // One text row and one character cell of the strip, in pixels.
    int RowHeight() const { return rowHeight_; }
    int CellWidth() const { return cellWidth_; }

  private:
    QFont font_;
    int rowHeight_;
    int cellWidth_;
};

}  // namespace kps
