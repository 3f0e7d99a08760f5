#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kps {

// Writes JSON text in one pass, placing the commas; every string goes
// through JsonString.
class JsonWriter {
  public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next member of the current object.
    JsonWriter& Key(std::string_view name);

    JsonWriter& String(std::string_view text);
    JsonWriter& Integer(long long value);
    // Three decimals; null for an infinity or NaN.
    JsonWriter& Decimal(double value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return text_; }

  private:
    void BeforeValue();

    std::string text_;
    std::vector<bool> first_;  // per open object or array: nothing in it yet
    bool afterKey_ = false;
};

}  // namespace kps
