// The registry calls and their REGEDIT4 files.

#include "platform/sys/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/sys/regedit_file.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/xdg_sandbox.h"

using namespace decimon::test;

namespace {

namespace fs = std::filesystem;

constexpr std::string_view Section = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon";

std::vector<BYTE> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

std::vector<BYTE> Text(std::string_view text) {
    std::vector<BYTE> bytes = Bytes(text);
    bytes.push_back(0);
    return bytes;
}

// The values read from a text; a copy, since the list they come from is gone at once.
std::vector<RegValue> Parsed(std::string_view text) {
    const RegValueList values = RegeditFile::Parse(text, Section);
    return values.Values();
}

RegValueList ListOf(const std::vector<RegValue>& values) {
    RegValueList list;
    for (const RegValue& value : values)
        list.Set(value);
    return list;
}

// ---- the file form -------------------------------------------------------------------

TEST(RegeditFileTest, ReadsTheEditorsExport) {
    const std::string text = "\xEF\xBB\xBFREGEDIT4\r\n\r\n"
                             "; written by hand\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
                             "\"HostName\"=\"other\"\r\n"
                             "\r\n"
                             "[hkey_local_machine\\software\\corvanta\\DECIMON]  \r\n"
                             "\"Quoted \\\"name\\\"\"=\"C:\\\\dir \\\"x\\\"\"\r\n"
                             "@=\"default\"\r\n"
                             "\"Offset\" = DWORD:FFFFFFFD\r\n"
                             "\"Short\"=dword:7\r\n"
                             "\"Message\"=hex(1):41,42,0d,0a,\\\r\n"
                             "  43, 0,00\r\n"
                             "\"Multi\"=hex(7):61,00,00\r\n"
                             "\"Empty\"=hex:\r\n";
    const RegValueList values = RegeditFile::Parse(text, Section);

    const std::vector<RegValue> expected = {
        {"Quoted \"name\"", REG_SZ, Text("C:\\dir \"x\"")},
        {"", REG_SZ, Text("default")},
        {"Offset", REG_DWORD, {0xFD, 0xFF, 0xFF, 0xFF}},
        {"Short", REG_DWORD, {7, 0, 0, 0}},
        {"Message", REG_SZ, {0x41, 0x42, 0x0D, 0x0A, 0x43, 0x00, 0x00}},
        {"Multi", REG_MULTI_SZ, {0x61, 0, 0}},
        {"Empty", REG_BINARY, {}},
    };
    EXPECT_EQ(values.Values(), expected);
}

TEST(RegeditFileTest, SkipsWhatItCannotReadAndKeepsTheRest) {
    const std::string body = "\"Outside\"=\"before any section\"\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon]\n"
                             "\"NoEquals\" \"x\"\n"
                             "\"Open\"=\"never closed\n"
                             "\"NineDigits\"=dword:123456789\n"
                             "\"NoDigits\"=dword:\n"
                             "\"BadByte\"=hex:41,4g\n"
                             "\"ThreeDigitByte\"=hex:412\n"
                             "\"NoColon\"=hex(1)41,00\n"
                             "\"Junk\"=\"x\" junk\n"
                             "Bare=\"x\"\n"
                             "\"Deleted\"=-\n"
                             "  41,42\n"
                             "\"Good\"=\"kept\"\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon\n"
                             "\"AfterBrokenSection\"=\"x\"\n";

    EXPECT_EQ(Parsed("REGEDIT4\n" + body), (std::vector<RegValue>{{"Good", REG_SZ, Text("kept")}}));
    std::vector<RegUnreadLine> unread;
    const RegValueList kept = RegeditFile::Parse("REGEDIT4\n" + body, Section, nullptr, &unread);
    std::string said;
    for (const RegUnreadLine& line : unread)
        said += std::to_string(line.number) + line.name + " ";
    EXPECT_EQ(said, "4NoEquals 5Open 6NineDigits 7NoDigits 8BadByte 9ThreeDigitByte 10NoColon 11Junk 12Bare "
                    "13Deleted 14 ");
    EXPECT_TRUE(kept.IsUnusable("bare"));
    EXPECT_FALSE(kept.IsUnusable("Good"));
    EXPECT_TRUE(Parsed(body).empty()) << "no header line";
    EXPECT_TRUE(Parsed("Windows Registry Editor Version 5.00\n" + body).empty());
}

TEST(RegeditFileTest, TellsWhetherATextIsTheKeys) {
    const struct {
        std::string text;
        KeyText found;
    } cases[] = {
        {DecimonFileStart, KeyText::Key},
        {"\xEF\xBB\xBFREGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n[hkey_local_"
         "machine\\software\\corvanta\\decimon]\r\n",
         KeyText::Key},
        {"", KeyText::NoHeader},
        {"REGEDIT5\n" + DecimonFileStart.substr(9), KeyText::NoHeader},
        {"\n" + DecimonFileStart, KeyText::NoHeader},
        {"REGEDIT4\n", KeyText::NoSection},
        {"REGEDIT4\n\"HostName\"=\"a\"\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon\n", KeyText::NoSection},
    };
    for (const auto& c : cases) {
        KeyText found = KeyText::Key;
        RegeditFile::Parse(c.text, Section, &found);
        EXPECT_EQ(found, c.found) << c.text;
    }
}

TEST(RegeditFileTest, LeavesOutValuesCutShortAtTheEnd) {
    EXPECT_EQ(Parsed(DecimonFileStart + "\"A\"=\"a\"\n\"B\"=hex(1):41,42,\\\n"),
              (std::vector<RegValue>{{"A", REG_SZ, Text("a")}}));
    EXPECT_EQ(Parsed(DecimonFileStart + "\"C\"=\"unterminat").size(), 0u);
}

TEST(RegeditFileTest, ReadsNoFurtherThanTheSizeLimit) {
    std::string text = DecimonFileStart + "\"Before\"=\"b\"\n";
    const std::string filler = "; " + std::string(97, '-') + "\n";
    while (text.size() + filler.size() < RegeditFile::MaxTextSize - 10)
        text += filler;
    text += "\"Cut\"=\"" + std::string(100, 'x') + "\"\n";  // straddles the limit
    text += "\"After\"=\"a\"\n";

    EXPECT_EQ(Parsed(text), (std::vector<RegValue>{{"Before", REG_SZ, Text("b")}}));
}

TEST(RegeditFileTest, LaterLinesWinWithoutRegardToCase) {
    const RegValueList values = RegeditFile::Parse(DecimonFileStart + "\"Name\"=\"one\"\n"
                                                                      "\"Other\"=\"x\"\n"
                                                                      "\"NAME\"=dword:00000002\n",
                                                   Section);
    EXPECT_EQ(values.Values(),
              (std::vector<RegValue>{{"Name", REG_DWORD, {2, 0, 0, 0}}, {"Other", REG_SZ, Text("x")}}));
    ASSERT_NE(values.Find("nAmE"), nullptr);
    EXPECT_EQ(values.Find("nAmE")->type, REG_DWORD);
    EXPECT_EQ(values.Find("Nam"), nullptr);
}

TEST(RegeditFileTest, WritesTheEditorsForm) {
    const RegValueList values = ListOf({
        {"ShiftLenHours", REG_SZ, Text("8.0")},
        {"LevelOffset", REG_DWORD, {0xFD, 0xFF, 0xFF, 0xFF}},
        {"Path \"q\"", REG_SZ, Text("C:\\x")},
        {"", REG_SZ, Text("d")},
        {"Banner", REG_SZ, Text("A\r\nB")},
        {"NoNul", REG_SZ, Bytes("ab")},
        {"Blob", REG_BINARY, {0x01, 0xAB}},
        {"Quad", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"ShortDword", REG_DWORD, {1, 2}},
    });
    EXPECT_EQ(RegeditFile::Format(Section, values), DecimonFileStart + "\"ShiftLenHours\"=\"8.0\"\n"
                                                                       "\"LevelOffset\"=dword:fffffffd\n"
                                                                       "\"Path \\\"q\\\"\"=\"C:\\\\x\"\n"
                                                                       "@=\"d\"\n"
                                                                       "\"Banner\"=hex(1):41,0d,0a,42,00\n"
                                                                       "\"NoNul\"=hex(1):61,62\n"
                                                                       "\"Blob\"=hex:01,ab\n"
                                                                       "\"Quad\"=hex(b):01,02,03,04,05,06,07,08\n"
                                                                       "\"ShortDword\"=hex(4):01,02\n"
                                                                       "\n");
}

TEST(RegeditFileTest, WrapsLongHexWithin80Columns) {
    const RegValueList values = ListOf({{"Long", REG_BINARY, std::vector<BYTE>(100, 0x5A)}});
    const std::string text = RegeditFile::Format(Section, values);

    std::vector<std::string> lines;
    for (std::size_t start = DecimonFileStart.size(); start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_GE(lines.size(), 4u);  // at least three hex lines and the closing blank line
    EXPECT_EQ(lines[0].rfind("\"Long\"=hex:5a,", 0), 0u);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 80u) << lines[i];
        if (i > 0) {
            EXPECT_EQ(lines[i].rfind("  5a", 0), 0u) << lines[i];
        }
        if (i + 2 < lines.size()) {
            EXPECT_EQ(lines[i].substr(lines[i].size() - 2), ",\\") << lines[i];
        }
    }
    EXPECT_EQ(Parsed(text), values.Values());
}

