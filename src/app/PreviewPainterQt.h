#pragma once

#include "app/RunPreview.h"
#include "output/qt/TicketImageQt.h"

namespace kps {

// Pictures of previewed tickets: a receipt printer's strip for network and
// direct-port tickets, the page for a system printer's.
class PreviewPainterQt final : public PreviewPainter {
  public:
    bool SavePicture(const PreviewTicket& ticket, const std::string& path) override;

  private:
    TicketImageQt images_;
};

// --preview in the window build: runs offscreen when no display is set.
int RunPreviewWithPictures(int& argc, char** argv, const std::string& iniPath,
                           const std::string& device, const std::string& outFolder);

}  // namespace kps
