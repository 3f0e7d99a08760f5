#include "app/PreviewPainterQt.h"

#include <QGuiApplication>
#include <QString>
#include <cstdlib>
#include <iostream>

#include "tickets/qt/PreviewPictureQt.h"

namespace kps {

bool PreviewPainterQt::SavePicture(const PreviewTicket& ticket, const std::string& path) {
    return PreviewPicture(images_, ticket).save(QString::fromStdString(path), "PNG");
}

int RunPreviewWithPictures(int& argc, char** argv, const std::string& iniPath,
                           const std::string& device, const std::string& outFolder) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    QGuiApplication app(argc, argv);
    PreviewPainterQt painter;
    return RunPreview(iniPath, device, outFolder, &painter, std::cout, std::cerr);
}

}  // namespace kps
