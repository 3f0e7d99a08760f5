#include "output/qt/QtPrinterFont.h"

#include <QFontDatabase>
#include <QRegularExpression>

#include <algorithm>

namespace kps {
namespace {

// Receipt printers scale their characters by one to eight.
constexpr int kMaxScale = 8;

}  // namespace

QFont PrinterFontFor(const QString& name, qreal basePointSize) {
    static const QRegularExpression kReceiptFont(QStringLiteral("^FONT[A-Z]([0-9]+)X([0-9]+)$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    const QString trimmed = name.trimmed();
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    int width = 1;
    int height = 1;
    if (const QRegularExpressionMatch match = kReceiptFont.match(trimmed); match.hasMatch()) {
        width = std::clamp(match.captured(1).toInt(), 1, kMaxScale);
        height = std::clamp(match.captured(2).toInt(), 1, kMaxScale);
    } else if (!trimmed.isEmpty() && QFontDatabase::hasFamily(trimmed)) {
        font = QFont(trimmed);
    }
    font.setPointSizeF(basePointSize * height);
    font.setStretch(100 * width / height);
    return font;
}

}  // namespace kps
