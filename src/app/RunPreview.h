#pragma once

#include <ostream>
#include <string>

#include "tickets/TicketPreview.h"

namespace kps {

// Draws a previewed ticket as a picture of its paper; the window build has one.
class PreviewPainter {
  public:
    virtual ~PreviewPainter() = default;
    // False when the picture could not be written to `path`.
    virtual bool SavePicture(const PreviewTicket& ticket, const std::string& path) = 0;
};

// --preview: composes the tickets the next pass would print, for every
// device or only `device`, and writes each into `outFolder` as readable text
// (.txt) and, with a painter, as a picture (.png). It opens the database
// without the instance lock, only reads it, and sends nothing; its own log
// lines go to outFolder/LOG. Lists the files written on `out`; returns the
// exit status.
int RunPreview(const std::string& iniPath, const std::string& device, const std::string& outFolder,
               PreviewPainter* painter, std::ostream& out, std::ostream& err);

}  // namespace kps
