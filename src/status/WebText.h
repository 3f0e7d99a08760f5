#pragma once

#include <string>
#include <string_view>

namespace kps {

// Text from the data (device names, items, tickets) made safe for each
// format the status server writes.

// For HTML text and quoted attribute values: & < > " ' as references.
std::string EscapeHtml(std::string_view text);

// A JSON string, quotes included. Besides what JSON requires, < > & are
// written as \u escapes so the text cannot end a script element.
std::string JsonString(std::string_view text);

// A Prometheus label value, without its quotes: \ " and line ends escaped.
std::string EscapeLabelValue(std::string_view text);

// A number with three decimals (or `decimals`), as JSON and the metrics
// write it.
std::string DecimalText(double value, int decimals = 3);

// One path segment of a URL: every byte but letters, digits and -._~ as %XX.
std::string EncodePathSegment(std::string_view text);

// The value of `name` in a query string or a form body
// (application/x-www-form-urlencoded), %XX and '+' decoded; not valid when
// an escape is malformed, and the caller answers 400.
struct FormField {
    bool present = false;
    bool valid = true;
    std::string value;
};
FormField FindFormField(std::string_view form, std::string_view name);

// The value of cookie `name` in a Cookie header; empty when it has none.
std::string FindCookie(std::string_view header, std::string_view name);

}  // namespace kps
