// The session against Debian's snmpd, a real agent on a private loopback port.
#include "snmp/snmp_device.h"
#include "tests/support/snmpd_agent.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace decimon::test;

namespace {

const std::string LevelOid = ".1.3.6.1.4.1.32473.1.1.1.6.0";      // base + ".1.1.6.0"
const std::string WeightingOid = ".1.3.6.1.4.1.32473.1.1.2.1.0";  // base + ".1.2.1.0"
const std::string SysNameOid = ".1.3.6.1.2.1.1.5.0";
const std::string SysLocationOid = ".1.3.6.1.2.1.1.6.0";

class SnmpdMeter : public ::testing::Test {
protected:
    // One ordinary meter, and one with odd answers: a Gauge32 level (and a Counter32 copy of
    // it under another name), a 300-character name and a location holding a NUL byte.
    static void SetUpTestSuite() {
        ordinary_ =
            std::make_unique<SnmpdAgent>(std::vector<Override>{{LevelOid, "integer", "853"},
                                                               {WeightingOid, "integer", "2"},
                                                               {SysNameOid, "octet_str", "\"Press shop meter\""},
                                                               {SysLocationOid, "octet_str", "\"Hall 3, bay 7\""}});
        odd_ = std::make_unique<SnmpdAgent>(
            std::vector<Override>{{LevelOid, "uinteger", "853"},
                                  {".1.3.6.1.4.1.32473.1.9.1.0", "counter", "4000000000"},
                                  {SysNameOid, "octet_str", "\"" + std::string(300, 'n') + "\""},
                                  {SysLocationOid, "octet_str", "0x48616c6c00426179"}});  // "Hall\0Bay"
    }
    static void TearDownTestSuite() {
        ordinary_.reset();
        odd_.reset();
    }

    static std::unique_ptr<MeterDevice> OpenMeter(const SnmpdAgent& agent) {
        auto meter = std::make_unique<MeterDevice>(agent.Agent().c_str());
        meter->SetTimeout(500);
        meter->SetRetries(0);
        EXPECT_EQ(meter->Open(), 1);
        EXPECT_TRUE(meter->IsOpen);
        return meter;
    }

    static std::unique_ptr<SnmpdAgent> ordinary_;
    static std::unique_ptr<SnmpdAgent> odd_;
};

std::unique_ptr<SnmpdAgent> SnmpdMeter::ordinary_;
std::unique_ptr<SnmpdAgent> SnmpdMeter::odd_;

TEST_F(SnmpdMeter, ReadsLevelWeightingNameAndLocation) {
    ASSERT_TRUE(ordinary_->Running());
    auto meter = OpenMeter(*ordinary_);
    AsnInteger32 level = 0;
    EXPECT_EQ(meter->GetIpValue(MeterDevice::LevelObject, &level), 1);
    EXPECT_EQ(level, 853);
    EXPECT_STREQ(meter->GetWeighting(), "dBC");
    char name[256] = "x";
    char location[256] = "x";
    EXPECT_EQ(meter->GetSysName(name, sizeof name), 1);
    EXPECT_EQ(meter->GetSysLocation(location, sizeof location), 1);
    EXPECT_STREQ(name, "Press shop meter");
    EXPECT_STREQ(location, "Hall 3, bay 7");
    EXPECT_EQ(meter->VarBinds.list, nullptr) << "every GET frees its binding";
    EXPECT_EQ(meter->Close(), 1);
    EXPECT_FALSE(meter->IsOpen);
}

TEST_F(SnmpdMeter, MissingObjectsAndTextsReadAsNumbersFail) {
    ASSERT_TRUE(ordinary_->Running());
    auto meter = OpenMeter(*ordinary_);
    AsnInteger32 value = 42;
    EXPECT_EQ(meter->GetIpValue(".7.7.7.0", &value), 0);  // noSuchName
    EXPECT_EQ(meter->GetIpValue(".1.3.6.1.2.1.1.5.0", &value), 0) << "an OCTET STRING is no integer";
    EXPECT_EQ(value, 42);
    char text[32] = "unchanged";
    EXPECT_EQ(meter->GetStringValue(MeterDevice::LevelObject, text, sizeof text, 0), 0);
    EXPECT_STREQ(text, "unchanged") << "a failed text read leaves the caller's buffer";
}

TEST_F(SnmpdMeter, Gauge32FailsWhileCounter32Reads) {
    ASSERT_TRUE(odd_->Running());
    auto meter = OpenMeter(*odd_);
    AsnInteger32 value = 5;
    EXPECT_EQ(meter->GetIpValue(MeterDevice::LevelObject, &value), 0);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(meter->GetIpValue(".9.1.0", &value), 1);
    EXPECT_EQ(static_cast<std::uint32_t>(value), 4000000000u) << "the 32-bit value is stored unchanged";
}

TEST_F(SnmpdMeter, TextsAreCutAtTheBufferAndAtAnEmbeddedNul) {
    ASSERT_TRUE(odd_->Running());
    auto meter = OpenMeter(*odd_);
    char name[256];
    EXPECT_EQ(meter->GetSysName(name, sizeof name), 1);
    EXPECT_EQ(std::string(name), std::string(255, 'n'));
    char small[5];
    EXPECT_EQ(meter->GetSysName(small, sizeof small), 1);
    EXPECT_STREQ(small, "nnnn");
    char location[256];
    EXPECT_EQ(meter->GetSysLocation(location, sizeof location), 1);
    EXPECT_STREQ(location, "Hall");
}

TEST_F(SnmpdMeter, AWrongCommunityGetsNoAnswer) {
    ASSERT_TRUE(ordinary_->Running());
    SnmpDevice device;
    device.SetAgent(ordinary_->Agent().c_str());
    device.SetCommunity("public");
    device.SetOidBase(MeterDevice::MeterOidBase);
    device.SetTimeout(100);
    device.SetRetries(0);
    ASSERT_EQ(device.Open(), 1);
    AsnInteger32 level = 0;
    EXPECT_EQ(device.GetIpValue(MeterDevice::LevelObject, &level), 0);
}

TEST_F(SnmpdMeter, ABadObjectNamePrintsTheConversionFailure) {
    ASSERT_TRUE(ordinary_->Running());
    auto meter = OpenMeter(*ordinary_);
    AsnInteger32 value = 0;
    char text[8];
    testing::internal::CaptureStdout();
    EXPECT_EQ(meter->GetIpValue(".1.x", &value), 0);
    EXPECT_EQ(meter->GetStringValue(".1.3.6.1.4294967296", text, sizeof text, 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "SnmpDevice::GetIpValue() - SnmpMgrStrToOid() failed.\n"
                                                      "SnmpDevice::GetIpValue() - SnmpMgrStrToOid() failed.\n");
}

}  // namespace
