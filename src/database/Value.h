#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kps {

// One field of a result row. Numbers are held in their plain text form
// (2, 2.5); dates and times as ISO 8601 text ("2026-12-07", "22:05:09",
// "2026-12-07 22:05:09") for the callers to format.
class Value {
  public:
    enum class Kind { Null, Text, Integer, Real, Date, Time, DateTime };

    Value() = default;
    static Value Null() { return {}; }
    static Value Text(std::string text) { return Value(Kind::Text, std::move(text)); }
    static Value Integer(long long number);
    static Value Real(double number);
    static Value Date(std::string iso) { return Value(Kind::Date, std::move(iso)); }
    static Value Time(std::string iso) { return Value(Kind::Time, std::move(iso)); }
    static Value DateTime(std::string iso) { return Value(Kind::DateTime, std::move(iso)); }

    Kind GetKind() const { return kind_; }
    bool IsNull() const { return kind_ == Kind::Null; }

    // The plain text form; empty for Null.
    const std::string& AsText() const { return text_; }

    // The text, or `fallback` when Null.
    std::string Or(const std::string& fallback) const { return IsNull() ? fallback : text_; }

  private:
    Value(Kind kind, std::string text) : kind_(kind), text_(std::move(text)) {}

    Kind kind_ = Kind::Null;
    std::string text_;
};

// The whole number a value holds exactly: an Integer, or a Real or Text whose
// plain text is an optional "-" and digits that fit 64 bits. Nothing for
// Null, fractions, exponents, blanks or numbers out of range, so an ID is
// never rounded on its way back into a statement.
std::optional<std::int64_t> ExactInteger(const Value& value);

// A real number in its shortest plain decimal form: 2, 2.5, 0.1, never 2.000.
std::string PlainNumberText(double number);

}  // namespace kps
