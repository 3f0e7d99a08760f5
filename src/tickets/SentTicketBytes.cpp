#include "tickets/SentTicketBytes.h"

#include "output/DirectPort.h"
#include "output/EscPosTranslator.h"

namespace kps {

std::string SentTicketBytes(const PrintJob& job) {
    if (job.printingType == "D") {
        return DirectTicketBytes(job.text, job.codePage);
    }
    EscPosTranslator translator(job.codePage);
    std::string bytes = translator.JobStart();
    for (const std::string& line : job.lines) {
        bytes += translator.Translate(line);
    }
    return bytes + translator.Translate(job.codes.CodeFeedCut);
}

}  // namespace kps
