#include "tools/sim_responder.h"

#include <cstdlib>
#include <cstring>

namespace meter_sim {
namespace {

std::string Dotted(const oid* name, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text += "." + std::to_string(name[i]);
    return text;
}

u_char AsnType(ValueType type) {
    switch (type) {
    case ValueType::Integer:
        return ASN_INTEGER;
    case ValueType::Counter32:
        return ASN_COUNTER;
    case ValueType::Gauge32:
        return ASN_GAUGE;
    case ValueType::Unsigned32:
        return ASN_UINTEGER;  // 0x47, the SMIv1 tag that SNMPv2 retired
    case ValueType::TimeTicks:
        return ASN_TIMETICKS;
    case ValueType::OctetString:
    case ValueType::Missing:
        break;
    }
    return ASN_OCTET_STR;
}

void SetValue(netsnmp_variable_list& binding, const SimValue& value) {
    if (value.type == ValueType::OctetString) {
        snmp_set_var_typed_value(&binding, ASN_OCTET_STR, value.bytes.data(), value.bytes.size());
    } else if (value.type == ValueType::Integer) {
        const long number = static_cast<long>(value.number);
        snmp_set_var_typed_value(&binding, ASN_INTEGER, &number, sizeof number);
    } else {
        const u_long number = static_cast<u_long>(value.number);
        snmp_set_var_typed_value(&binding, AsnType(value.type), &number, sizeof number);
    }
}

// The object's value as a BER tag and content; NULL for a missing object.
RawValue RawValueOf(const SimValue& value) {
    switch (value.type) {
    case ValueType::Missing:
        return {};
    case ValueType::OctetString:
        return {ASN_OCTET_STR, value.bytes};
    default:
        return {AsnType(value.type), IntegerContent(value.number)};
    }
}

}  // namespace

Responder::Responder(MeterObjects& objects, const AgentControls& controls, std::string community, std::uint32_t seed)
    : objects_(objects), controls_(controls), community_(std::move(community)), random_(seed) {}

std::vector<std::string> Responder::RawAnswers(const netsnmp_pdu& request, Clock::time_point now) {
    if (!Answers(request))
        return {};
    if (!controls_.raw->fault)
        return {controls_.raw->bytes};
    RawRequest echoed{community_, request.reqid, {}};
    SimValue value;
    if (const auto* binding = request.variables) {
        echoed.name.assign(binding->name, binding->name + binding->name_length);
        if (const auto object = MeterObjectAt(Dotted(binding->name, binding->name_length)))
            value = objects_.ValueOf(*object, now);
    }
    return FaultyAnswers(*controls_.raw->fault, echoed, RawValueOf(value), random_);
}

PduPtr Responder::Answer(netsnmp_pdu& request, Clock::time_point now) {
    if (!Answers(request))
        return nullptr;
    long missingAt = 0;
    const std::vector<SimValue> values = LookUp(request, now, missingAt);

    PduPtr reply(snmp_clone_pdu(&request));
    if (!reply)
        return nullptr;
    reply->command = SNMP_MSG_RESPONSE;
    reply->errstat = missingAt ? SNMP_ERR_NOSUCHNAME : SNMP_ERR_NOERROR;
    reply->errindex = missingAt;
    if (!missingAt) {
        auto value = values.begin();
        for (auto* binding = reply->variables; binding; binding = binding->next_variable)
            SetValue(*binding, *value++);
    }
    if (controls_.replyCommunity)
        ReplaceCommunity(*reply, *controls_.replyCommunity);
    return reply;
}

bool Responder::Answers(const netsnmp_pdu& request) const {
    return !controls_.silent && CarriesCommunity(request);
}

bool Responder::CarriesCommunity(const netsnmp_pdu& request) const {
    return request.community_len == community_.size() &&
           std::memcmp(request.community, community_.data(), community_.size()) == 0;
}

std::vector<SimValue> Responder::LookUp(const netsnmp_pdu& request, Clock::time_point now, long& missingAt) {
    std::vector<SimValue> values;
    long position = 1;
    for (const auto* binding = request.variables; binding; binding = binding->next_variable, ++position) {
        const auto object = MeterObjectAt(Dotted(binding->name, binding->name_length));
        values.push_back(object ? objects_.ValueOf(*object, now) : SimValue{});
        if (values.back().type == ValueType::Missing) {
            missingAt = position;
            break;
        }
    }
    return values;
}

void Responder::ReplaceCommunity(netsnmp_pdu& reply, const std::string& community) const {
    auto* bytes = static_cast<u_char*>(std::malloc(community.size()));
    if (!bytes)
        return;
    std::memcpy(bytes, community.data(), community.size());
    std::free(reply.community);
    reply.community = bytes;
    reply.community_len = community.size();
}

void AnswerQueue::Push(Clock::time_point due, PduPtr answer) {
    pending_.emplace(due, std::move(answer));
}

std::optional<Clock::time_point> AnswerQueue::NextDue() const {
    if (pending_.empty())
        return std::nullopt;
    return pending_.begin()->first;
}

std::vector<PduPtr> AnswerQueue::TakeDue(Clock::time_point now) {
    std::vector<PduPtr> due;
    auto end = pending_.upper_bound(now);
    for (auto it = pending_.begin(); it != end; ++it)
        due.push_back(std::move(it->second));
    pending_.erase(pending_.begin(), end);
    return due;
}

}  // namespace meter_sim
