#pragma once

#include "tools/sim_commands.h"
#include "tools/sim_objects.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace meter_sim {

struct PduDeleter {
    void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};
using PduPtr = std::unique_ptr<netsnmp_pdu, PduDeleter>;

// Turns one GET request into the meter's answer: the request's clone with the values filled
// in, or an error answer noSuchName naming the first binding the meter does not have.
class Responder {
public:
    Responder(MeterObjects& objects, const AgentControls& controls, std::string community, std::uint32_t seed);

    // Null when the request gets no answer: another community, or the agent is silent.
    PduPtr Answer(netsnmp_pdu& request, Clock::time_point now);
    // The datagrams of the raw mode in controls (which must be set) for the request, with the
    // value of its first binding's object (NULL for none); none when Answer would give none.
    std::vector<std::string> RawAnswers(const netsnmp_pdu& request, Clock::time_point now);

private:
    // Whether the request gets an answer at all: the agent is not silent, the community fits.
    bool Answers(const netsnmp_pdu& request) const;
    bool CarriesCommunity(const netsnmp_pdu& request) const;
    // The bindings' values in order, or the 1-based position of the first one missing.
    std::vector<SimValue> LookUp(const netsnmp_pdu& request, Clock::time_point now, long& missingAt);
    void ReplaceCommunity(netsnmp_pdu& reply, const std::string& community) const;

    MeterObjects& objects_;
    const AgentControls& controls_;
    std::string community_;
    std::mt19937 random_;  // the random-bytes fault's
};

// Answers held back by "delay" until they are due; equal due times keep their order.
class AnswerQueue {
public:
    void Push(Clock::time_point due, PduPtr answer);
    std::optional<Clock::time_point> NextDue() const;
    std::vector<PduPtr> TakeDue(Clock::time_point now);

private:
    std::multimap<Clock::time_point, PduPtr> pending_;
};

}  // namespace meter_sim
