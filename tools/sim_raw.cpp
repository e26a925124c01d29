#include "tools/sim_raw.h"

#include <algorithm>

namespace meter_sim {

const RawFaultName RawFaultNames[22] = {
    {RawFault::Truncated, "truncated"},
    {RawFault::LengthPastEnd, "length-past-end"},
    {RawFault::LengthHuge, "length-huge"},
    {RawFault::WrongRequestId, "wrong-request-id"},
    {RawFault::WrongPduType, "wrong-pdu-type"},
    {RawFault::WrongVersion, "wrong-version"},
    {RawFault::WrongCommunity, "wrong-community"},
    {RawFault::IntegerEmpty, "integer-empty"},
    {RawFault::IntegerNineBytes, "integer-9-bytes"},
    {RawFault::EmptyString, "empty-string"},
    {RawFault::LongString, "long-string"},
    {RawFault::NoBindings, "no-bindings"},
    {RawFault::FiveBindings, "five-bindings"},
    {RawFault::LongOid, "long-oid"},
    {RawFault::WrongName, "wrong-name"},
    {RawFault::Counter64, "counter64"},
    {RawFault::Null, "null"},
    {RawFault::NoSuchObject, "no-such-object"},
    {RawFault::EndOfMibView, "end-of-mib-view"},
    {RawFault::Duplicated, "duplicated"},
    {RawFault::EmptyDatagram, "empty-datagram"},
    {RawFault::RandomBytes, "random-bytes"},
};

std::optional<RawFault> RawFaultNamed(std::string_view name) {
    for (const auto& entry : RawFaultNames) {
        if (name == entry.name)
            return entry.fault;
    }
    return std::nullopt;
}

namespace {

constexpr std::uint8_t Sequence = 0x30;
constexpr std::uint8_t Integer = 0x02;
constexpr std::uint8_t OctetString = 0x04;
constexpr std::uint8_t ObjectId = 0x06;
constexpr std::uint8_t GetRequest = 0xA0;
constexpr std::uint8_t GetResponse = 0xA2;
// The longest UDP payload over IPv4, less the message around the string.
constexpr std::size_t LongStringLength = 65507 - 200;
constexpr std::size_t LongOidLength = 200;
constexpr std::size_t MaxRandomBytes = 300;

std::string Length(std::size_t length) {
    if (length < 0x80)
        return std::string(1, static_cast<char>(length));
    std::string bytes;
    for (; length; length >>= 8)
        bytes.insert(bytes.begin(), static_cast<char>(length & 0xFF));
    return static_cast<char>(0x80 | bytes.size()) + bytes;
}

std::string Tlv(std::uint8_t tag, std::string_view content) {
    return static_cast<char>(tag) + Length(content.size()) + std::string(content);
}

std::string OidContent(const std::vector<std::uint32_t>& name) {
    std::vector<std::uint64_t> arcs;
    if (name.size() >= 2)
        arcs.push_back(40ULL * name[0] + name[1]);
    else if (!name.empty())
        arcs.push_back(40ULL * name[0]);
    if (name.size() > 2)
        arcs.insert(arcs.end(), name.begin() + 2, name.end());
    std::string bytes;
    for (std::uint64_t arc : arcs) {
        std::string base128(1, static_cast<char>(arc & 0x7F));
        for (arc >>= 7; arc; arc >>= 7)
            base128.insert(base128.begin(), static_cast<char>(0x80 | (arc & 0x7F)));
        bytes += base128;
    }
    return bytes;
}

// Every part of one answer that a fault may change.
struct Message {
    std::int64_t version = 0;
    std::string community;
    std::uint8_t pduType = GetResponse;
    std::int64_t requestId = 0;
    std::vector<std::uint32_t> name;
    std::string value;  // the whole TLV
    int bindings = 1;
    std::size_t lengthBeyondEnd = 0;  // how far the outer length claims past the datagram
};

std::string Encode(const Message& message) {
    const std::string binding = Tlv(Sequence, Tlv(ObjectId, OidContent(message.name)) + message.value);
    std::string list;
    for (int i = 0; i < message.bindings; ++i)
        list += binding;
    const std::string pdu =
        Tlv(message.pduType, Tlv(Integer, IntegerContent(message.requestId)) + Tlv(Integer, IntegerContent(0)) +
                                 Tlv(Integer, IntegerContent(0)) + Tlv(Sequence, list));
    const std::string content =
        Tlv(Integer, IntegerContent(message.version)) + Tlv(OctetString, message.community) + pdu;
    return static_cast<char>(Sequence) + Length(content.size() + message.lengthBeyondEnd) + content;
}

Message GoodMessage(const RawRequest& request, const RawValue& value) {
    Message message;
    message.community = request.community;
    message.requestId = request.requestId;
    message.name = request.name;
    message.value = Tlv(value.tag, value.content);
    return message;
}

std::string RandomBytes(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> length(1, MaxRandomBytes);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(length(random), '\0');
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(byte(random)); });
    return bytes;
}

}  // namespace

