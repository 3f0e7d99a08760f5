#include "output/LayoutLine.h"

#include <string_view>

#include "text/Text.h"

namespace kps {
namespace {

constexpr std::size_t kDoubleWidthColumns = 20;

struct Segment {
    std::string prefix;
    std::string name;
    std::string suffix;
    bool hasName = false;
};

// A segment without a complete "[name]" contributes nothing.
Segment SplitSegment(std::string_view text) {
    Segment segment;
    const auto open = text.find('[');
    const auto close = open == std::string_view::npos ? open : text.find(']', open + 1);
    if (close == std::string_view::npos) {
        return segment;
    }
    segment.hasName = true;
    segment.prefix = std::string(text.substr(0, open));
    segment.name = std::string(text.substr(open + 1, close - open - 1));
    segment.suffix = std::string(text.substr(close + 1));
    return segment;
}

// The value of a layout variable, or false when the name is none of them.
// The guest number answers to VarPaxNo only in one-segment lines and to
// VarPax only in lines of several segments.
bool VariableValue(const std::string& name, int count, const TicketHeader& header,
                   const std::string& shortDate, std::string& value) {
    if (name == "VarTicketNo") {
        value = header.BillNo.AsText();
    } else if ((name == "VarPaxNo" && count == 1) || (name == "VarPax" && count >= 2)) {
        value = header.PaxNo.AsText();
    } else if (name == "VarTableNo") {
        value = header.TableCode.AsText();
    } else if (name == "Date") {
        value = shortDate;
    } else if (name == "DefCashierName") {
        value.clear();  // the print server knows no cashier
    } else if (name == "DefUserName") {
        value = header.StaffName;
    } else if (name == "PR_DefPrinterName") {
        value = header.DeviceName;
    } else {
        return false;
    }
    return true;
}

std::string Substitute(std::string_view templ, int count, TicketHeader& header,
                       const std::string& shortDate) {
    if (header.PaxNo.IsNull()) {
        header.PaxNo = Value::Integer(0);
    }
    if (header.TableCode.IsNull()) {
        header.TableCode = Value::Text("-");
    }
    std::string expanded;
    std::size_t position = 0;
    for (int i = 0; i < count; ++i) {
        std::string_view segmentText;
        if (count == 1) {
            segmentText = templ;
        } else if (position < templ.size()) {
            const auto slash = templ.find('/', position);
            const auto end = slash == std::string_view::npos ? templ.size() : slash;
            segmentText = templ.substr(position, end - position);
            position = end + 1;
        }
        const Segment segment = SplitSegment(segmentText);
        std::string value;
        if (segment.hasName && VariableValue(segment.name, count, header, shortDate, value)) {
            expanded += segment.prefix + value + segment.suffix;
        }
    }
    return expanded;
}

bool IsDoubleWidthFont(const std::string& fontDigit, const std::string& printingType) {
    if (printingType == "O" || printingType == "D") {
        return fontDigit == "3" || fontDigit == "4";
    }
    return fontDigit == "2" || fontDigit == "4";
}

std::string Align(const std::string& expanded, const std::string& line, std::size_t rowPerLine,
                  const std::string& printingType) {
    const std::string letter = CharAt(line, 2);
    const std::string fontDigit = CharAt(line, 3);
    if (letter == "R") {
        const long gap =
            static_cast<long>(rowPerLine) - static_cast<long>(DisplayWidth(Trim(expanded)));
        return Spaces(gap) + expanded;
    }
    if (letter != "C") {
        return expanded;
    }
    if (fontDigit == "1") {
        return CentringSpaces(rowPerLine, expanded) + expanded;
    }
    const std::size_t width =
        IsDoubleWidthFont(fontDigit, printingType) ? kDoubleWidthColumns : rowPerLine;
    const std::string cut = LeftChars(expanded, width);
    return CentringSpaces(width, cut) + cut;
}

}  // namespace

std::string CentringSpaces(std::size_t width, const std::string& text) {
    const double gap = static_cast<double>(width) - static_cast<double>(DisplayWidth(Trim(text)));
    return Spaces(RoundHalfEven(gap / 2));
}

std::string ExpandLayoutLine(const std::string& line, TicketBuffers& ticket,
                             const std::string& printingType, const std::string& shortDate) {
    if (ticket.RowPerLine == 0) {
        ticket.RowPerLine = 40;
    }
    // The template follows the first "=" after the count digit; a line
    // without one has an empty template.
    const auto equals = line.find('=', 1);
    const std::string templ = equals == std::string::npos ? std::string() : line.substr(equals + 1);
    const int count = line.empty() || line[0] < '0' || line[0] > '9' ? 0 : line[0] - '0';

    const std::string expanded =
        count == 0 ? templ : Substitute(templ, count, ticket.Header, shortDate);
    const std::size_t rowPerLine =
        ticket.RowPerLine > 0 ? static_cast<std::size_t>(ticket.RowPerLine) : 0;
    std::string result = Align(expanded, line, rowPerLine, printingType);
    ticket.CurrentLayoutLine = Trim(result);
    return result;
}

}  // namespace kps
