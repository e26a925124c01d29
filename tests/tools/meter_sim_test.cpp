// The meter simulator, seen from outside: a real SNMPv1 client on one side, the control
// channel on the other.
#include "tests/support/meter_sim_process.h"
#include "tests/support/wait_until.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace decimon::test;

namespace {

using namespace std::chrono_literals;
using testing::HasSubstr;
using testing::StartsWith;

const std::string Level = ".1.3.6.1.4.1.32473.1.1.1.6.0";      // meter base + ".1.1.6.0"
const std::string Weighting = ".1.3.6.1.4.1.32473.1.1.2.1.0";  // meter base + ".1.2.1.0"
const std::string SysName = ".1.3.6.1.2.1.1.5.0";
const std::string SysLocation = ".1.3.6.1.2.1.1.6.0";
const std::string SysDescr = ".1.3.6.1.2.1.1.1.0";

constexpr auto NoAnswerWait = 300ms;

struct Binding {
    std::string oid;
    u_char type = 0;
    long number = 0;    // the integer types, unsigned ones as they came
    std::string bytes;  // OCTET STRING
};

struct Answer {
    std::string community;
    long errorStatus = 0;
    long errorIndex = 0;
    std::vector<Binding> bindings;
};

struct Request {
    std::vector<std::string> oids;
    std::string community = "mivrol";
    int command = SNMP_MSG_GET;
    std::chrono::milliseconds timeout = 2000ms;
};

std::vector<oid> ParseOid(const std::string& dotted) {
    std::vector<oid> parts;
    for (std::size_t at = 1; at <= dotted.size();) {
        const auto dot = std::min(dotted.find('.', at), dotted.size());
        parts.push_back(std::stoul(dotted.substr(at, dot - at)));
        at = dot + 1;
    }
    return parts;
}

std::string FormatOid(const oid* name, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text += "." + std::to_string(name[i]);
    return text;
}

Binding BindingOf(const netsnmp_variable_list& variable) {
    Binding binding{FormatOid(variable.name, variable.name_length), variable.type, 0, {}};
    if (variable.type == ASN_OCTET_STR)
        binding.bytes.assign(reinterpret_cast<const char*>(variable.val.string), variable.val_len);
    else if (variable.type != ASN_NULL)
        binding.number = *variable.val.integer;
    return binding;
}

// One SNMPv1 request on net-snmp's single-session API, files untouched; nullopt when no
// answer came in time.
std::optional<Answer> Ask(const std::string& agent, const Request& request) {
    static const bool configured = [] {
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
        return true;
    }();
    (void)configured;

    netsnmp_session config;
    snmp_sess_init(&config);
    config.version = SNMP_VERSION_1;
    config.peername = const_cast<char*>(agent.c_str());
    config.community = reinterpret_cast<u_char*>(const_cast<char*>(request.community.c_str()));
    config.community_len = request.community.size();
    config.timeout = std::chrono::duration_cast<std::chrono::microseconds>(request.timeout).count();
    config.retries = 0;
    void* session = snmp_sess_open(&config);
    if (!session) {
        ADD_FAILURE() << "cannot open an SNMP session to " << agent;
        return std::nullopt;
    }
    netsnmp_pdu* pdu = snmp_pdu_create(request.command);
    for (const auto& name : request.oids) {
        const auto parts = ParseOid(name);
        snmp_add_null_var(pdu, parts.data(), parts.size());
    }
    netsnmp_pdu* response = nullptr;
    std::optional<Answer> answer;
    if (snmp_sess_synch_response(session, pdu, &response) == STAT_SUCCESS && response) {
        answer = Answer{std::string(reinterpret_cast<const char*>(response->community), response->community_len),
                        response->errstat,
                        response->errindex,
                        {}};
        for (auto* variable = response->variables; variable; variable = variable->next_variable)
            answer->bindings.push_back(BindingOf(*variable));
    }
    if (response)
        snmp_free_pdu(response);
    snmp_sess_close(session);
    return answer;
}

std::optional<Answer> Get(const MeterSimProcess& sim, std::vector<std::string> oids) {
    return Ask(sim.Agent(), Request{std::move(oids)});
}

// The one binding of a successful single-object GET.
Binding GetOne(const MeterSimProcess& sim, const std::string& name) {
    const auto answer = Get(sim, {name});
    if (!answer)
        throw std::runtime_error("no answer for " + name);
    if (answer->errorStatus != SNMP_ERR_NOERROR || answer->bindings.size() != 1)
        throw std::runtime_error("error answer for " + name);
    return answer->bindings.front();
}

TEST(MeterSimObjects, AnswersTheFourObjectsAsStarted) {
    MeterSimProcess sim({"--level", "734", "--weighting", "2", "--name", "Hall 3", "--location", "Press shop"});
    const auto answer = Get(sim, {Level, Weighting, SysName, SysLocation});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->community, "mivrol");
    EXPECT_EQ(answer->errorStatus, SNMP_ERR_NOERROR);
    ASSERT_EQ(answer->bindings.size(), 4u);
    EXPECT_EQ(answer->bindings[0].oid, Level);
    EXPECT_EQ(answer->bindings[0].type, ASN_INTEGER);
    EXPECT_EQ(answer->bindings[0].number, 734);
    EXPECT_EQ(answer->bindings[1].type, ASN_INTEGER);
    EXPECT_EQ(answer->bindings[1].number, 2);
    EXPECT_EQ(answer->bindings[2].type, ASN_OCTET_STR);
    EXPECT_EQ(answer->bindings[2].bytes, "Hall 3");
    EXPECT_EQ(answer->bindings[3].oid, SysLocation);
    EXPECT_EQ(answer->bindings[3].bytes, "Press shop");
}

