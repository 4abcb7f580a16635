#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/Platform.h"
#include "platform/ProfileFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "platform/PosixPlatform.h"
#endif

using namespace zelmor::platform;

TEST(ProfileFile, ReadsWithTheWin32Rules) {
    ProfileFile profile(
        "; comment line\r\n"
        "orphan=before any section\r\n"
        "[Zelmor320]\r\n"
        "  fill_space =  no  \r\n"
        "quoted=\"  spaced  \"\r\n"
        "single='x'\r\n"
        "mismatched=\"x'\r\n"
        "empty=\r\n"
        "noequals\r\n"
        "dup=first\r\n"
        "dup=second\r\n"
        "[other]\r\n"
        "fill_space=yes\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"zelmor320", "FILL_SPACE", "no"},   // section and key ignore letter case, value trimmed
        {"zelmor320", "quoted", "  spaced  "},
        {"zelmor320", "single", "x"},
        {"zelmor320", "mismatched", "\"x'"},
        {"zelmor320", "empty", ""},            // present but empty: not the default
        {"zelmor320", "noequals", ""},
        {"zelmor320", "dup", "first"},
        {"zelmor320", "missing", "DEF"},
        {"other", "fill_space", "yes"},
        {"nosuch", "fill_space", "DEF"},
        {"", "orphan", "DEF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(profile.Read(c.section, c.key, "DEF", 256), c.expected)
            << c.section << "." << c.key;
    }
}

TEST(ProfileFile, BoundsTheValueToTheCapacity) {
    ProfileFile profile("[s]\nk=abcdef\nj=a\x93\xFA\n");
    EXPECT_EQ(profile.Read("s", "k", "", 4), "abc");
    EXPECT_EQ(profile.Read("s", "k", "", 1), "");
    EXPECT_EQ(profile.Read("s", "k", "", 0), "");
    EXPECT_EQ(profile.Read("s", "j", "", 3), "a");  // never half a double-byte character
    EXPECT_EQ(profile.Read("s", "x", "default  ", 256), "default");
}

TEST(ProfileInt, LeadingNumberOrDefault) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"10", 10},    {"  42", 42},  {"-5", -5},       {"+7", 7},     {"12abc", 12},
        {"abc", 99},   {"", 99},      {"-", 99},        {" - 3", 99},  {"288", 288},
        {"0", 0},      {"4294967295", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseProfileInt(c.text, 99), c.expected) << c.text;
}

// The real platform reads the file where the system looks for it.
TEST(ProfileOnThisPlatform, ReadsTheRealFile) {
#ifdef _WIN32
    char directory[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(directory, MAX_PATH), 0u);
    std::string path = std::string(directory) + "\\zeltest.ini";
#else
    char pattern[] = "/tmp/zelprofileXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string previous = ProfileDirectory();
    SetProfileDirectory(pattern);
    std::string path = std::string(pattern) + "/ZELTEST.INI";  // found whatever the case
#endif
    {
        std::ofstream out(path, std::ios::binary);
        out << "[zelmor320]\r\nfloat_size=12\r\nsShortDate=yy/mm/dd\r\nbad=x1\r\n";
    }
    Platform& platform = NativePlatform();
    EXPECT_EQ(platform.ReadProfileString("zeltest.ini", "zelmor320", "sShortDate", "", 32),
              "yy/mm/dd");
    EXPECT_EQ(platform.ReadProfileString("zeltest.ini", "zelmor320", "nokey", "dflt", 32), "dflt");
    EXPECT_EQ(platform.ReadProfileInt("zeltest.ini", "zelmor320", "float_size", 10), 12);
    EXPECT_EQ(platform.ReadProfileInt("zeltest.ini", "zelmor320", "bad", 10), 10);
    EXPECT_EQ(platform.ReadProfileInt("zeltest.ini", "zelmor320", "missing", 10), 10);
    EXPECT_EQ(platform.ReadProfileInt("nosuchfile.ini", "zelmor320", "float_size", 10), 10);
    std::remove(path.c_str());
#ifndef _WIN32
    rmdir(pattern);
    SetProfileDirectory(previous);
#endif
}
