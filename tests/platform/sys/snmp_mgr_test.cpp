// The SNMP manager calls: OID conversion, binding memory, agent addresses and their lookup,
// and a session that no net-snmp configuration or state file can reach.
#include "platform/sys/host_lookup.h"
#include "platform/sys/netsnmp_session.h"
#include "platform/sys/snmp_mgr.h"
#include "tests/support/private_resolver.h"
#include "tests/support/snmpd_agent.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace decimon::test;

namespace {

std::vector<unsigned> Ids(const AsnObjectIdentifier& oid) {
    return std::vector<unsigned>(oid.ids, oid.ids + oid.idLength);
}

TEST(SnmpMgrStrToOid, ConvertsDottedTexts) {
    AsnObjectIdentifier oid{};
    ASSERT_TRUE(SnmpMgrStrToOid(".1.3.6.1.4.1.32473.1.1.1.6.0", &oid));
    EXPECT_EQ(Ids(oid), (std::vector<unsigned>{1, 3, 6, 1, 4, 1, 32473, 1, 1, 1, 6, 0}));
    std::free(oid.ids);
    ASSERT_TRUE(SnmpMgrStrToOid("1.5.0", &oid)) << "a text without a leading dot lies below mib-2";
    EXPECT_EQ(Ids(oid), (std::vector<unsigned>{1, 3, 6, 1, 2, 1, 1, 5, 0}));
    std::free(oid.ids);
    ASSERT_TRUE(SnmpMgrStrToOid(".1.4294967295", &oid));
    EXPECT_EQ(Ids(oid), (std::vector<unsigned>{1, 4294967295u}));
    std::free(oid.ids);
}

TEST(SnmpMgrStrToOid, RefusesMalformedTexts) {
    const std::string tooMany = [] {
        std::string text;
        for (int i = 0; i < 129; ++i)
            text += ".1";
        return text;
    }();
    for (const std::string& text :
         {std::string(""), std::string("."), std::string(".1..2"), std::string(".1.2."), std::string(".1.-2"),
          std::string(".1.2x"), std::string(".1. 2"), std::string("sysName.0"), std::string(".1.4294967296"),
          std::string(".1.99999999999999999999999"), tooMany}) {
        AsnObjectIdentifier oid{0, nullptr};
        EXPECT_FALSE(SnmpMgrStrToOid(text.c_str(), &oid)) << text;
        EXPECT_EQ(oid.ids, nullptr) << text;
    }
}

TEST(SnmpUtilVarBindListFree, FreesEveryBindingAndEmptiesTheList) {
    SnmpVarBindList list{nullptr, 2};
    list.list = static_cast<SnmpVarBind*>(SnmpUtilMemReAlloc(nullptr, 2 * sizeof(SnmpVarBind)));
    ASSERT_NE(list.list, nullptr);
    for (unsigned i = 0; i < 2; ++i) {
        list.list[i] = SnmpVarBind{};
        ASSERT_TRUE(SnmpMgrStrToOid(".1.3.6.1", &list.list[i].name));
    }
    list.list[0].value.asnType = ASN_NULL;
    list.list[1].value.asnType = ASN_OCTETSTRING;
    list.list[1].value.asnValue.string = {static_cast<unsigned char*>(std::malloc(4)), 4, true};
    SnmpUtilVarBindListFree(&list);  // leaks and double frees show under the sanitizers
    EXPECT_EQ(list.list, nullptr);
    EXPECT_EQ(list.len, 0u);
    SnmpUtilVarBindListFree(&list);
}

TEST(SnmpMgrRequest, RefusesWhatItCannotSend) {
    SnmpVarBindList empty{nullptr, 0};
    AsnInteger32 status = 0, index = 0;
    EXPECT_FALSE(SnmpMgrRequest(nullptr, SNMP_PDU_GET, &empty, &status, &index));
    EXPECT_FALSE(SnmpMgrClose(nullptr));
    EXPECT_EQ(SnmpMgrOpen(nullptr, "mivrol", 100, 0), nullptr);
}

TEST(AgentAddress, NumericHostsAndPorts) {
    const auto addresses = [](const char* agent) { return netsnmp_backend::transportAddresses(agent, nullptr); };
    using Texts = std::vector<std::string>;
    EXPECT_EQ(addresses("127.0.0.1"), Texts{"udp:127.0.0.1:161"});
    EXPECT_EQ(addresses("127.0.0.1:1161"), Texts{"udp:127.0.0.1:1161"});
    EXPECT_EQ(addresses("::1"), Texts{"udp6:[::1]:161"});
    EXPECT_EQ(addresses("[::1]"), Texts{"udp6:[::1]:161"});
    EXPECT_EQ(addresses("[::1]:1161"), Texts{"udp6:[::1]:1161"});
    // A link-local address is of use on its interface only.
    EXPECT_EQ(addresses("fe80::1%lo"), Texts{"udp6:[fe80::1%lo]:161"});
    EXPECT_EQ(addresses("[fe80::1%lo]:1161"), Texts{"udp6:[fe80::1%lo]:1161"});
    for (const char* bad : {"", ":161", "127.0.0.1:", "127.0.0.1:0", "127.0.0.1:65536", "127.0.0.1:+5",
                            "127.0.0.1:123456", "[::1]x", "[::1", "a b", "udp:127.0.0.1:161"})
        EXPECT_EQ(addresses(bad), Texts{}) << bad;
}

// A name server that never answers: the caller leaves the lookup when its stop signal is
// raised, and a second lookup of the name joins the one still under way instead of asking again.
TEST(HostLookup, ALookupUnderWayIsLeftOnStopAndJoinedByTheNext) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root for a private mount namespace";
    PrivateResolver resolver("", PrivateResolver::NameServer::Silent);
    ASSERT_TRUE(resolver.Ok()) << "cannot set up a silent name server";
    StopSignal first;
    std::thread leave([&] {
        while (resolver.TakeQueries() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        first.Raise();
    });
    EXPECT_TRUE(LookUpHost("meterbox.example", &first).empty());
    leave.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    resolver.TakeQueries();  // all of the first lookup's (A and AAAA)
    StopSignal second;
    second.Raise();
    EXPECT_TRUE(LookUpHost("meterbox.example", &second).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(resolver.TakeQueries(), 0) << "the second lookup asked the name server again";
}

// Runs `body` in a child process so that the library's one-time set-up happens there,
// after the environment was prepared; returns the child's exit status.
template <typename Body>
int InChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST(SnmpMgrSession, IgnoresUserConfigurationAndWritesNoState) {
    SnmpdAgent agent({{".1.3.6.1.4.1.32473.1.1.1.6.0", "integer", "853"}});
    ASSERT_TRUE(agent.Running());
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("decimon-snmpconf-" + std::to_string(getpid()));
    std::filesystem::create_directories(home / ".snmp");
    // Read, this would send from 127.0.0.5, which the agent does not answer, and would
    // make the library write its state under `state`.
    std::ofstream(home / ".snmp" / "snmp.conf") << "clientaddr 127.0.0.5\ndefVersion 3\n";
    const int status = InChild([&] {
        setenv("HOME", home.c_str(), 1);
        setenv("SNMPCONFPATH", (home / ".snmp").c_str(), 1);
        setenv("SNMP_PERSISTENT_DIR", (home / "state").c_str(), 1);
        LPSNMP_MGR_SESSION session = SnmpMgrOpen(agent.Agent().c_str(), "mivrol", 500, 1);
        if (!session)
            return 1;
        SnmpVarBindList list{static_cast<SnmpVarBind*>(SnmpUtilMemReAlloc(nullptr, sizeof(SnmpVarBind))), 1};
        list.list[0] = SnmpVarBind{};
        SnmpMgrStrToOid(".1.3.6.1.4.1.32473.1.1.1.6.0", &list.list[0].name);
        list.list[0].value.asnType = ASN_NULL;
        AsnInteger32 errorStatus = -1, errorIndex = -1;
        const bool answered = SnmpMgrRequest(session, SNMP_PDU_GET, &list, &errorStatus, &errorIndex);
        const bool right = answered && errorStatus == 0 && list.list[0].value.asnType == ASN_INTEGER &&
                           list.list[0].value.asnValue.number == 853;
        SnmpUtilVarBindListFree(&list);
        SnmpMgrClose(session);
        return right ? 0 : 2;
    });
    EXPECT_EQ(status, 0) << "1: no session, 2: no right answer";
    EXPECT_FALSE(std::filesystem::exists(home / "state")) << "the library wrote persistent state";
    std::filesystem::remove_all(home);
}

}  // namespace
