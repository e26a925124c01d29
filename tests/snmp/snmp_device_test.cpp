// The session's own rules, without an agent.
#include "snmp/snmp_device.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SnmpDevice, ConstructsClosedWithDefaults) {
    SnmpDevice device;
    EXPECT_FALSE(device.IsOpen);
    EXPECT_EQ(device.TimeoutMs, 2000);
    EXPECT_EQ(device.Retries, 3);
    EXPECT_STREQ(device.Agent, "");
    EXPECT_STREQ(device.Community, "");
    EXPECT_STREQ(device.OidBase, "");
}

TEST(SnmpDevice, MeterDeviceCarriesTheMetersCommunityAndBase) {
    MeterDevice meter("meter.example");
    EXPECT_STREQ(meter.Agent, "meter.example");
    EXPECT_STREQ(meter.Community, "mivrol");
    EXPECT_STREQ(meter.OidBase, ".1.3.6.1.4.1.32473.1");
    EXPECT_FALSE(meter.IsOpen);
}

TEST(SnmpDevice, SettersRefuseTextsOf128CharactersOrMore) {
    SnmpDevice device;
    const std::string longest(127, 'a');
    const std::string tooLong(128, 'b');
    for (auto setter : {&SnmpDevice::SetAgent, &SnmpDevice::SetCommunity, &SnmpDevice::SetOidBase}) {
        const char* stored = (device.*setter)(longest.c_str());
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(std::string(stored), longest);
        EXPECT_EQ((device.*setter)(tooLong.c_str()), nullptr);
        EXPECT_EQ(std::string(stored), longest) << "a refused text must leave the member unchanged";
    }
}

TEST(SnmpDevice, GetsOnAClosedSessionFailWithoutTouchingTheResults) {
    MeterDevice meter("127.0.0.1:9");
    AsnInteger32 level = 77;
    char text[16] = "keep";
    testing::internal::CaptureStdout();
    EXPECT_EQ(meter.GetIpValue(MeterDevice::LevelObject, &level), 0);
    EXPECT_EQ(meter.GetStringValue(".1.3.6.1.2.1.1.5.0", text, sizeof text, 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "a closed session prints nothing";
    EXPECT_EQ(level, 77);
    EXPECT_STREQ(text, "keep");
    EXPECT_EQ(meter.VarBinds.list, nullptr);
    EXPECT_EQ(meter.VarBinds.len, 0u);
}

TEST(SnmpDevice, OpenFailsForAnAgentThatCannotBeAddressed) {
    for (const char* agent :
         {"", "127.0.0.1:0", "127.0.0.1:65536", "127.0.0.1:x", "[::1", "tcp:127.0.0.1:161", "host name"}) {
        MeterDevice meter(agent);
        EXPECT_EQ(meter.Open(), 0) << agent;
        EXPECT_FALSE(meter.IsOpen) << agent;
    }
}

}  // namespace