TEST(MeterSimObjects, DefaultsToAWalkingLevelAndTheBenchNames) {
    MeterSimProcess sim;
    EXPECT_EQ(sim.Agent(), "127.0.0.1:" + std::to_string(sim.Port()));
    EXPECT_EQ(GetOne(sim, Weighting).number, 1);
    EXPECT_EQ(GetOne(sim, SysName).bytes, "Sim meter");
    EXPECT_EQ(GetOne(sim, SysLocation).bytes, "Test bench");

    // The level moves in small steps within its bounds; wait for a few steps to see it move.
    const long first = GetOne(sim, Level).number;
    const auto moved = [&] {
        const Binding level = GetOne(sim, Level);
        EXPECT_EQ(level.type, ASN_INTEGER);
        EXPECT_GE(level.number, 600);
        EXPECT_LE(level.number, 1050);
        return level.number != first;
    };
    EXPECT_TRUE(WaitUntil(moved, 4s, [] { std::this_thread::sleep_for(100ms); }));
}

TEST(MeterSimObjects, SetLevelStopsTheWalkAndWalkRestartsIt) {
    MeterSimProcess sim({"--walk", "--seed", "7"});
    sim.Set("level", "integer", "5");
    EXPECT_EQ(GetOne(sim, Level).number, 5);
    std::this_thread::sleep_for(1100ms);  // two walk steps
    EXPECT_EQ(GetOne(sim, Level).number, 5);

    EXPECT_EQ(sim.Command("walk"), "ok");
    const Binding level = GetOne(sim, Level);
    EXPECT_EQ(level.type, ASN_INTEGER);
    EXPECT_GE(level.number, 600);
    EXPECT_LE(level.number, 1050);
}

struct TypedValue {
    const char* type;
    const char* value;
    u_char tag;
    long expected;
};

class MeterSimTypes : public testing::TestWithParam<TypedValue> {};

