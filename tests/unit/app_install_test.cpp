#include "app/counter.h"
#include "app/elevation.h"
#include "app/startmode.h"
#include "app/installrules.h"
#include "app/script.h"
#include "web/localfiles.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace tamsolo;

TEST(Counter, IncrementReadsLikeTheCRuntime) {
    EXPECT_EQ(NextCounterValue(u"0"), 1u);
    EXPECT_EQ(NextCounterValue(u""), 1u);
    EXPECT_EQ(NextCounterValue(u"abc"), 1u);
    EXPECT_EQ(NextCounterValue(u"41"), 42u);
    EXPECT_EQ(NextCounterValue(u"  7xyz"), 8u);
    EXPECT_EQ(NextCounterValue(u"+9"), 10u);
    EXPECT_EQ(NextCounterValue(u"2147483646"), 2147483647u);
    // Out of range saturates, then goes on in unsigned arithmetic.
    EXPECT_EQ(NextCounterValue(u"99999999999999"), 2147483648u);
    EXPECT_EQ(FormatUnsigned(0), u"0");
    EXPECT_EQ(FormatUnsigned(4294967295u), u"4294967295");
}

TEST(Counter, StatisticsAddress) {
    EXPECT_EQ(StatisticsAddressFor(u"http://127.0.0.1:18480", kInstallStat, 3),
              u"http://127.0.0.1:18480/install.htm?tag=tamsolo&ver=3.0.0.1&count=3");
    EXPECT_EQ(StatisticsAddressFor(u"http://tj.kelvra.com", kPartnerStat, 12),
              u"http://tj.kelvra.com/active.htm?tag=webcorvel&ver=3.0.0.1&count=12");
    EXPECT_EQ(StatisticsAddressFor(std::u16string(600, u'h'), kStartStat, 1).size(), 511u);
}

TEST(InstallRules, FilesInTheInstallDirectoryNeedAKnownDirectory) {
    const std::u16string dir = u"C:\\ProgramData\\Kelvra\\GameLogin";
    EXPECT_EQ(FileInInstallDir(dir, u"Statistic.ini"), dir + u"\\Statistic.ini");
    EXPECT_EQ(FileInInstallDir(dir, u"hall.exe"), dir + u"\\hall.exe");
    // Never "\\Statistic.ini", a file in the root of the current drive.
    EXPECT_EQ(FileInInstallDir(u"", u"Statistic.ini"), u"");
    EXPECT_EQ(FileInInstallDir(dir, u""), u"");
}

TEST(ElevatedRestart, KeepsTheArgumentsAndTheModeAndIsToldByItsLastArgument) {
    struct Row {
        std::vector<std::u16string> args;
        std::u16string restart;
    };
    const Row rows[] = {
        {{}, u"/elevated"},
        {{u"/uninst"}, u"/uninst /elevated"},
        {{u"a b", u""}, u"\"a b\" \"\" /elevated"},
        {{u"say \"hi\""}, u"\"say \\\"hi\\\"\" /elevated"},
        {{u"C:\\x\\", u"C:\\y z\\"}, u"C:\\x\\ \"C:\\y z\\\\\" /elevated"},
        {{u"a\\\"b"}, u"\"a\\\\\\\"b\" /elevated"},
    };
    const std::u16string install = u"C:\\ProgramData\\Kelvra\\GameLogin";
    const std::u16string downloaded = u"C:\\Users\\p\\Downloads\\Tamsolo.exe";
    for (const Row& row : rows) {
        EXPECT_EQ(ElevatedRestartArguments(row.args), row.restart);
        EXPECT_FALSE(IsElevatedRestart(row.args));
        std::vector<std::u16string> restarted = row.args;
        restarted.push_back(u"/Elevated");
        EXPECT_TRUE(IsElevatedRestart(restarted));
        // The restarted copy runs in the original's mode.
        EXPECT_EQ(DecideStartMode(restarted, downloaded, install).mode, DecideStartMode(row.args, downloaded, install).mode);
    }
    EXPECT_FALSE(IsElevatedRestart({u"/elevated", u"/uninst"}));
}

