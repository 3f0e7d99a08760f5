#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kps {

// The format of the files in the state folder: a kind line, then fields of
// "length:bytes\n", then a checksum line over everything before it. A file
// cut short or changed fails the checksum and is not trusted.
class StateRecordWriter {
  public:
    explicit StateRecordWriter(std::string_view kind);
    void Add(std::string_view text);
    void Add(long long number);
    // The whole file, checksum included.
    std::string Finish() const;

  private:
    std::string body_;
};

class StateRecordReader {
  public:
    // Nothing when the bytes are not a whole record of that kind.
    static std::optional<StateRecordReader> Open(std::string_view bytes, std::string_view kind);

    // The next field; nothing past the last one.
    std::optional<std::string> Text();
    std::optional<long long> Number();
    bool AtEnd() const { return fields_.empty(); }

  private:
    explicit StateRecordReader(std::string_view fields) : fields_(fields) {}
    std::string_view fields_;
};

}  // namespace kps