TEST_P(MeterSimTypes, SetValueGoesOutWithItsTag) {
    MeterSimProcess sim;
    sim.Set("level", GetParam().type, GetParam().value);
    const Binding level = GetOne(sim, Level);
    EXPECT_EQ(level.type, GetParam().tag);
    EXPECT_EQ(level.number, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(AllNumericTypes, MeterSimTypes,
                         testing::Values(TypedValue{"integer", "-2147483648", 0x02, -2147483648L},
                                         TypedValue{"counter32", "4294967295", 0x41, 4294967295L},
                                         TypedValue{"gauge32", "853", 0x42, 853},
                                         TypedValue{"unsigned32", "853", 0x47, 853},
                                         TypedValue{"timeticks", "123456", 0x43, 123456}),
                         [](const testing::TestParamInfo<TypedValue>& param) { return std::string(param.param.type); });

TEST(MeterSimOctets, EscapedBytesArriveIntact) {
    MeterSimProcess sim;
    sim.Set("name", "octetstring", "ab\\x00cd\\\\e");
    EXPECT_EQ(GetOne(sim, SysName).bytes, std::string("ab\0cd\\e", 7));

    std::string long300;
    for (int i = 0; i < 300; ++i)
        long300 += static_cast<char>(i % 256);
    sim.Set("location", "octetstring", EscapeOctets(long300));
    EXPECT_EQ(GetOne(sim, SysLocation).bytes, long300);

    sim.Set("name", "octetstring");
    const Binding empty = GetOne(sim, SysName);
    EXPECT_EQ(empty.type, ASN_OCTET_STR);
    EXPECT_EQ(empty.bytes, "");

    sim.Set("name", "octetstring", "  two spaces before");
    EXPECT_EQ(GetOne(sim, SysName).bytes, "  two spaces before");
}

TEST(MeterSimErrors, MissingObjectAnswersNoSuchNameAtItsPosition) {
    MeterSimProcess sim({"--level", "700"});
    sim.Set("weighting", "missing");
    const auto answer = Get(sim, {Level, Weighting});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->errorStatus, SNMP_ERR_NOSUCHNAME);
    EXPECT_EQ(answer->errorIndex, 2);
    ASSERT_EQ(answer->bindings.size(), 2u);
    EXPECT_EQ(answer->bindings[0].oid, Level);
    EXPECT_EQ(answer->bindings[0].type, ASN_NULL);  // returned as it came, not filled in
    EXPECT_EQ(answer->bindings[1].oid, Weighting);
    EXPECT_EQ(answer->bindings[1].type, ASN_NULL);

    sim.Set("weighting", "integer", "3");
    EXPECT_EQ(GetOne(sim, Weighting).number, 3);
}

TEST(MeterSimErrors, UnknownObjectAnswersNoSuchName) {
    MeterSimProcess sim;
    const auto answer = Get(sim, {SysDescr});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->errorStatus, SNMP_ERR_NOSUCHNAME);
    EXPECT_EQ(answer->errorIndex, 1);
}

TEST(MeterSimErrors, OnlyGetIsAnsweredAndCounted) {
    MeterSimProcess sim;
    EXPECT_FALSE(Ask(sim.Agent(), Request{{Level}, "mivrol", SNMP_MSG_GETNEXT, NoAnswerWait}));
    EXPECT_EQ(sim.Count(), 0u);
}

TEST(MeterSimCommunity, OtherCommunityGetsNoAnswerButIsCounted) {
    MeterSimProcess sim({"--community", "secret"});
    EXPECT_EQ(sim.Command("count"), "requests 0");
    EXPECT_FALSE(Ask(sim.Agent(), Request{{Level}, "mivrol", SNMP_MSG_GET, NoAnswerWait}));
    EXPECT_EQ(sim.Count(), 1u);
    const auto answer = Ask(sim.Agent(), Request{{Level}, "secret"});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->community, "secret");
    EXPECT_EQ(sim.Count(), 2u);
}

TEST(MeterSimCommunity, ReplyCommunityReplacesTheAnswersCommunityUntilReset) {
    MeterSimProcess sim;
    EXPECT_EQ(sim.Command("reply-community public"), "ok");
    auto answer = Get(sim, {Level});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->community, "public");

    EXPECT_EQ(sim.Command("reply-community"), "ok");
    answer = Get(sim, {Level});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->community, "mivrol");
}

TEST(MeterSimTiming, SilentCountsButDoesNotAnswer) {
    MeterSimProcess sim;
    EXPECT_EQ(sim.Command("silent on"), "ok");
    EXPECT_FALSE(Ask(sim.Agent(), Request{{Level}, "mivrol", SNMP_MSG_GET, NoAnswerWait}));
    EXPECT_EQ(sim.Count(), 1u);
    EXPECT_EQ(sim.Command("silent off"), "ok");
    EXPECT_TRUE(Get(sim, {Level}));
    EXPECT_EQ(sim.Count(), 2u);
}