TEST(RegeditFileTest, WhatItWritesReadsBackTheSame) {
    std::vector<BYTE> allBytes(256);
    for (int i = 0; i < 256; ++i)
        allBytes[i] = static_cast<BYTE>(i);
    const RegValueList values = ListOf({
        {"back\\slash \"and\" quote", REG_SZ, Text("\\\"")},
        {"high \xE9", REG_SZ, Text("caf\xE9 \x80\xFF")},
        {"tab\tname", REG_SZ, Text("")},
        {"embedded nul", REG_SZ, {0x61, 0, 0x62, 0}},
        {"no bytes", REG_SZ, {}},
        {"del", REG_SZ, Text("\x7F")},
        {"every byte", REG_BINARY, allBytes},
        {"odd type", 0xFFFFFFFF, {1}},
        {"type zero", REG_NONE, {}},
        {"", REG_DWORD, {0, 0, 0, 0x80}},
    });
    EXPECT_EQ(Parsed(RegeditFile::Format(Section, values)), values.Values());
}

// ---- the registry calls --------------------------------------------------------------

class RegistryTest : public ::testing::Test {
protected:
    HKEY Open(REGSAM access) {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, DecimonKey, 0, access, &key), ERROR_SUCCESS);
        return key;
    }

    static LONG CreateKey(HKEY* key, DWORD* disposition = nullptr, const char* path = DecimonKey,
                          HKEY root = HKEY_LOCAL_MACHINE) {
        return RegCreateKeyExA(root, path, 0, "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key, disposition);
    }

    HKEY Create(DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(CreateKey(&key, disposition), ERROR_SUCCESS);
        return key;
    }

    // Opens the key, reads one value and closes it again.
    std::string QueryOnce(const char* name, REGSAM access = KEY_QUERY_VALUE) {
        HKEY key = Open(access);
        const std::string data = Query(key, name);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        return data;
    }

    static void WriteKey(const fs::path& file, const std::string& lines) {
        XdgSandbox::WriteFile(file, DecimonFileStart + lines);
    }
    void WriteHomeKey(const std::string& lines) const { WriteKey(sandbox_.HomeKeyFile(), lines); }
    std::string HomeText() const { return XdgSandbox::ReadFile(sandbox_.HomeKeyFile()); }

    static LONG Set(HKEY key, const char* name, DWORD type, const std::vector<BYTE>& data) {
        return RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    }

    // The value's bytes, or "(error N)".
    static std::string Query(HKEY key, const char* name, DWORD* type = nullptr) {
        DWORD size = 0;
        LONG status = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
        std::string data(size, '\0');
        if (status == ERROR_SUCCESS)
            status = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<LPBYTE>(data.data()), &size);
        return status == ERROR_SUCCESS ? data : "(error " + std::to_string(status) + ")";
    }

    std::vector<std::string> FilesIn(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    XdgSandbox sandbox_;
};

