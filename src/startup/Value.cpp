#include "startup/Value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kps {

Value Value::Integer(long long number) {
    return Value(Kind::Integer, std::to_string(number));
}

Value Value::Real(double number) {
    return Value(Kind::Real, PlainNumberText(number));
}

std::string PlainNumberText(double number) {
    if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 1e15) {
        return std::to_string(static_cast<long long>(number));
    }
    // The shortest form that reads back as the same number.
    char buf[40];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, number);
        if (std::strtod(buf, nullptr) == number) {
            break;
        }
    }
    return buf;
}

}  // namespace kps
