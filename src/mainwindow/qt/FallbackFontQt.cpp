#include "mainwindow/qt/FallbackFontQt.h"

namespace kps {

QFont InstalledOrSystemFont(const QString& family, QFontDatabase::SystemFont fallback) {
    if (QFontDatabase::hasFamily(family)) {
        return QFont(family);
    }
    return QFontDatabase::systemFont(fallback);
}

}  // namespace kps