TEST_F(RegistryTest, MissingKeyIsNotFoundAndNothingIsMade) {
    HKEY key = reinterpret_cast<HKEY>(std::uintptr_t{1234});
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, DecimonKey, 0, KEY_ALL_ACCESS, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_FALSE(fs::exists(sandbox_.Home()));
}

TEST_F(RegistryTest, CreatedKeyReachesItsFileAtCloseInTheEditorsForm) {
    DWORD disposition = 0;
    HKEY key = Create(&disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(Set(key, "ShiftLenHours", REG_SZ, Text("8.0")), ERROR_SUCCESS);
    EXPECT_EQ(Set(key, "LevelOffset", REG_DWORD, {0xFD, 0xFF, 0xFF, 0xFF}), ERROR_SUCCESS);
    EXPECT_EQ(Set(key, "WarningMessage", REG_SZ, Text("A\r\nB")), ERROR_SUCCESS);
    EXPECT_EQ(XdgSandbox::Mode(sandbox_.Home()), 0700u);
    EXPECT_EQ(XdgSandbox::Mode(sandbox_.HomeKeyFile().parent_path()), 0700u);
    EXPECT_FALSE(fs::exists(sandbox_.HomeKeyFile())) << "written only at close";

    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(HomeText(), DecimonFileStart + "\"ShiftLenHours\"=\"8.0\"\n"
                                             "\"LevelOffset\"=dword:fffffffd\n"
                                             "\"WarningMessage\"=hex(1):41,0d,0a,42,00\n"
                                             "\n");
    EXPECT_EQ(XdgSandbox::Mode(sandbox_.HomeKeyFile()), 0600u);
    EXPECT_EQ(FilesIn(sandbox_.HomeKeyFile().parent_path()), std::vector<std::string>{"Decimon.reg"});

    key = Create(&disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    DWORD type = REG_NONE;
    EXPECT_EQ(Query(key, "WarningMessage", &type), std::string("A\r\nB\0", 5));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(Query(key, "LevelOffset", &type), "\xFD\xFF\xFF\xFF");
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, CreatingAKeyWithoutValuesStillMakesItsFile) {
    EXPECT_EQ(RegCloseKey(Create()), ERROR_SUCCESS);
    EXPECT_EQ(HomeText(), DecimonFileStart + "\n");
}

TEST_F(RegistryTest, QueryReportsTypeAndLengthAndCopiesOnlyWhatFits) {
    WriteHomeKey("\"Name\"=\"abc\"\n\"Number\"=dword:0000002a\n");
    HKEY key = Open(KEY_QUERY_VALUE);

    DWORD type = REG_NONE;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 4u);

    char small[3] = {'x', 'x', 'x'};
    size = sizeof small;
    type = REG_NONE;
    EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, &type, reinterpret_cast<LPBYTE>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u) << "the length needed";
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(std::string(small, 3), "xxx") << "nothing copied";

    char large[10] = {};
    size = sizeof large;
    EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<LPBYTE>(large), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(large, "abc");

    EXPECT_EQ(Query(key, "NUMBER", &type), std::string("\x2A\0\0\0", 4));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(Query(key, "Missing"), "(error 2)");

    DWORD reserved = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Name", &reserved, nullptr, nullptr, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<LPBYTE>(large), nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, HandlesAndRightsAreCheckedNotTrusted) {
    WriteHomeKey("\"Name\"=\"abc\"\n");
    HKEY reader = Open(KEY_QUERY_VALUE);
    HKEY writer = Open(KEY_SET_VALUE);
    EXPECT_NE(reader, writer);
    EXPECT_EQ(Set(reader, "Name", REG_SZ, Text("x")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Query(writer, "Name"), "(error 5)");
    EXPECT_EQ(Set(writer, "Bad\nName", REG_SZ, Text("x")), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(writer, "Name", 0, REG_SZ, nullptr, 4), ERROR_INVALID_PARAMETER);

    EXPECT_EQ(RegCloseKey(reader), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(reader), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Query(reader, "Name"), "(error 6)");
    EXPECT_EQ(Set(reader, "Name", REG_SZ, Text("x")), ERROR_INVALID_HANDLE);
    HKEY again = Open(KEY_QUERY_VALUE);
    EXPECT_NE(again, reader) << "a closed handle is never handed out again";
    EXPECT_EQ(RegCloseKey(reader), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Query(again, "Name"), std::string("abc", 4));

    for (HKEY bogus : {HKEY(nullptr), HKEY_LOCAL_MACHINE, reinterpret_cast<HKEY>(std::uintptr_t{0xDEADBEEF})}) {
        EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Query(bogus, "Name"), "(error 6)");
    }
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, DecimonKey, 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(writer), ERROR_SUCCESS);
}

