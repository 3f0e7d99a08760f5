#include "startup/StateRecord.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

namespace kps {

namespace {

constexpr std::string_view kChecksumTag = "fnv1a64 ";
constexpr std::size_t kChecksumLineSize = kChecksumTag.size() + 16 + 1;

std::string Checksum(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (unsigned char byte : bytes) {
        hash = (hash ^ byte) * 1099511628211ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(kChecksumTag) + text + "\n";
}

}  // namespace

StateRecordWriter::StateRecordWriter(std::string_view kind) : body_(std::string(kind) + "\n") {}

void StateRecordWriter::Add(std::string_view text) {
    body_ += std::to_string(text.size()) + ":";
    body_ += text;
    body_ += "\n";
}

void StateRecordWriter::Add(long long number) {
    Add(std::to_string(number));
}

std::string StateRecordWriter::Finish() const {
    return body_ + Checksum(body_);
}

std::optional<StateRecordReader> StateRecordReader::Open(std::string_view bytes,
                                                         std::string_view kind) {
    if (bytes.size() < kChecksumLineSize) {
        return std::nullopt;
    }
    std::string_view body = bytes.substr(0, bytes.size() - kChecksumLineSize);
    if (bytes.substr(body.size()) != Checksum(body) || body.substr(0, kind.size()) != kind ||
        body.substr(kind.size(), 1) != "\n") {
        return std::nullopt;
    }
    return StateRecordReader(body.substr(kind.size() + 1));
}

std::optional<std::string> StateRecordReader::Text() {
    std::size_t length = 0;
    auto [end, ec] = std::from_chars(fields_.data(), fields_.data() + fields_.size(), length);
    std::size_t start = static_cast<std::size_t>(end - fields_.data()) + 1;
    if (ec != std::errc() || end == fields_.data() + fields_.size() || *end != ':' ||
        length >= fields_.size() - start || fields_[start + length] != '\n') {
        return std::nullopt;
    }
    std::string text(fields_.substr(start, length));
    fields_.remove_prefix(start + length + 1);
    return text;
}

std::optional<long long> StateRecordReader::Number() {
    std::optional<std::string> text = Text();
    long long number = 0;
    if (!text) {
        return std::nullopt;
    }
    auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (ec != std::errc() || end != text->data() + text->size()) {
        return std::nullopt;
    }
    return number;
}

}  // namespace kps
