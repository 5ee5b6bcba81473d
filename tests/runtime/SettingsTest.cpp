// The system-wide settings file as administrators write it, and what must never be taken for a
// user file's path.
#include "runtime/Settings.h"

#include "FileBytes.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>

TEST(Settings, ReadsTheFileAsAdministratorsWriteIt) {
    // Notepad's byte-order mark and line ends, comments, blanks, a value with "#" and a blank.
    const TSettings S = ParseSettings("\xEF\xBB\xBF# Pelorin\r\n\r\n; Zortan\r\n"
                                      "  UserFile\t=  /opt/zortan #2/UsrPass.dat \r\n",
                                      "pelorin.conf");
    EXPECT_EQ(S.UserFile, "/opt/zortan #2/UsrPass.dat");
    EXPECT_EQ(ParseSettings("UserFile=\n", "x").UserFile, ""); // empty: not set
    EXPECT_EQ(ParseSettings("", "x").UserFile, "");
}

TEST(Settings, RefusesWhatItDoesNotUnderstandNamingTheLine) {
    using namespace std::string_view_literals;
    const std::string Relative = "UserFile musi być ścieżką bezwzględną, zaczynającą się od „/”";
    const struct {
        std::string_view Text;
        std::string Message;
    } Cases[] = {
        {"#\nUserfile=/a\n", "wiersz 2: nieznane ustawienie „Userfile” (znane: UserFile)"},
        {"/opt/zortan/UsrPass.dat\n", "wiersz 1: oczekiwano ustawienia w postaci Klucz=Wartość"},
        {"UserFile=UsrPass.dat", "wiersz 1: " + Relative},
        {"UserFile=\"/a\"", "wiersz 1: " + Relative},
        {"UserFile=/a\n\nUserFile=/a\n", "wiersz 3: UserFile podane drugi raz"},
        {"UserFile=/a\x1B[2J", "wiersz 1: niedozwolony znak sterujący"},
        {"UserFile=/a\0b"sv, "wiersz 1: niedozwolony znak sterujący"},
    };
    for (const auto& C : Cases) {
        try {
            ParseSettings(C.Text, "c.conf");
            ADD_FAILURE() << "taken: " << C.Text;
        } catch (const TSettingsError& E) {
            EXPECT_EQ(E.what(), "c.conf, " + C.Message);
        }
    }
}

TEST(Settings, AMissingFileSetsNothingAndAnUnreadableOneIsAnError) {
    TTempDir Temp;
    EXPECT_EQ(ReadSettings(Temp / "none.conf").UserFile, "");
    EXPECT_THROW(ReadSettings(Temp.Path().string()), TSettingsError); // a directory
    WriteText(Temp / "big.conf", std::string(70 * 1024, '#'));
    EXPECT_THROW(ReadSettings(Temp / "big.conf"), TSettingsError);
    WriteText(Temp / "p.conf", "UserFile=/srv/UsrPass.dat\n");
    EXPECT_EQ(ReadSettings(Temp / "p.conf").UserFile, "/srv/UsrPass.dat");

    // The environment names another file; empty, it names none.
    ASSERT_EQ(setenv("PELORIN_CONFIG", (Temp / "p.conf").c_str(), 1), 0);
    EXPECT_EQ(SettingsPath(), Temp / "p.conf");
    ASSERT_EQ(setenv("PELORIN_CONFIG", "", 1), 0);
    EXPECT_EQ(SettingsPath(), "/etc/pelorin.conf");
    unsetenv("PELORIN_CONFIG");
}