TEST_F(RegistryTest, OnlySoftwareVendorProductKeysExist) {
    const char* const paths[] = {
        "SOFTWARE\\Corvanta",
        "SOFTWARE\\Corvanta\\Decimon\\Sub",
        "SYSTEM\\Corvanta\\Decimon",
        "SOFTWARE\\..\\Decimon",
        "SOFTWARE\\Corvanta\\.",
        "SOFTWARE\\a/b\\c",
        "SOFTWARE\\\\Decimon",
        "",
        "\\SOFTWARE\\Corvanta\\Decimon",
        "SOFTWARE\\Corvanta\\De\nc",
        nullptr,
    };
    for (const char* path : paths) {
        SCOPED_TRACE(path ? path : "(null)");
        HKEY key = HKEY_LOCAL_MACHINE;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(key, nullptr);
        key = HKEY_LOCAL_MACHINE;
        EXPECT_EQ(CreateKey(&key, nullptr, path), ERROR_ACCESS_DENIED);
        EXPECT_EQ(key, nullptr);
    }
    HKEY key = nullptr;
    const HKEY currentUser = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001});
    EXPECT_EQ(CreateKey(&key, nullptr, DecimonKey, currentUser), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(fs::exists(sandbox_.Home()));
}

TEST_F(RegistryTest, ValuesOfOtherTypesSurviveASave) {
    const std::string others = "\"Multi\"=hex(7):61,00,62,00,00\n"
                               "\"Quad\"=hex(b):01,00,00,00,00,00,00,00\n"
                               "\"Expand\"=hex(2):25,00\n"
                               "\"Blob\"=hex:ff\n";
    WriteHomeKey(others);
    HKEY key = Open(KEY_ALL_ACCESS);
    EXPECT_EQ(Set(key, "HostName", REG_SZ, Text("h")), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(HomeText(), DecimonFileStart + others + "\"HostName\"=\"h\"\n\n");
}

TEST_F(RegistryTest, ReadsTheFirstConfigDirWithAFileAndSavesToHome) {
    const fs::path first = XdgSandbox::KeyFile(sandbox_.SystemDir(0));
    const fs::path second = XdgSandbox::KeyFile(sandbox_.SystemDir(1));
    WriteKey(second, "\"HostName\"=\"from-b\"\n");
    EXPECT_EQ(QueryOnce("HostName"), std::string("from-b", 7));

    WriteKey(first, "\"HostName\"=\"from-a\"\n");
    HKEY key = Open(KEY_ALL_ACCESS);
    EXPECT_EQ(Query(key, "HostName"), std::string("from-a", 7));
    EXPECT_EQ(Set(key, "Password", REG_SZ, Text("p")), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    EXPECT_EQ(HomeText(), DecimonFileStart + "\"HostName\"=\"from-a\"\n\"Password\"=\"p\"\n\n");
    EXPECT_EQ(XdgSandbox::ReadFile(first), DecimonFileStart + "\"HostName\"=\"from-a\"\n");
    EXPECT_EQ(XdgSandbox::ReadFile(second), DecimonFileStart + "\"HostName\"=\"from-b\"\n");

    WriteKey(first, "\"HostName\"=\"changed\"\n");
    EXPECT_EQ(QueryOnce("HostName"), std::string("from-a", 7)) << "the home file hides the others";
}

TEST_F(RegistryTest, UnreadableHomeFileIsNeitherPassedOverNorReplaced) {
    fs::create_directories(sandbox_.HomeKeyFile());  // a folder where the file should be
    WriteKey(XdgSandbox::KeyFile(sandbox_.SystemDir(0)), "\"HostName\"=\"a\"\n");
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, DecimonKey, 0, KEY_QUERY_VALUE, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(CreateKey(&key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegGetLastFileError().file, sandbox_.HomeKeyFile().string());
    EXPECT_EQ(RegGetLastFileError().reason, "Is a directory");
}

TEST_F(RegistryTest, ClosingWithoutChangesLeavesTheFileAlone) {
    const std::string text = DecimonFileStart + "; kept as the administrator wrote it\n\"HostName\" = \"a\"\n";
    XdgSandbox::WriteFile(sandbox_.HomeKeyFile(), text);
    EXPECT_EQ(QueryOnce("HostName", KEY_ALL_ACCESS), std::string("a", 2));
    EXPECT_EQ(HomeText(), text);
}

// A save that fails leaves the old file whole and no temporary file behind: a write cut
// half-way (by the file size limit, which binds root as well), or a key too large to read back.
TEST_F(RegistryTest, SaveThatFailsLeavesTheOldFileWhole) {
    const struct {
        const char* why;
        DWORD type;
        std::vector<BYTE> data;
        rlim_t sizeLimit;  // 0: none
    } cases[] = {
        {"write cut half-way", REG_SZ, Text(std::string(4000, 'w')), 1024},
        {"too large to read back", REG_BINARY, std::vector<BYTE>(RegeditFile::MaxTextSize / 3, 1), 0},
    };
    const std::string text = DecimonFileStart + "\"HostName\"=\"old\"\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        XdgSandbox::WriteFile(sandbox_.HomeKeyFile(), text);
        HKEY key = Open(KEY_ALL_ACCESS);
        EXPECT_EQ(Set(key, "Big", c.type, c.data), ERROR_SUCCESS);
        {
            std::optional<FileSizeLimit> limit;
            if (c.sizeLimit)
                limit.emplace(c.sizeLimit);
            EXPECT_EQ(RegCloseKey(key), ERROR_CANTWRITE);
        }
        EXPECT_EQ(RegGetLastFileError().file, sandbox_.HomeKeyFile().string());
        EXPECT_EQ(RegGetLastFileError().reason, "File too large");
        EXPECT_EQ(HomeText(), text);
        EXPECT_EQ(FilesIn(sandbox_.HomeKeyFile().parent_path()), std::vector<std::string>{"Decimon.reg"});
    }
}

TEST_F(RegistryTest, KeyWhoseFolderCannotBeMadeIsNotCreated) {
    sandbox_.MakeHomeUncreatable();
    HKEY key = HKEY_LOCAL_MACHINE;
    EXPECT_EQ(CreateKey(&key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegGetLastFileError().reason, "Not a directory");
}

TEST_F(RegistryTest, HandlesMayBeUsedFromSeveralThreads) {
    WriteHomeKey("\"Name\"=\"abc\"\n");
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&failures] {
            for (int i = 0; i < 200; ++i) {
                HKEY key = nullptr;
                char data[8];
                DWORD size = sizeof data;
                if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, DecimonKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS ||
                    RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<LPBYTE>(data), &size) !=
                        ERROR_SUCCESS ||
                    RegCloseKey(key) != ERROR_SUCCESS || RegCloseKey(key) != ERROR_INVALID_HANDLE)
                    ++failures;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, 0);
}

}  // namespace
