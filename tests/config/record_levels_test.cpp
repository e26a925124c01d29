// RecordLevels: read beside the settings, on unless the file holds a REG_DWORD 0 (a value of
// another type, or other than 0 and 1, is said), and kept in the file by a save, which writes
// the nineteen values it always writes; RecordKeepDays, MetricsAddress and MetricsWebConfig
// likewise, and Language.
#include "config/settings_store.h"

#include "tests/support/meter_settings.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace decimon::test;

struct RecordCase {
    const char* homeLines;    // null: no file of the user's own
    const char* systemLines;  // null: no site-wide file
    bool recordLevels;
    std::int32_t keepDays = SettingsStore::DefaultRecordKeepDays;
    bool wrong = false;  // a value of another type or out of range, to be said
    const char* language = "en";
};

class RecordLevelsTable : public ::testing::TestWithParam<RecordCase> {
protected:
    XdgSandbox sandbox_;
};

TEST_P(RecordLevelsTable, IsOnUnlessADwordZeroTurnsItOff) {
    const RecordCase& c = GetParam();
    if (c.homeLines)
        XdgSandbox::WriteFile(sandbox_.HomeKeyFile(), DecimonFileStart + c.homeLines);
    if (c.systemLines)
        XdgSandbox::WriteFile(XdgSandbox::KeyFile(sandbox_.SystemDir(0)), DecimonFileStart + c.systemLines);
    SCOPED_TRACE(std::string(c.homeLines ? c.homeLines : "") + (c.systemLines ? c.systemLines : ""));
    bool levelsWrong = true;
    bool daysWrong = true;
    EXPECT_EQ(SettingsStore::LoadRecordLevels(&levelsWrong), c.recordLevels);
    EXPECT_EQ(SettingsStore::LoadRecordKeepDays(&daysWrong), c.keepDays);
    std::string languageWarning = "left over";
    EXPECT_EQ(SettingsStore::LoadLanguage(&languageWarning), c.language);
    EXPECT_EQ(levelsWrong || daysWrong || !languageWarning.empty(), c.wrong) << languageWarning;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RecordLevelsTable,
    ::testing::Values(RecordCase{nullptr, nullptr, true}, RecordCase{"\"HostName\"=\"press\"\n", nullptr, true},
                      RecordCase{"\"RecordLevels\"=dword:00000000\n", nullptr, false},
                      RecordCase{"\"RecordLevels\"=dword:00000001\n", nullptr, true},
                      RecordCase{"\"RecordLevels\"=dword:ffffffff\n", nullptr, true, 1096, true},
                      RecordCase{"\"RecordLevels\"=\"0\"\n", nullptr, true, 1096, true},  // a text is no REG_DWORD
                      RecordCase{"\"RecordLevels\"=hex:00,00,00,00\n", nullptr, true, 1096, true},
                      // A site turns it off for every display whose user has no file of their own.
                      RecordCase{nullptr, "\"RecordLevels\"=dword:00000000\n", false},
                      RecordCase{"\"HostName\"=\"press\"\n", "\"RecordLevels\"=dword:00000000\n", true},
                      // RecordKeepDays: 0 keeps everything, and so does a text, a negative number or centuries.
                      RecordCase{"\"RecordKeepDays\"=dword:00000000\n", nullptr, true, 0},
                      RecordCase{"\"RecordKeepDays\"=dword:00008ead\n", nullptr, true, 36525},
                      RecordCase{nullptr, "\"RecordKeepDays\"=dword:00000e42\n", true, 3650},
                      RecordCase{"\"RecordKeepDays\"=dword:ffffffff\n", nullptr, true, 0, true},
                      RecordCase{"\"RecordKeepDays\"=dword:00008eae\n", nullptr, true, 0, true},
                      RecordCase{"\"RecordKeepDays\"=\"0\"\n", nullptr, true, 0, true},
                      // Language: a known code, or English and a line for an unknown code or a dword.
                      RecordCase{nullptr, "\"Language\"=\"pl\"\n", true, 1096, false, "pl"},
                      RecordCase{"\"Language\"=\"de_DE\"\n", nullptr, true, 1096, true},
                      RecordCase{"\"Language\"=dword:00000001\n", nullptr, true, 1096, true}));

// MetricsAddress and MetricsWebConfig beside it: read as texts, kept by a save, never added by one.
TEST(RecordLevels, ASaveKeepsItAndTheEndpointsSettingsAndWritesTheNineteenValuesBesideThem) {
    XdgSandbox sandbox;
    XdgSandbox::WriteFile(sandbox.HomeKeyFile(), DecimonFileStart + "\"RecordLevels\"=dword:00000000\n" +
                                                     "\"MetricsAddress\"=\"[::1]:9100\"\n" +
                                                     "\"MetricsWebConfig\"=\"/etc/decimon/web.yml\"\n");
    SaveMeterSettings("127.0.0.1:16161");
    EXPECT_FALSE(SettingsStore::LoadRecordLevels());
    EXPECT_EQ(SettingsStore::LoadMetricsAddress().text, "[::1]:9100");
    EXPECT_EQ(SettingsStore::LoadMetricsWebConfig().text, "/etc/decimon/web.yml");
    const std::string text = XdgSandbox::ReadFile(sandbox.HomeKeyFile());
    EXPECT_EQ(std::count(text.begin(), text.end(), '='), 22) << text;
    EXPECT_NE(text.find("\"RecordLevels\"=dword:00000000"), std::string::npos) << text;

    // Another kind of value, or a text too long, is unusable: never taken as none.
    XdgSandbox::WriteFile(sandbox.HomeKeyFile(), DecimonFileStart + "\"MetricsAddress\"=dword:0000238c\n" +
                                                     "\"MetricsWebConfig\"=hex(2):2f,00\n");
    EXPECT_EQ(SettingsStore::LoadMetricsAddress().unusable, "is not a text (REG_SZ) but another kind of value");
    EXPECT_EQ(SettingsStore::LoadMetricsWebConfig().unusable, "is not a text (REG_SZ) but another kind of value");
    XdgSandbox::WriteFile(sandbox.HomeKeyFile(),
                          DecimonFileStart + "\"MetricsWebConfig\"=\"/" + std::string(4095, 'w') + "\"\n");
    EXPECT_EQ(SettingsStore::LoadMetricsWebConfig().unusable, "is longer than 4095 characters");
    XdgSandbox::WriteFile(sandbox.HomeKeyFile(), DecimonFileStart);
    SaveMeterSettings("127.0.0.1:16161");
    const std::string saved = XdgSandbox::ReadFile(sandbox.HomeKeyFile());
    EXPECT_EQ(saved.find("RecordLevels"), std::string::npos) << "a save never adds it";
    EXPECT_EQ(saved.find("MetricsAddress"), std::string::npos) << "a save never adds it";
    EXPECT_EQ(saved.find("MetricsWebConfig"), std::string::npos) << "a save never adds it";
    EXPECT_EQ(SettingsStore::LoadMetricsAddress().text + SettingsStore::LoadMetricsAddress().unusable, "");
    EXPECT_EQ(SettingsStore::LoadMetricsWebConfig().text + SettingsStore::LoadMetricsWebConfig().unusable, "");
}

}  // namespace
