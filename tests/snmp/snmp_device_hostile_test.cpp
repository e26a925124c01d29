// The session against answers no well-behaved agent sends: the simulator's raw mode. Each
// read either fails cleanly or reads the right value, the session goes on afterwards, and
// nothing reaches standard output or standard error.
#include "snmp/snmp_device.h"
#include "tests/support/meter_sim_process.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <unistd.h>

#include <cstdio>
#include <ostream>
#include <string>

using namespace decimon::test;

namespace {

// Standard output and standard error go to a temporary file while the object lives.
class OutputCapture {
public:
    OutputCapture() : file_(std::tmpfile()), savedOut_(dup(STDOUT_FILENO)), savedErr_(dup(STDERR_FILENO)) {
        std::fflush(nullptr);
        dup2(fileno(file_), STDOUT_FILENO);
        dup2(fileno(file_), STDERR_FILENO);
    }
    ~OutputCapture() {
        Restore();
        std::fclose(file_);
    }
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    // Puts the streams back and returns what was written meanwhile.
    std::string Finish() {
        Restore();
        std::string text;
        std::rewind(file_);
        for (int c; (c = std::fgetc(file_)) != EOF;)
            text += static_cast<char>(c);
        return text;
    }

private:
    void Restore() {
        if (savedOut_ < 0)
            return;
        std::fflush(nullptr);
        dup2(savedOut_, STDOUT_FILENO);
        dup2(savedErr_, STDERR_FILENO);
        close(savedOut_);
        close(savedErr_);
        savedOut_ = savedErr_ = -1;
    }

    std::FILE* file_;
    int savedOut_;
    int savedErr_;
};

// What the three kinds of read give under one fault: a level of -7 and a name "untouched"
// mean the read failed and left its output alone.
struct HostileCase {
    const char* fault;
    int level;
    std::string name;
    const char* weighting;
};

void PrintTo(const HostileCase& hostile, std::ostream* out) {
    *out << hostile.fault;
}

const std::string LongName(255, 'x');

const HostileCase Cases[] = {
    {"truncated", -7, "untouched", "---"},
    {"length-past-end", -7, "untouched", "---"},
    {"length-huge", -7, "untouched", "---"},
    {"wrong-request-id", -7, "untouched", "---"},
    {"wrong-pdu-type", -7, "untouched", "---"},
    {"wrong-version", -7, "untouched", "---"},
    {"wrong-community", -7, "untouched", "---"},
    {"integer-empty", -7, "untouched", "---"},
    {"integer-9-bytes", -7, "untouched", "---"},
    {"empty-string", -7, "", "---"},
    {"long-string", -7, LongName, "---"},
    {"no-bindings", -7, "untouched", "---"},
    {"five-bindings", -7, "untouched", "---"},
    {"long-oid", -7, "untouched", "---"},
    {"wrong-name", -7, "untouched", "---"},
    {"counter64", -7, "untouched", "---"},
    {"null", -7, "untouched", "---"},
    {"no-such-object", -7, "untouched", "---"},
    {"end-of-mib-view", -7, "untouched", "---"},
    {"duplicated", 853, "Bay 4", "dBC"},
    {"empty-datagram", -7, "untouched", "---"},
    {"random-bytes", -7, "untouched", "---"},
};

class HostileAnswers : public ::testing::TestWithParam<HostileCase> {
protected:
    static void SetUpTestSuite() { sim_ = new MeterSimProcess({"--level", "853", "--weighting", "2"}); }
    static void TearDownTestSuite() {
        delete sim_;
        sim_ = nullptr;
    }

    HostileAnswers() : meter_(sim_->Agent().c_str()) {
        sim_->Set("name", "octetstring", "Bay 4");
        meter_.SetTimeout(150);
        meter_.SetRetries(0);
    }

    static MeterSimProcess* sim_;  // one for the suite: the cases only switch its raw mode
    MeterDevice meter_;
};

MeterSimProcess* HostileAnswers::sim_ = nullptr;

TEST_P(HostileAnswers, ReadsFailCleanlyOrReadTheRightValue) {
    const HostileCase& expected = GetParam();
    ASSERT_EQ(meter_.Open(), 1);
    ASSERT_EQ(sim_->Command(std::string("raw ") + expected.fault), "ok");

    AsnInteger32 level = -7;
    char name[256] = "untouched";
    OutputCapture output;
    const int levelRead = meter_.GetIpValue(MeterDevice::LevelObject, &level);
    const int nameRead = meter_.GetStringValue(".1.3.6.1.2.1.1.5.0", name, sizeof name, 1);
    const std::string weighting = meter_.GetWeighting();
    const std::string written = output.Finish();

    EXPECT_EQ(levelRead, expected.level == 853);
    EXPECT_EQ(level, expected.level);
    EXPECT_EQ(nameRead, expected.name != "untouched");
    EXPECT_EQ(name, expected.name);
    EXPECT_EQ(weighting, expected.weighting);
    EXPECT_EQ(written, "") << "nothing of the library's may reach the terminal or the journal";

    ASSERT_EQ(sim_->Command("raw off"), "ok");
    level = -7;
    EXPECT_EQ(meter_.GetIpValue(MeterDevice::LevelObject, &level), 1) << "the session goes on";
    EXPECT_EQ(level, 853);
}

INSTANTIATE_TEST_SUITE_P(Faults, HostileAnswers, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<HostileCase>& param) {
                             std::string name = param.param.fault;
                             std::erase(name, '-');
                             return name;
                         });

TEST(HostileAnswerBytes, AnyBytesAndTheirEndFailCleanly) {
    MeterSimProcess sim({"--level", "853"});
    MeterDevice meter(sim.Agent().c_str());
    meter.SetTimeout(150);
    meter.SetRetries(0);
    ASSERT_EQ(meter.Open(), 1);
    for (const char* bytes : {"", "30", "30 82 ff ff", "30 03 02 01 00", "ff ff ff ff ff ff ff ff"}) {
        ASSERT_EQ(sim.Command(std::string("raw bytes ") + bytes), "ok");
        AsnInteger32 level = -7;
        EXPECT_EQ(meter.GetIpValue(MeterDevice::LevelObject, &level), 0) << bytes;
        EXPECT_EQ(level, -7) << bytes;
    }
    EXPECT_EQ(sim.Command("raw bytes 3"), "error: usage: raw bytes HEX (pairs of hex digits, spaces allowed, at most "
                                          "60000 bytes)");
    EXPECT_EQ(sim.Command("raw nonsense").rfind("error: usage: raw off|bytes HEX|FAULT", 0), 0u);
}

}  // namespace
