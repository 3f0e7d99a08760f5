#include "status/TicketPaper.h"

#include "output/EscPosTranslator.h"

namespace kps {

std::vector<PaperLine> KeptTicketPaper(const StoredTicket& ticket, int codePage) {
    EscPosTranslator translator(codePage);
    std::string bytes = translator.JobStart();
    for (const std::string& line : ticket.lines) {
        bytes += translator.Translate(line);
    }
    return ReadEscPosPaper(bytes, ticket.columns);
}

}  // namespace kps
