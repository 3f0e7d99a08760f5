#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QString>

namespace kps {

// The named family when the system has it, else the system's own font of
// that kind (the UI font, the fixed-pitch font), so that text never falls
// back to whatever the font matcher happens to pick.
QFont InstalledOrSystemFont(const QString& family, QFontDatabase::SystemFont fallback);

}  // namespace kps
