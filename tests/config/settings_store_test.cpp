// The settings' defaults, their registry file form, and loading what a file holds.

#include "config/settings_store.h"
#include "config/shift_length_setting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/sys/fixed_text.h"
#include "platform/sys/regedit_file.h"
#include "tests/support/process_locale.h"
#include "tests/support/xdg_sandbox.h"

using namespace decimon::test;

namespace {

namespace fs = std::filesystem;

constexpr std::string_view Section = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon";

// A text value's line of the key's file.
std::string TextLine(const std::string& name, const std::string& text) {
    return "\"" + name + "\"=\"" + text + "\"\n";
}

class SettingsStoreTest : public ::testing::Test {
protected:
    // Loads into a record full of junk, so that a field that loading forgets shows.
    static Settings Load() {
        Settings settings;
        std::memset(&settings, 'x', sizeof settings);
        SettingsStore::LoadSettings(settings);
        return settings;
    }

    // Writes the key's file in the home folder with these value lines.
    void WriteKey(const std::string& lines) { XdgSandbox::WriteFile(sandbox_.HomeKeyFile(), DecimonFileStart + lines); }

    std::string SavedText() const { return XdgSandbox::ReadFile(sandbox_.HomeKeyFile()); }

    static void ExpectFactoryDefaults(const Settings& settings) {
        static const Settings defaults{
            8.0, 0, 1, 1, 250, 1, "", "WEAR HEARING PROTECTION AT\r\nALL TIMES IN THIS AREA", "soundmeter", {}};
        ExpectSameSettings(settings, defaults);
    }

    static void ExpectSameSettings(const Settings& a, const Settings& b) {
        EXPECT_EQ(a.ShiftLenHours, b.ShiftLenHours);
        EXPECT_EQ(a.LevelOffset, b.LevelOffset);
        EXPECT_EQ(a.PollingInterval, b.PollingInterval);
        EXPECT_EQ(a.DisplayWarning, b.DisplayWarning);
        EXPECT_EQ(a.SnmpTimeout, b.SnmpTimeout);
        EXPECT_EQ(a.SnmpRetries, b.SnmpRetries);
        EXPECT_STREQ(a.Password, b.Password);
        EXPECT_STREQ(a.WarningMessage, b.WarningMessage);
        EXPECT_STREQ(a.HostName, b.HostName);
        for (std::size_t i = 0; i < RecentCount; ++i)
            EXPECT_STREQ(a.Recent[i], b.Recent[i]) << "Recent entry " << i;
    }

