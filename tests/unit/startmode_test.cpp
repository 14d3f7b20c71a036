#include "app/startmode.h"
#include "app/cmdline.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace tamsolo;

namespace {

const std::u16string kInstall = u"C:\\ProgramData\\Kelvra\\GameLogin";
const std::u16string kInstalledExe = kInstall + u"\\Tamsolo.exe";
const std::u16string kDownloadedExe = u"C:\\Users\\p\\Downloads\\Tamsolo.exe";

StartModeDecision Decide(std::vector<std::u16string> args, const std::u16string& exe = kInstalledExe) {
    return DecideStartMode(args, exe, kInstall);
}

}  // namespace

TEST(StartMode, SwitchesMatchWholeArgumentIgnoringCase) {
    EXPECT_EQ(Decide({u"/CorvelD"}).mode, kModePartnerStart);
    EXPECT_EQ(Decide({u"/tamsolod"}).mode, kModeShortcutStart);
    EXPECT_EQ(Decide({u"/TaMsOlOd"}, kDownloadedExe).mode, kModeShortcutStart);
    EXPECT_EQ(Decide({u"/UNINST"}).mode, kModeUninstall);
    EXPECT_EQ(Decide({u"/Update"}).mode, kModeSelfUpdate);
    // Prefixes, suffixes and later positions are not switches: the location decides.
    EXPECT_EQ(Decide({u"/TamsoloDX"}).mode, kModeInstalledStart);
    EXPECT_EQ(Decide({u"/Tamsolo"}, kDownloadedExe).mode, kModeFirstStart);
    EXPECT_EQ(Decide({u"x", u"/TamsoloD"}).mode, kModeInstalledStart);
    EXPECT_EQ(Decide({u""}, kDownloadedExe).mode, kModeFirstStart);
}

TEST(StartMode, LocationRuleUsesUpperCasedSubstring) {
    EXPECT_EQ(Decide({}).mode, kModeInstalledStart);
    EXPECT_EQ(Decide({}, kDownloadedExe).mode, kModeFirstStart);
    EXPECT_EQ(Decide({}, u"c:\\programdata\\kelvra\\gamelogin\\Tamsolo.exe").mode, kModeInstalledStart);
    // A sub-folder of the install directory counts as installed.
    EXPECT_EQ(Decide({}, kInstall + u"\\sub\\Tamsolo.exe").mode, kModeInstalledStart);
    // A sibling whose name merely starts the same way does too: the test is a plain substring.
    EXPECT_EQ(Decide({}, kInstall + u"2\\Tamsolo.exe").mode, kModeInstalledStart);
    EXPECT_EQ(Decide({}, u"D:\\Kelvra\\GameLogin\\Tamsolo.exe").mode, kModeFirstStart);
    // No common folder, no install directory: no path is inside it.
    EXPECT_EQ(DecideStartMode({}, kInstalledExe, u"").mode, kModeFirstStart);
    EXPECT_EQ(DecideStartMode({u"x"}, kDownloadedExe, u"").mode, kModeFirstStart);
    EXPECT_EQ(InstallDirFrom(u"C:\\ProgramData\\"), kInstall);
    EXPECT_EQ(InstallDirFrom(u"C:\\ProgramData"), kInstall);
}

TEST(StartMode, PageProcessArgumentsSkipTheirFirstCharacter) {
    auto d = Decide({u"/newgm", u"/1234", u"/2"});
    EXPECT_EQ(d.mode, kModeGamePage);
    EXPECT_EQ(d.ownerWindow, 1234);
    EXPECT_EQ(d.parentPageCount, 2);
    d = Decide({u"/NEWGM", u"x1234", u"-2"});
    EXPECT_EQ(d.mode, kModeGamePage);
    EXPECT_EQ(d.ownerWindow, 1234);
    EXPECT_EQ(d.parentPageCount, 2);
    d = Decide({u"/gmhall", u"/98765", u"ignored"});
    EXPECT_EQ(d.mode, kModeGameHall);
    EXPECT_EQ(d.ownerWindow, 98765);
    EXPECT_EQ(d.parentPageCount, 0);
    // Handles printed as signed numbers come back as they were.
    EXPECT_EQ(Decide({u"/newgm", u"/-5000", u"/0"}).ownerWindow, -5000);
}

