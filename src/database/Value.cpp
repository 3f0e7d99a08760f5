#include "database/Value.h"

#include <charconv>
#include <cmath>

namespace kps {

Value Value::Integer(long long number) {
    return Value(Kind::Integer, std::to_string(number));
}

Value Value::Real(double number) {
    return Value(Kind::Real, PlainNumberText(number));
}

std::optional<std::int64_t> ExactInteger(const Value& value) {
    switch (value.GetKind()) {
        case Value::Kind::Integer:
        case Value::Kind::Real:
        case Value::Kind::Text:
            break;
        default:
            return std::nullopt;
    }
    const std::string& text = value.AsText();
    // from_chars takes a leading "-" but no "+" or blanks, as wanted here.
    std::int64_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

std::string PlainNumberText(double number) {
    if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 1e15) {
        return std::to_string(static_cast<long long>(number));
    }
    // The shortest form that reads back as the same number, with a point
    // whatever the process locale says.
    char buf[40];
    auto result = std::to_chars(buf, buf + sizeof buf, number);
    return std::string(buf, result.ptr);
}

}  // namespace kps