TEST(MeterSimTiming, DelayedAnswerComesLateWhileCommandsAreStillServed) {
    constexpr auto Delay = 1000ms;
    MeterSimProcess sim({"--level", "812"});
    EXPECT_EQ(sim.Command("delay 1000"), "ok");
    const auto start = std::chrono::steady_clock::now();
    auto pending = std::async(std::launch::async, [&] {
        auto answer = Ask(sim.Agent(), Request{{Level}, "mivrol", SNMP_MSG_GET, 5000ms});
        return std::make_pair(answer, std::chrono::steady_clock::now() - start);
    });
    // The request has arrived and the control channel answers while the answer waits.
    ASSERT_TRUE(WaitUntil([&] { return sim.Count() > 0; }, 2s));
    ASSERT_EQ(sim.Count(), 1u);
    EXPECT_EQ(pending.wait_for(0ms), std::future_status::timeout);

    const auto [answer, elapsed] = pending.get();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->bindings.at(0).number, 812);
    EXPECT_GE(elapsed, Delay);

    EXPECT_EQ(sim.Command("delay 0"), "ok");
    EXPECT_TRUE(Ask(sim.Agent(), Request{{Level}, "mivrol", SNMP_MSG_GET, 500ms}));
}

class MeterSimBadCommands : public testing::TestWithParam<std::string> {};

TEST_P(MeterSimBadCommands, AnswerAnErrorAndChangeNothing) {
    MeterSimProcess sim({"--level", "700"});
    EXPECT_THAT(sim.Command(GetParam()), StartsWith("error: "));
    EXPECT_EQ(sim.Command("count"), "requests 0");  // still in step with the channel
    const Binding level = GetOne(sim, Level);
    EXPECT_EQ(level.type, ASN_INTEGER);
    EXPECT_EQ(level.number, 700);
    const auto answer = Get(sim, {Level});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->community, "mivrol");
}

INSTANTIATE_TEST_SUITE_P(Lines, MeterSimBadCommands,
                         testing::Values("", "frobnicate", "set", "set level", "set volume integer 5",
                                         "set level float 5", "set level integer", "set level integer abc",
                                         "set level integer 2147483648", "set level integer 5 6",
                                         "set level counter32 -1", "set level gauge32 4294967296",
                                         "set level unsigned32 +5", "set level missing 5",
                                         "set name octetstring bad\\q", "set name octetstring \\x4",
                                         "set name octetstring " + std::string(240001, 'a'), "delay", "delay -1",
                                         "delay soon", "silent", "silent maybe", "count now", "walk fast",
                                         "reply-community \\z", "quit now"));

TEST(MeterSimChannel, OverlongLineIsRefusedAndTheChannelStaysInStep) {
    MeterSimProcess sim;
    EXPECT_EQ(sim.Command("set name octetstring " + std::string(300000, 'a')), "error: line too long");
    EXPECT_EQ(sim.Command("count"), "requests 0");
}

struct ExitCase {
    std::vector<std::string> args;
    const char* message;
};

void PrintTo(const ExitCase& exitCase, std::ostream* out) {
    *out << "args:";
    for (const auto& arg : exitCase.args)
        *out << " '" << arg << "'";
}

class MeterSimBadOptions : public testing::TestWithParam<ExitCase> {};

TEST_P(MeterSimBadOptions, ExitWithAnErrorAndNoListeningLine) {
    std::vector<std::string> argv{DECIMON_METER_SIM};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    ChildProcess sim(argv, ChildProcess::Stderr::Capture);
    EXPECT_EQ(sim.ReadLine(MeterSimProcess::Timeout), std::nullopt);
    EXPECT_THAT(sim.ReadStderr(MeterSimProcess::Timeout), HasSubstr(GetParam().message));
    EXPECT_EQ(sim.WaitExit(MeterSimProcess::Timeout), 2);
}