    XdgSandbox sandbox_;
};

TEST_F(SettingsStoreTest, FirstStartWithoutAFileGivesTheFactoryDefaults) {
    ExpectFactoryDefaults(Load());
    Settings settings;
    EXPECT_TRUE(SettingsStore::LoadSettings(settings)) << "no file is a first start, not an error";
    EXPECT_FALSE(fs::exists(sandbox_.Home())) << "loading writes nothing";
}

// A file that is there but cannot be read gives the factory defaults and says which and why;
// a save does not write over it, nor in the user's place while the site's file is broken.
TEST_F(SettingsStoreTest, AFileThatCannotBeReadGivesTheDefaultsAndSaysWhy) {
    const fs::path home = sandbox_.HomeKeyFile();
    const fs::path site = XdgSandbox::KeyFile(sandbox_.SystemDir(0));
    const struct {
        const char* what;
        fs::path file;
        std::optional<std::string> text;  // none: a folder at the file's name
        std::string reason;
    } cases[] = {
        {"a bad hand edit of the first line", home,
         "REGEDIT 4\n" + DecimonFileStart.substr(9) + TextLine("Password", "p"), "its first line is not REGEDIT4"},
        {"the site's file without its section line", site, "REGEDIT4\n" + TextLine("Password", "site"),
         "it has no [HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon] section"},
        {"a folder at its name", home, std::nullopt, "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(home);
        fs::remove_all(site);
        if (c.text)
            XdgSandbox::WriteFile(c.file, *c.text);
        else
            fs::create_directories(c.file);

        Settings settings;
        SettingsFileError error;
        EXPECT_FALSE(SettingsStore::LoadSettings(settings, &error));
        ExpectFactoryDefaults(settings);
        EXPECT_EQ(error.file, c.file.string());
        EXPECT_EQ(error.reason, c.reason);

        CopyFixedText(settings.Password, "");
        SettingsFileError saveError;
        EXPECT_FALSE(SettingsStore::SaveSettings(settings, &saveError));
        EXPECT_EQ(saveError.reason, c.reason);
        if (c.text)
            EXPECT_EQ(XdgSandbox::ReadFile(c.file), *c.text);
        else
            EXPECT_TRUE(fs::is_directory(c.file));
        EXPECT_EQ(fs::is_regular_file(home), c.text && c.file == home);
    }
}

// Loaded as it stands; used only from 0.5 to 24 hours, else the default after one line naming it.
TEST_F(SettingsStoreTest, ShiftLenHoursIsTheNumberAtTheStartOfItsText) {
    const struct {
        const char* text;
        double hours;
        bool used;
    } cases[] = {{"7.5", 7.5, true},          {"12 hours", 12.0, true}, {"no digits", 0.0, false}, {"", 0.0, false},
                 {"  -2.5e1x", -25.0, false}, {"0.1", 0.1, false},      {"24", 24.0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        WriteKey(TextLine("ShiftLenHours", c.text));
        Settings settings = Load();
        EXPECT_EQ(settings.ShiftLenHours, c.hours);
        const std::string unused = CheckShiftLenHours(settings);
        EXPECT_EQ(unused.empty(), c.used) << unused;
        EXPECT_EQ(settings.ShiftLenHours, c.used ? c.hours : DefaultShiftLenHours);
    }
}

// A desktop whose language writes "7,5" must neither cut the file's 7.5 to 7 nor save "7,5".
TEST_F(SettingsStoreTest, ShiftLenHoursKeepsItsDecimalPointWhateverTheLocale) {
    const ProcessLocale german(GermanLocale);
    ASSERT_TRUE(german.Active()) << GermanLocale << " is not generated";
    WriteKey("\"ShiftLenHours\"=\"7.5\"\n");
    const Settings settings = Load();
    EXPECT_EQ(settings.ShiftLenHours, 7.5);
    SettingsStore::SaveSettings(settings);
    EXPECT_NE(SavedText().find("\n\"ShiftLenHours\"=\"7.5\"\n"), std::string::npos) << SavedText();
}

TEST_F(SettingsStoreTest, PollingIntervalIsRaisedToOneButNotCapped) {
    const struct {
        const char* stored;
        std::int32_t loaded;
    } cases[] = {{"00000000", 1}, {"fffffffb", 1}, {"80000000", 1}, {"00000258", 600}, {"00000002", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteKey(std::string("\"PollingInterval\"=dword:") + c.stored + "\n");
        EXPECT_EQ(Load().PollingInterval, c.loaded);
    }
}

TEST_F(SettingsStoreTest, NegativeLevelOffsetIsStoredAsItsBitPattern) {
    WriteKey("\"LevelOffset\"=dword:fffffffd\n");
    Settings settings = Load();
    EXPECT_EQ(settings.LevelOffset, -3);
    settings.LevelOffset = -60;
    SettingsStore::SaveSettings(settings);
    EXPECT_NE(SavedText().find("\n\"LevelOffset\"=dword:ffffffc4\n"), std::string::npos) << SavedText();
}

TEST_F(SettingsStoreTest, SaveWritesTheNineteenValuesInOrderAndForm) {
    Settings settings;
    SetFactoryDefaults(settings);
    settings.ShiftLenHours = 7.5;
    settings.LevelOffset = -3;
    settings.PollingInterval = 5;
    settings.DisplayWarning = 7;  // any non-zero flag is saved as 1
    settings.SnmpTimeout = 300;
    settings.SnmpRetries = 2;
    CopyFixedText(settings.Password, "pa\"ss\\");
    CopyFixedText(settings.HostName, "localhost");
    CopyFixedText(settings.WarningMessage, "ONE\r\nTWO");
    CopyFixedText(settings.Recent[0], "soundmeter");
    CopyFixedText(settings.Recent[2], "127.0.0.1");
    EXPECT_TRUE(SettingsStore::SaveSettings(settings));

    EXPECT_EQ(SavedText(), DecimonFileStart + "\"ShiftLenHours\"=\"7.5\"\n"
                                              "\"LevelOffset\"=dword:fffffffd\n"
                                              "\"PollingInterval\"=dword:00000005\n"
                                              "\"SnmpTimeout\"=dword:0000012c\n"
                                              "\"SnmpRetries\"=dword:00000002\n"
                                              "\"DisplayWarning\"=dword:00000001\n"
                                              "\"Password\"=\"pa\\\"ss\\\\\"\n"
                                              "\"HostName\"=\"localhost\"\n"
                                              "\"WarningMessage\"=hex(1):4f,4e,45,0d,0a,54,57,4f,00\n"
                                              "\"Recent1\"=\"soundmeter\"\n"
                                              "\"Recent2\"=\"\"\n"
                                              "\"Recent3\"=\"127.0.0.1\"\n"
                                              "\"Recent4\"=\"\"\n"
                                              "\"Recent5\"=\"\"\n"
                                              "\"Recent6\"=\"\"\n"
                                              "\"Recent7\"=\"\"\n"
                                              "\"Recent8\"=\"\"\n"
                                              "\"Recent9\"=\"\"\n"
                                              "\"Recent10\"=\"\"\n"
                                              "\n");
    EXPECT_EQ(XdgSandbox::Mode(sandbox_.HomeKeyFile()), 0600u);
}

TEST_F(SettingsStoreTest, SavedFactoryDefaultsAreNineteenValuesThatLoadBack) {
    Settings defaults;
    SetFactoryDefaults(defaults);
    SettingsStore::SaveSettings(defaults);

    // SaveWritesTheNineteenValuesInOrderAndForm checks names and order; the defaults leave none out.
    const RegValueList values = RegeditFile::Parse(SavedText(), Section);
    EXPECT_EQ(values.Values().size(), 19u);
    ExpectFactoryDefaults(Load());
}

TEST_F(SettingsStoreTest, EveryFieldLoadsBackAsSaved) {
    Settings saved;
    SetFactoryDefaults(saved);
    saved.ShiftLenHours = 23.5;
    saved.LevelOffset = std::numeric_limits<std::int32_t>::min();
    saved.PollingInterval = std::numeric_limits<std::int32_t>::max();
    saved.DisplayWarning = 0;
    saved.SnmpTimeout = 500;
    saved.SnmpRetries = 0;
    // Texts filled to capacity, with every character the file form has to escape or encode.
    const std::string awkward = "\"\\;[]=@\t\x7F\xE9\xFF";
    std::string password = awkward;
    password.resize(PasswordCapacity - 1, 'p');
    CopyFixedText(saved.Password, password);
    std::string message = "FIRST LINE\r\nSECOND LINE " + awkward;
    message.resize(WarningMessageCapacity - 1, 'm');
    CopyFixedText(saved.WarningMessage, message);
    CopyFixedText(saved.HostName, std::string(HostNameCapacity - 1, 'h'));
    for (std::size_t i = 0; i < RecentCount; ++i)
        CopyFixedText(saved.Recent[i], std::string(RecentCapacity - 1, static_cast<char>('a' + i)));

    SettingsStore::SaveSettings(saved);
    const std::string firstText = SavedText();
    const Settings loaded = Load();
    ExpectSameSettings(loaded, saved);
    EXPECT_EQ(std::strlen(loaded.WarningMessage), WarningMessageCapacity - 1);

    SettingsStore::SaveSettings(loaded);
    EXPECT_EQ(SavedText(), firstText) << "a second save of the same settings writes the same file";
}

TEST_F(SettingsStoreTest, RecentEntriesKeepTheirPlacesAndAreReadWhole) {
    const std::string hundred(100, 'n');
    WriteKey(TextLine("Recent1", "abc") + TextLine("Recent3", hundred) + TextLine("Recent4", "def") +
             TextLine("Recent5", hundred) + TextLine("Recent10", std::string(127, 't')));
    Settings settings = Load();
    EXPECT_STREQ(settings.Recent[0], "abc");
    EXPECT_STREQ(settings.Recent[1], "");
    EXPECT_EQ(settings.Recent[2], hundred);
    EXPECT_STREQ(settings.Recent[3], "def");
    EXPECT_EQ(settings.Recent[4], hundred) << "read with the full capacity after a short one";
    EXPECT_EQ(settings.Recent[9], std::string(127, 't'));

    SettingsStore::SaveSettings(settings);
    EXPECT_NE(SavedText().find("\n\"Recent2\"=\"\"\n"), std::string::npos);
    ExpectSameSettings(Load(), settings);
}

TEST_F(SettingsStoreTest, ValuesOfAnotherTypeOrSizeKeepTheDefaults) {
    WriteKey("\"ShiftLenHours\"=dword:00000007\n"
             "\"LevelOffset\"=\"5\"\n"
             "\"PollingInterval\"=hex(b):05,00,00,00,00,00,00,00\n"
             "\"DisplayWarning\"=hex(4):00,00\n"
             "\"SnmpTimeout\"=hex:2c,01,00,00\n"
             "\"SnmpRetries\"=hex(4):09,00,00,00,00\n"
             "\"Password\"=dword:00000001\n"
             "\"HostName\"=hex:41,00\n"
             "\"WarningMessage\"=hex(2):41,00\n"
             "\"Recent1\"=hex(7):61,00,00\n");
    ExpectFactoryDefaults(Load());
}

TEST_F(SettingsStoreTest, TextsLongerThanTheirFieldsKeepTheDefaults) {
    WriteKey(TextLine("ShiftLenHours", "7.5" + std::string(125, ' ')) + TextLine("Password", std::string(128, 'p')) +
             TextLine("WarningMessage", std::string(1024, 'w')) + TextLine("HostName", std::string(128, 'h')) +
             TextLine("Recent2", std::string(128, 'r')));
    ExpectFactoryDefaults(Load());

    WriteKey(TextLine("HostName", std::string(127, 'h')) + TextLine("WarningMessage", std::string(1023, 'w')));
    const Settings settings = Load();
    EXPECT_EQ(settings.HostName, std::string(127, 'h'));
    EXPECT_EQ(settings.WarningMessage, std::string(1023, 'w'));
}

TEST_F(SettingsStoreTest, TextsWithoutTheirNulStillLoadTerminated) {
    std::string unterminated = "\"Password\"=hex(1):";
    for (int i = 0; i < 128; ++i)
        unterminated += i ? ",70" : "70";  // 128 characters and no NUL: too long
    WriteKey(unterminated + "\n"
                            "\"HostName\"=hex(1):61,62,63\n"
                            "\"Recent1\"=hex(1):61,62,00,63,64,00\n");
    const Settings settings = Load();
    EXPECT_STREQ(settings.Password, "");
    EXPECT_STREQ(settings.HostName, "abc");
    EXPECT_STREQ(settings.Recent[0], "ab");
}

TEST_F(SettingsStoreTest, ShiftLenHoursOfAnySizeSavesWithoutOverflow) {
    WriteKey("\"ShiftLenHours\"=\"1e308\"\n");
    Settings settings = Load();
    EXPECT_EQ(settings.ShiftLenHours, 1e308);
    SettingsStore::SaveSettings(settings);
    const RegValueList values = RegeditFile::Parse(SavedText(), Section);
    const RegValue* saved = values.Find("ShiftLenHours");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->data.size(), 309u + 2u + 1u) << "all 309 digits, the decimal, the NUL";
    EXPECT_EQ(Load().ShiftLenHours, 8.0) << "a text longer than 127 characters is not read";

    WriteKey("\"ShiftLenHours\"=\"-inf\"\n");
    settings = Load();
    EXPECT_EQ(settings.ShiftLenHours, -std::numeric_limits<double>::infinity());
    SettingsStore::SaveSettings(settings);
    EXPECT_NE(SavedText().find("\"ShiftLenHours\"=\"-inf\"\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, AdministratorsFileInConfigDirsLoads) {
    XdgSandbox::WriteFile(XdgSandbox::KeyFile(sandbox_.SystemDir(1)), DecimonFileStart +
                                                                          "\"HostName\"=\"meter-hall-3\"\n"
                                                                          "\"Password\"=\"secret\"\n"
                                                                          "\"SnmpTimeout\"=dword:000001f4\n");
    const Settings settings = Load();
    EXPECT_STREQ(settings.HostName, "meter-hall-3");
    EXPECT_STREQ(settings.Password, "secret");
    EXPECT_EQ(settings.SnmpTimeout, 500);
    EXPECT_EQ(settings.ShiftLenHours, 8.0);
}

TEST_F(SettingsStoreTest, FileCutShortLoadsWhatComesBeforeTheCut) {
    Settings saved;
    SetFactoryDefaults(saved);
    CopyFixedText(saved.HostName, "localhost");
    CopyFixedText(saved.Recent[0], "localhost");
    saved.SnmpRetries = 4;
    SettingsStore::SaveSettings(saved);
    std::string text = SavedText();
    const std::size_t continuation = text.find(",\\\n", text.find("\"WarningMessage\""));
    ASSERT_NE(continuation, std::string::npos) << "the default message takes more than one line";
    text.resize(continuation + 3);
    XdgSandbox::WriteFile(sandbox_.HomeKeyFile(), text);

    const Settings loaded = Load();
    EXPECT_STREQ(loaded.HostName, "localhost");
    EXPECT_EQ(loaded.SnmpRetries, 4);
    EXPECT_STREQ(loaded.WarningMessage, DefaultWarningMessage);
    EXPECT_STREQ(loaded.Recent[0], "");
}

// A line that cannot be read, or a setting given twice, is said with its file and line, and
// the setting it names is unusable, never missing: no endpoint, no open configuration, the
// default. A save does not write over such a file.
TEST_F(SettingsStoreTest, LinesThatCannotBeReadAreSaidAndTheirSettingsUnusable) {
    const std::string at = "the settings file " + sandbox_.HomeKeyFile().string() + ", line 5: ";
    const std::string web = "\"MetricsWebConfig\"=\"/etc/web.yml\"\n";
    const struct {
        std::string line;      // the fifth line, after HostName
        std::string unusable;  // what the setting it names says; empty: the line is said instead
        std::string said;
    } cases[] = {
        {"\"MetricsWebConfig\"=\"/etc/web.yml\n", "is named on line 5 of the settings file", ""},
        {"MetricsWebConfig=\"/etc/web.yml\"\n", "is named on line 5 of the settings file", ""},
        {"'MetricsWebConfig'='/etc/web.yml'\n", "is named on line 5 of the settings file", ""},
        {"\xE2\x80\x9CMetricsWebConfig\xE2\x80\x9D=\xE2\x80\x9C/etc/web.yml\xE2\x80\x9D\n", "is named on line 5", ""},
        {"\"MetricsWebConfig\"=\"/etc/web.yml\" ; TLS\n", "is named on line 5 of the settings file", ""},
        {web + web + "\"MetricsWebConfig\"=\"\"\n", "is given a second time on line 6 of the settings file", ""},
        {"\"Password\"=\"secret\n", "",
         at + "cannot be read (Password); no password opens the configuration until the file is repaired"},
        {"\"Password\"=\"secret\"\n\"password\"=\"\"\n", "",
         "line 6: gives password a second time; no password opens the configuration"},
        {"HostName=press-2\n", "", at + "cannot be read (HostName); HostName is not used and keeps its default"},
        {"}{\n", "", at + "cannot be read; it is left out"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        WriteKey("\"HostName\"=\"press\"\n" + c.line);
        Settings settings;
        UnreadSettingsLines unread;
        EXPECT_TRUE(SettingsStore::LoadSettings(settings, nullptr, &unread));
        const ExtraText webConfig = SettingsStore::LoadMetricsWebConfig();
        EXPECT_EQ(webConfig.text, "");
        if (!c.unusable.empty()) {
            EXPECT_NE(webConfig.unusable.find(c.unusable), std::string::npos) << webConfig.unusable;
            EXPECT_TRUE(unread.said.empty()) << "said once, by the setting's own loader";
        } else {
            ASSERT_EQ(unread.said.size(), 1u);
            EXPECT_NE(unread.said[0].find(c.said), std::string::npos) << unread.said[0];
        }
        EXPECT_EQ(unread.password.empty(), c.line.find("assword") == std::string::npos);
        EXPECT_STREQ(settings.Password, "");
        EXPECT_STREQ(settings.HostName, c.line.find("HostName") == 0 ? DefaultHostName : "press");
        const std::string before = SavedText();
        EXPECT_FALSE(SettingsStore::SaveSettings(settings));
        EXPECT_EQ(SavedText(), before);
    }
}

// Garbage lines in a settings file leave their values at the defaults; a file that is
// garbage from its first line or has no section of the settings is no settings file.
TEST_F(SettingsStoreTest, GarbageFilesLoadTheDefaults) {
    std::mt19937 random(7);
    std::string garbage(200 * 1024, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random());
    const struct {
        std::string text;
        bool settingsFile;
    } cases[] = {{garbage, false}, {"REGEDIT4\n" + garbage, false}, {DecimonFileStart + garbage, true}};
    for (const auto& c : cases) {
        XdgSandbox::WriteFile(sandbox_.HomeKeyFile(), c.text);
        ExpectFactoryDefaults(Load());
        Settings settings;
        EXPECT_EQ(SettingsStore::LoadSettings(settings), c.settingsFile) << c.text.substr(0, 20);
    }
}

// A save that cannot be written changes nothing and answers why; the settings that were
// there load again.
TEST_F(SettingsStoreTest, SaveThatCannotBeWrittenLeavesTheOldSettings) {
    const fs::path preseeded = XdgSandbox::KeyFile(sandbox_.SystemDir(0));
    XdgSandbox::WriteFile(preseeded, DecimonFileStart + "\"HostName\"=\"old-host\"\n");
    sandbox_.MakeHomeUncreatable();
    const std::string before = XdgSandbox::ReadFile(preseeded);

    Settings changed = Load();
    CopyFixedText(changed.HostName, "new-host");
    SettingsFileError error;
    EXPECT_FALSE(SettingsStore::SaveSettings(changed, &error));
    EXPECT_EQ(error.reason, "Not a directory");

    EXPECT_EQ(XdgSandbox::ReadFile(preseeded), before);
    EXPECT_STREQ(Load().HostName, "old-host");
}

}  // namespace
