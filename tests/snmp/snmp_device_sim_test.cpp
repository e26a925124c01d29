// The session against the meter simulator, for the answers a real agent does not give.
#include "platform/sys/host_lookup.h"
#include "snmp/snmp_device.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/private_resolver.h"
#include "tests/support/wait_until.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <utility>

using namespace decimon::test;

namespace {

class SimulatedMeter : public ::testing::Test {
protected:
    SimulatedMeter() : meter_(sim_.Agent().c_str()) {
        sim_.Set("level", "integer", "853");
        sim_.Set("weighting", "integer", "2");
        meter_.SetTimeout(200);
        meter_.SetRetries(0);
    }

    AsnInteger32 ReadLevel(int expectedResult) {
        AsnInteger32 level = -7;
        EXPECT_EQ(meter_.GetIpValue(MeterDevice::LevelObject, &level), expectedResult);
        return level;
    }

    MeterSimProcess sim_;
    MeterDevice meter_;
};

TEST_F(SimulatedMeter, IntegerTypesReadAndOthersFail) {
    ASSERT_EQ(meter_.Open(), 1);
    EXPECT_EQ(ReadLevel(1), 853);
    sim_.Set("level", "unsigned32", "854");
    EXPECT_EQ(ReadLevel(1), 854);
    sim_.Set("level", "counter32", "855");
    EXPECT_EQ(ReadLevel(1), 855);
    sim_.Set("level", "integer", "-12");
    EXPECT_EQ(ReadLevel(1), -12);
    for (const char* type : {"gauge32", "timeticks"}) {
        sim_.Set("level", type, "856");
        EXPECT_EQ(ReadLevel(0), -7) << type;
    }
    sim_.Set("level", "octetstring", "85.3");
    EXPECT_EQ(ReadLevel(0), -7);
    sim_.Set("level", "missing");
    EXPECT_EQ(ReadLevel(0), -7);
}

TEST_F(SimulatedMeter, AnswersCarryingAnotherCommunityAreRefused) {
    ASSERT_EQ(meter_.Open(), 1);
    sim_.Command("reply-community public");
    EXPECT_EQ(ReadLevel(0), -7);
    sim_.Command("reply-community");
    EXPECT_EQ(ReadLevel(1), 853);
}

TEST_F(SimulatedMeter, SilenceFailsWithinTimeoutTimesTries) {
    meter_.SetTimeout(150);
    meter_.SetRetries(2);
    ASSERT_EQ(meter_.Open(), 1);
    sim_.Command("silent on");
    const std::uint64_t before = sim_.Count();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadLevel(0), -7);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(3 * 150 - 20));
    EXPECT_LT(elapsed, std::chrono::milliseconds(3 * 150 + 400));
    EXPECT_EQ(sim_.Count() - before, 3u) << "one try and two retries";
    sim_.Command("silent off");
    EXPECT_EQ(ReadLevel(1), 853) << "the session carries on once the meter answers again";
}

TEST_F(SimulatedMeter, WeightingKeepsItsTextForUnknownCodes) {
    ASSERT_EQ(meter_.Open(), 1);
    EXPECT_STREQ(meter_.GetWeighting(), "dBC");
    sim_.Set("weighting", "integer", "4");
    EXPECT_STREQ(meter_.GetWeighting(), "dBC");
    sim_.Set("weighting", "integer", "1");
    EXPECT_STREQ(meter_.GetWeighting(), "dBA");
    sim_.Set("weighting", "integer", "3");
    EXPECT_STREQ(meter_.GetWeighting(), "dBz");
    sim_.Set("weighting", "gauge32", "1");
    EXPECT_STREQ(meter_.GetWeighting(), "---");
}

TEST_F(SimulatedMeter, LongAndNulHoldingTextsAreCut) {
    ASSERT_EQ(meter_.Open(), 1);
    sim_.Set("name", "octetstring", std::string(300, 'm'));
    sim_.Set("location", "octetstring", EscapeOctets(std::string("Bay\0 9", 6)));
    char name[256];
    char location[256];
    EXPECT_EQ(meter_.GetSysName(name, sizeof name), 1);
    EXPECT_EQ(std::string(name), std::string(255, 'm'));
    EXPECT_EQ(meter_.GetSysLocation(location, sizeof location), 1);
    EXPECT_STREQ(location, "Bay");
    sim_.Set("name", "octetstring", "");
    EXPECT_EQ(meter_.GetSysName(name, sizeof name), 1);
    EXPECT_STREQ(name, "");
    sim_.Set("name", "integer", "5");
    EXPECT_EQ(meter_.GetSysName(name, sizeof name), 0);
    EXPECT_STREQ(name, "") << "GetSysName empties the buffer before it reads";
}