namespace {

std::string Format(const char* tmpl, const std::string& a, const std::string& b, const std::string& c,
                   const std::string& d = {}, const std::string& e = {}) {
    char buffer[2048];
    std::snprintf(buffer, sizeof buffer, tmpl, 1, a.c_str(), b.c_str(), c.c_str(), d.c_str(), e.c_str());
    return buffer;
}

}  // namespace

TEST(DelSelfScript, TemplateAByteForByte) {
    const std::string exe = "C:\\Program Data\\Kelvra\\GameLogin\\Tamsolo.exe";
    const std::string bat = "C:\\Users\\p q\\Temp\\DelSelf1A2.tmp.bat";
    const std::string text = BuildDelSelfScript(2, exe, bat);
    EXPECT_EQ(text, Format(kDelSelfKeepFolder, exe, exe, bat));
    EXPECT_EQ(text,
              "cd\\\r\n:delexe\r\nping -n 1 127.0.0.1\r\n"
              "del \"C:\\Program Data\\Kelvra\\GameLogin\\Tamsolo.exe\"\r\n"
              "if exist \"C:\\Program Data\\Kelvra\\GameLogin\\Tamsolo.exe\" goto :delexe\r\n"
              "del \"C:\\Users\\p q\\Temp\\DelSelf1A2.tmp.bat\"\r\n");
    EXPECT_EQ(BuildDelSelfScript(57, exe, bat), text);
}

TEST(DelSelfScript, TemplateBRemovesTheFolder) {
    const std::string exe = "C:\\My Games\\Tamsolo.exe";
    const std::string bat = "C:\\T\\DelSelf7.tmp.bat";
    const std::string folder = "C:\\My Games";
    EXPECT_EQ(FolderOf(exe), folder);
    for (std::size_t files : {0u, 1u}) {
        const std::string text = BuildDelSelfScript(files, exe, bat);
        EXPECT_EQ(text, Format(kDelSelfRemoveFolder, exe, exe, folder, folder, bat));
        EXPECT_NE(text.find("del \"C:\\My Games\" /Q /F /A\r\nrd \"C:\\My Games\"\r\n"), std::string::npos);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    }
}

TEST(DelSelfScript, TooLongForTheBufferGivesNoScript) {
    const std::string exe = "C:\\" + std::string(1000, 'x') + "\\T.exe";
    EXPECT_EQ(BuildDelSelfScript(5, exe, "C:\\t.bat"), "");
}

TEST(InstallPaths, OlderPerUserShortcut) {
    EXPECT_EQ(OlderPerUserShortcut(u"C:\\Users\\p\\Documents", u"C:\\Users\\Public\\Desktop"),
              u"C:\\Users\\p\\Desktop\\kelvraBrennic极速登陆器.lnk");
    EXPECT_EQ(OlderPerUserShortcut(u"Documents", u"C:\\Users\\Public\\Desktop"), u"");
    EXPECT_EQ(FileNameOf(u"C:\\a b\\Tamsolo.exe"), u"Tamsolo.exe");
    EXPECT_EQ(FileNameOf(u"Tamsolo.exe"), u"Tamsolo.exe");
    EXPECT_TRUE(SamePathIgnoringCase(u"c:\\programdata\\X.exe", u"C:\\ProgramData\\x.EXE"));
    EXPECT_FALSE(SamePathIgnoringCase(u"C:\\a\\x.exe", u"C:\\b\\x.exe"));
}

TEST(InstallPaths, PathBesideProgram) {
    std::u16string out = u"stale";
    EXPECT_TRUE(PathBesideProgram(u"C:\\G\\Tamsolo.exe", u"Statistic.ini", &out));
    EXPECT_EQ(out, u"C:\\G\\Statistic.ini");
    EXPECT_TRUE(PathBesideProgram(u"C:\\G\\Tamsolo.exe", u"", &out));
    EXPECT_EQ(out, u"C:\\G\\Tamsolo.exe");
    EXPECT_FALSE(PathBesideProgram(u"Tamsolo.exe", u"x", &out));
    EXPECT_EQ(out, u"");
    EXPECT_FALSE(PathBesideProgram(u"C:\\" + std::u16string(250, u'd') + u"\\T.exe", u"Statistic.ini", &out));
}
