#pragma once
// Hostile answers: datagrams encoded by hand rather than by the library, so that they can
// break every rule of BER and SNMPv1 that a faulty or malicious agent might break.

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace meter_sim {

enum class RawFault {
    Truncated,         // a good answer cut off halfway
    LengthPastEnd,     // the message's length reaches past the datagram's end
    LengthHuge,        // the value's length is 0x84 FF FF FF FF
    WrongRequestId,    // the request id plus one
    WrongPduType,      // a GetRequest instead of a GetResponse
    WrongVersion,      // SNMPv2c
    WrongCommunity,    // "public"
    IntegerEmpty,      // an INTEGER of no bytes
    IntegerNineBytes,  // an INTEGER of nine bytes
    EmptyString,       // an OCTET STRING of no bytes
    LongString,        // an OCTET STRING as long as one datagram carries
    NoBindings,        // an empty binding list
    FiveBindings,      // the binding five times
    LongOid,           // a binding named by an OID of 200 sub-identifiers
    WrongName,         // the binding names the next object instead of the one asked for
    Counter64,
    Null,
    NoSuchObject,
    EndOfMibView,
    Duplicated,     // the good answer, twice
    EmptyDatagram,  // a datagram of no bytes
    RandomBytes,    // 1 to 300 random bytes
};

// Every fault with its name on the control channel, in the order above.
struct RawFaultName {
    RawFault fault;
    const char* name;
};
extern const RawFaultName RawFaultNames[22];
std::optional<RawFault> RawFaultNamed(std::string_view name);

// The value a good answer carries: its BER tag and its content octets.
struct RawValue {
    std::uint8_t tag = 0x05;
    std::string content;
};

// What the request said that an answer echoes.
struct RawRequest {
    std::string community;
    long requestId = 0;
    std::vector<std::uint32_t> name;  // the first binding's OID
};

// The good answer to `request` with `value`, a GetResponse of SNMPv1 encoded by hand.
std::string EncodeAnswer(const RawRequest& request, const RawValue& value);

// The datagrams that answer `request` with `fault` (none, one or two).
std::vector<std::string> FaultyAnswers(RawFault fault, const RawRequest& request, const RawValue& value,
                                       std::mt19937& random);

// The BER content of an INTEGER, shortest two's complement.
std::string IntegerContent(std::int64_t number);

}  // namespace meter_sim