TEST_F(SimulatedMeter, AClosedSessionSendsNothing) {
    AsnInteger32 level = 0;
    char text[32];
    EXPECT_EQ(meter_.GetIpValue(MeterDevice::LevelObject, &level), 0);
    ASSERT_EQ(meter_.Open(), 1);
    EXPECT_EQ(meter_.GetIpValue(MeterDevice::LevelObject, &level), 1);
    ASSERT_EQ(meter_.Close(), 1);
    EXPECT_EQ(meter_.GetIpValue(MeterDevice::LevelObject, &level), 0);
    EXPECT_EQ(meter_.GetSysName(text, sizeof text), 0);
    EXPECT_STREQ(meter_.GetWeighting(), "---");
    EXPECT_EQ(sim_.Count(), 1u) << "only the GET on the open session reached the meter";
}

// The meter "meterbox" on `port`, opened with a time-out of 2000 ms and no retries.
std::unique_ptr<MeterDevice> OpenMeterbox(int port) {
    auto meter = std::make_unique<MeterDevice>(("meterbox:" + std::to_string(port)).c_str());
    meter->SetTimeout(2000);
    meter->SetRetries(0);
    EXPECT_EQ(meter->Open(), 1);
    return meter;
}

// "meterbox" has an IPv6 and an IPv4 address, the IPv6 one first, as "localhost" has on a
// stock system; the meter listens on one of them only.
TEST(SeveralAddresses, TheMeterIsReadOnWhicheverItListensOnFromTheFirstRequest) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root for a private mount namespace";
    PrivateResolver hosts("::1 meterbox\n127.0.0.1 meterbox\n");
    ASSERT_TRUE(hosts.Ok()) << "cannot set up a private hosts file";
    for (const char* address : {"127.0.0.1", "::1"}) {
        SCOPED_TRACE(address);
        MeterSimProcess sim({"--address", address, "--level", "853"});
        const std::unique_ptr<MeterDevice> meter = OpenMeterbox(sim.Port());
        AsnInteger32 level = 0;
        EXPECT_EQ(meter->GetIpValue(MeterDevice::LevelObject, &level), 1);
        EXPECT_EQ(level, 853);
    }
}

TEST(SeveralAddresses, TheAddressThatAnsweredFirstIsAskedAloneUntilTheNameIsLookedUpAgain) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root for a private mount namespace";
    PrivateResolver hosts("::1 meterbox\n127.0.0.1 meterbox\n");
    ASSERT_TRUE(hosts.Ok()) << "cannot set up a private hosts file";
    MeterSimProcess v4;
    MeterSimProcess v6({"--address", "::1", "--port", std::to_string(v4.Port())});
    const std::unique_ptr<MeterDevice> meter = OpenMeterbox(v4.Port());
    AsnInteger32 level = 0;
    for (int request = 0; request < 3; ++request)
        EXPECT_EQ(meter->GetIpValue(MeterDevice::LevelObject, &level), 1);
    // The slower simulator may answer "count" before it has read the first request.
    const auto counts = [&] { return std::minmax({v4.Count(), v6.Count()}); };
    EXPECT_TRUE(WaitUntil([&] { return counts().first == 1u; })) << "the first request goes to both addresses";
    EXPECT_EQ(counts().second, 3u);
    // The one that answered falls silent. Looked up again, the name has the same addresses in
    // another order: both are asked again, and the other one alone once it has answered.
    MeterSimProcess& answered = v4.Count() == 3u ? v4 : v6;
    MeterSimProcess& other = &answered == &v4 ? v6 : v4;
    answered.Command("silent on");
    hosts.Write("127.0.0.1 meterbox\n::1 meterbox\n");
    EXPECT_EQ(meter->LookUpAgentAgain(), 1);
    LookUpHost("meterbox", nullptr);  // joins the lookup under way: it has ended on return
    for (int request = 0; request < 3; ++request)
        EXPECT_EQ(meter->GetIpValue(MeterDevice::LevelObject, &level), 1) << "the other address was not asked";
    EXPECT_TRUE(WaitUntil([&] { return answered.Count() == 4u && other.Count() == 4u; }))
        << "requests to the silent address " << answered.Count() << ", to the other " << other.Count();
}

}  // namespace