INSTANTIATE_TEST_SUITE_P(Arguments, MeterSimBadOptions,
                         testing::Values(ExitCase{{}, "--port is required"},
                                         ExitCase{{"--port"}, "--port needs a value"},
                                         ExitCase{{"--port", "65536"}, "--port needs a decimal number"},
                                         ExitCase{{"--port", "0", "--bogus"}, "unknown argument \"--bogus\""},
                                         ExitCase{{"--port", "0", "--level", "loud"}, "--level needs a decimal number"},
                                         ExitCase{{"--port", "0", "--level", "700", "--walk"}, "exclude each other"},
                                         ExitCase{{"--port", "0", "--seed", "-1"}, "--seed needs a decimal number"},
                                         ExitCase{{"--port", "0", "--address", "0.0.0.0"}, "refusing '0.0.0.0'"},
                                         ExitCase{{"--port", "0", "--address", "::"}, "refusing '::'"},
                                         ExitCase{{"--port", "0", "--address", "localhost"}, "refusing 'localhost'"},
                                         ExitCase{{"--port", "0", "--address", "127.0.0.2"}, "refusing '127.0.0.2'"}));

TEST(MeterSimLifecycle, HelpDescribesEveryOptionAndCommand) {
    ChildProcess sim({DECIMON_METER_SIM, "--help"});
    std::string help;
    while (const auto line = sim.ReadLine(MeterSimProcess::Timeout))
        help += *line + "\n";
    EXPECT_EQ(sim.WaitExit(MeterSimProcess::Timeout), 0);
    for (const char* word : {"--address", "--port", "--community", "--level", "--walk", "--weighting", "--name",
                             "--location", "--seed", "--help", "set OBJECT TYPE", "unsigned32", "walk", "delay MS",
                             "silent on|off", "reply-community", "count", "quit"})
        EXPECT_THAT(help, HasSubstr(word));
}

TEST(MeterSimLifecycle, EachWayOfEndingItExitsWithZero) {
    const std::vector<std::pair<const char*, std::function<void(ChildProcess&)>>> endings{
        {"quit",
         [](ChildProcess& sim) {
             ASSERT_TRUE(sim.WriteLine("quit"));
             EXPECT_EQ(sim.ReadLine(MeterSimProcess::Timeout), "ok");
         }},
        {"closed control pipe", [](ChildProcess& sim) { sim.CloseStdin(); }},
        {"SIGTERM", [](ChildProcess& sim) { sim.Signal(SIGTERM); }},
        {"SIGINT", [](ChildProcess& sim) { sim.Signal(SIGINT); }},
    };
    for (const auto& [name, end] : endings) {
        SCOPED_TRACE(name);
        ChildProcess sim({DECIMON_METER_SIM, "--port", "0"});
        ASSERT_THAT(sim.ReadLine(MeterSimProcess::Timeout).value_or(""), StartsWith("listening on udp:127.0.0.1:"));
        end(sim);
        EXPECT_EQ(sim.WaitExit(MeterSimProcess::Timeout), 0);
    }
}

TEST(MeterSimLifecycle, ListensOnTheGivenPortAndFailsWhenItIsTaken) {
    int port = 0;
    {
        MeterSimProcess first;
        port = first.Port();
        ChildProcess second({DECIMON_METER_SIM, "--port", std::to_string(port)}, ChildProcess::Stderr::Capture);
        EXPECT_THAT(second.ReadStderr(MeterSimProcess::Timeout), HasSubstr("cannot listen"));
        EXPECT_EQ(second.WaitExit(MeterSimProcess::Timeout), 1);
    }
    // Free again once the first one has ended.
    MeterSimProcess again({"--port", std::to_string(port), "--level", "640"});
    EXPECT_EQ(again.Port(), port);
    EXPECT_EQ(GetOne(again, Level).number, 640);
}

bool Ipv6LoopbackUsable() {
    const int probe = socket(AF_INET6, SOCK_DGRAM, 0);
    if (probe < 0)
        return false;
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    const bool bound = bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    return bound;
}

TEST(MeterSimLifecycle, ServesOnIpv6Loopback) {
    if (!Ipv6LoopbackUsable())
        GTEST_SKIP() << "no IPv6 loopback here";
    MeterSimProcess sim({"--address", "::1", "--level", "901"});
    EXPECT_EQ(sim.ListenAddress(), "udp6:[::1]:" + std::to_string(sim.Port()));
    EXPECT_EQ(GetOne(sim, Level).number, 901);
}

}  // namespace
