#include "output/IcmpEcho.h"

namespace kps {
namespace {

constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kEchoRequest = 8;
constexpr std::size_t kIcmpHeaderSize = 8;

std::uint16_t WordAt(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[at]) << 8) |
                                      static_cast<unsigned char>(bytes[at + 1]));
}

}  // namespace

std::uint16_t InternetChecksum(std::string_view bytes) {
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        sum += WordAt(bytes, i);
    }
    if (i < bytes.size()) {
        sum += static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 8;
    }
    while (sum >> 16) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

std::string BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                             std::string_view payload) {
    std::string packet(kIcmpHeaderSize, '\0');
    packet[0] = static_cast<char>(kEchoRequest);
    packet[4] = static_cast<char>(identifier >> 8);
    packet[5] = static_cast<char>(identifier & 0xFF);
    packet[6] = static_cast<char>(sequence >> 8);
    packet[7] = static_cast<char>(sequence & 0xFF);
    packet.append(payload);
    std::uint16_t checksum = InternetChecksum(packet);
    packet[2] = static_cast<char>(checksum >> 8);
    packet[3] = static_cast<char>(checksum & 0xFF);
    return packet;
}

bool IsEchoReplyTo(std::string_view packet, bool hasIpHeader,
                   std::optional<std::uint16_t> identifier, std::uint16_t sequence) {
    if (hasIpHeader) {
        if (packet.empty()) {
            return false;
        }
        std::size_t ipHeader = (static_cast<unsigned char>(packet[0]) & 0x0F) * 4u;
        if (ipHeader < 20 || packet.size() < ipHeader) {
            return false;
        }
        packet.remove_prefix(ipHeader);
    }
    if (packet.size() < kIcmpHeaderSize || static_cast<unsigned char>(packet[0]) != kEchoReply ||
        packet[1] != 0 || InternetChecksum(packet) != 0) {
        return false;
    }
    if (identifier && WordAt(packet, 4) != *identifier) {
        return false;
    }
    return WordAt(packet, 6) == sequence;
}

}  // namespace kps
