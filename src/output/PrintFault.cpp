#include "output/PrintFault.h"

namespace kps {

std::string DescribePrintFault(PrintFault fault) {
    switch (fault) {
        case PrintFault::None:
            return "printing";
        case PrintFault::Unreachable:
            return "unreachable";
        case PrintFault::Refused:
            return "refused";
        case PrintFault::CoverOpen:
            return "cover open";
        case PrintFault::PaperOut:
            return "paper out";
        case PrintFault::Offline:
            return "offline";
        case PrintFault::NoAnswer:
            return "no answer";
        case PrintFault::PortNotWritable:
            return "port not writable";
        case PrintFault::NotLeased:
            return "another server prints for this outlet";
        case PrintFault::NotRecorded:
            return "print journal not written";
        case PrintFault::Failed:
            break;
    }
    return "failed";
}

}  // namespace kps