TEST(StartMode, NumberArgumentsReadDigitsUntilTheFirstNonDigit) {
    std::int64_t v = -1;
    EXPECT_TRUE(ParseNumberArgument(u"/12ab34", kWindowArgChars, &v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ParseNumberArgument(u"/abc", kWindowArgChars, &v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(ParseNumberArgument(u"/", kWindowArgChars, &v));
    EXPECT_EQ(v, 0);
    // Blanks before the number are skipped, a blank after the sign ends it.
    for (const auto& [arg, expected] : std::vector<std::pair<std::u16string, std::int64_t>>{
             {u"/ 5", 5}, {u"/\t\n\v\f\r 42x", 42}, {u"/  -7", -7}, {u"/- 7", 0}, {u"/ ", 0}}) {
        EXPECT_TRUE(ParseNumberArgument(arg, kWindowArgChars, &v));
        EXPECT_EQ(v, expected);
    }
    EXPECT_EQ(Decide({u"/newgm", u"/ 1234", u"/ 2"}).parentPageCount, 2);
    // 15 characters fill the 16-character buffer exactly; 16 do not fit.
    EXPECT_TRUE(ParseNumberArgument(u"/99999999999999", kWindowArgChars, &v));
    EXPECT_EQ(v, 99999999999999);
    EXPECT_FALSE(ParseNumberArgument(u"/999999999999999", kWindowArgChars, &v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(ParseNumberArgument(u"/999999", kPageCountArgChars, &v));
    EXPECT_FALSE(ParseNumberArgument(u"/9999999", kPageCountArgChars, &v));
    EXPECT_FALSE(ParseNumberArgument(u"", kPageCountArgChars, &v));
}

TEST(StartMode, MalformedPageSwitchesFallBackToTheLocationRule) {
    EXPECT_EQ(Decide({u"/newgm"}).mode, kModeInstalledStart);
    EXPECT_EQ(Decide({u"/newgm", u"/1234"}).mode, kModeInstalledStart);
    EXPECT_EQ(Decide({u"/newgm", u"/1234", u""}, kDownloadedExe).mode, kModeFirstStart);
    EXPECT_EQ(Decide({u"/gmhall"}).mode, kModeInstalledStart);
    std::u16string huge(100000, u'9');
    huge[0] = u'/';
    auto d = Decide({u"/newgm", huge, u"/1"});
    EXPECT_EQ(d.mode, kModeInstalledStart);
    EXPECT_EQ(d.ownerWindow, 0);
    EXPECT_EQ(Decide({u"/gmhall", huge}).mode, kModeInstalledStart);
    // A negative page count is not a count of pages.
    EXPECT_EQ(Decide({u"/newgm", u"/1", u"/-3"}).parentPageCount, 0);
}

TEST(CommandLine, PathIsOneArgumentQuotedOnlyWithBlanks) {
    EXPECT_EQ(BuildCommandLine(u"C:\\a\\Tamsolo.exe", u""), u"C:\\a\\Tamsolo.exe");
    EXPECT_EQ(BuildCommandLine(u"C:\\Program Files\\Tamsolo.exe", u""), u"\"C:\\Program Files\\Tamsolo.exe\"");
    EXPECT_EQ(BuildNewPageCommandLine(u"C:\\a b\\T.exe", 1234, 2), u"\"C:\\a b\\T.exe\" /newgm /1234 /2");
    EXPECT_EQ(BuildUpdateCommandLine(u"C:\\x\\T.exe"), u"C:\\x\\T.exe /update");
    EXPECT_EQ(ToDecimal(INT64_MIN), u"-9223372036854775808");
    EXPECT_EQ(ToDecimal(0), u"0");
}

TEST(CommandLine, BuiltPageCommandLineIsReadBackAsThePageProcess) {
    auto d = Decide({u"/newgm", u"/" + ToDecimal(0x7FFFFFFF), u"/" + ToDecimal(3)});
    EXPECT_EQ(d.mode, kModeGamePage);
    EXPECT_EQ(d.ownerWindow, 0x7FFFFFFF);
    EXPECT_EQ(d.parentPageCount, 3);
}