std::string IntegerContent(std::int64_t number) {
    std::string bytes;
    do {
        bytes.insert(bytes.begin(), static_cast<char>(number & 0xFF));
        number >>= 8;  // arithmetic: the sign stays
    } while (!((number == 0 && !(bytes.front() & 0x80)) || (number == -1 && (bytes.front() & 0x80))));
    return bytes;
}

std::string EncodeAnswer(const RawRequest& request, const RawValue& value) {
    return Encode(GoodMessage(request, value));
}

std::vector<std::string> FaultyAnswers(RawFault fault, const RawRequest& request, const RawValue& value,
                                       std::mt19937& random) {
    Message message = GoodMessage(request, value);
    switch (fault) {
    case RawFault::Truncated: {
        const std::string whole = Encode(message);
        return {whole.substr(0, whole.size() / 2)};
    }
    case RawFault::LengthPastEnd:
        message.lengthBeyondEnd = 10;
        break;
    case RawFault::LengthHuge:
        message.value =
            std::string{static_cast<char>(value.tag), '\x84', '\xFF', '\xFF', '\xFF', '\xFF'} + value.content;
        break;
    case RawFault::WrongRequestId:
        message.requestId = request.requestId + 1;
        break;
    case RawFault::WrongPduType:
        message.pduType = GetRequest;
        break;
    case RawFault::WrongVersion:
        message.version = 1;
        break;
    case RawFault::WrongCommunity:
        message.community = "public";
        break;
    case RawFault::IntegerEmpty:
        message.value = Tlv(Integer, "");
        break;
    case RawFault::IntegerNineBytes:
        message.value = Tlv(Integer, std::string(7, '\0') + IntegerContent(853));
        break;
    case RawFault::EmptyString:
        message.value = Tlv(OctetString, "");
        break;
    case RawFault::LongString:
        message.value = Tlv(OctetString, std::string(LongStringLength, 'x'));
        break;
    case RawFault::NoBindings:
        message.bindings = 0;
        break;
    case RawFault::FiveBindings:
        message.bindings = 5;
        break;
    case RawFault::LongOid:
        message.name.resize(LongOidLength, 1);
        break;
    case RawFault::WrongName:
        if (!message.name.empty())
            ++message.name.back();
        break;
    case RawFault::Counter64:
        message.value = Tlv(0x46, std::string(7, '\0') + '\x01');
        break;
    case RawFault::Null:
        message.value = Tlv(0x05, "");
        break;
    case RawFault::NoSuchObject:
        message.value = Tlv(0x80, "");
        break;
    case RawFault::EndOfMibView:
        message.value = Tlv(0x82, "");
        break;
    case RawFault::Duplicated:
        return {Encode(message), Encode(message)};
    case RawFault::EmptyDatagram:
        return {std::string()};
    case RawFault::RandomBytes:
        return {RandomBytes(random)};
    }
    return {Encode(message)};
}

}  // namespace meter_sim
