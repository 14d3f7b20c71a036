#include "app/counter.h"
#include "app/elevation.h"
#include "app/startmode.h"
#include "app/installrules.h"
#include "app/script.h"

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

TEST(ElevatedJob, OnlyTheJobsOwnSwitchAloneIsTakenAndNothingTheCallerPassedGetsThrough) {
    const ElevatedJob jobs[] = {ElevatedJob::kInstall, ElevatedJob::kUninstall, ElevatedJob::kSwap};
    const std::u16string lines[] = {u"/elevated-install", u"/elevated-uninstall", u"/elevated-swap"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ElevatedJobArguments(jobs[i]), lines[i]);
        EXPECT_EQ(ElevatedJobFrom({lines[i]}), jobs[i]);
    }
    EXPECT_EQ(ElevatedJobFrom({u"/Elevated-SWAP"}), ElevatedJob::kSwap);
    EXPECT_EQ(ElevatedJobArguments(ElevatedJob::kNone), u"");
    EXPECT_EQ(ElevatedJobArguments(ElevatedJob::kRefused), u"");

    struct Row {
        std::vector<std::u16string> args;
        ElevatedJob job;
    };
    const Row rows[] = {
        {{}, ElevatedJob::kNone},
        {{u"/gmhall", u"/123"}, ElevatedJob::kNone},
        {{u"/TamsoloD"}, ElevatedJob::kNone},
        {{u"elevated-install"}, ElevatedJob::kNone},  // not a switch: the location rule decides
        // A job in any company, an earlier version's trailing switch, or an unknown job: refused.
        {{u"/gmhall", u"/123", u"/elevated-install"}, ElevatedJob::kRefused},
        {{u"/elevated-install", u"/gmhall"}, ElevatedJob::kRefused},
        {{u"/GMHALL", u"/ELEVATED-SWAP"}, ElevatedJob::kRefused},
        {{u"/uninst", u"/elevated"}, ElevatedJob::kRefused},
        {{u"/elevated"}, ElevatedJob::kRefused},
        {{u"/elevated-install "}, ElevatedJob::kRefused},
        {{u"/elevated-swap", u""}, ElevatedJob::kRefused},
    };
    for (const Row& row : rows) EXPECT_EQ(ElevatedJobFrom(row.args), row.job) << row.args.size();
}

TEST(ElevatedJob, TheProgramFolderAndTheKeyBelongToAdministratorsAndUsersOnlyReadThem) {
    const std::vector<AccessEntry> folder = {{Trustee::kSystem, 0x1F01FF, true},
                                             {Trustee::kAdministrators, 0x1F01FF, true},
                                             {Trustee::kUsers, 0x1200A9, true}};
    EXPECT_EQ(ProgramFolderAccess(), folder);
    const std::vector<AccessEntry> key = {{Trustee::kSystem, 0xF003F, true},
                                          {Trustee::kAdministrators, 0xF003F, true},
                                          {Trustee::kUsers, 0x20019, true}};
    EXPECT_EQ(LauncherKeyAccess(), key);
    // Users may neither write, delete nor change who may: no bit of those in their masks.
    const std::uint32_t kWriteBits = 0x2 | 0x4 | 0x10 | 0x40 | 0x100 | 0x10000 | 0x40000 | 0x80000;
    EXPECT_EQ(folder[2].rights & kWriteBits, 0u);
    EXPECT_EQ(key[2].rights & (0x2 | 0x4 | 0x20 | 0x10000 | 0x40000 | 0x80000), 0u);
}

TEST(UserState, FilesAnOrdinaryStartWritesStayInTheUsersOwnFolder) {
    const std::u16string dir = u"C:\\Users\\p\\AppData\\Local\\Kelvra\\GameLogin";
    EXPECT_EQ(UserStateDirFrom(u"C:\\Users\\p\\AppData\\Local"), dir);
    EXPECT_EQ(UserStateDirFrom(u"C:\\Users\\p\\AppData\\Local\\"), dir);
    EXPECT_EQ(UserStateDirFrom(u""), u"");  // never the root of the current drive
    EXPECT_EQ(StateFileIn(dir, u"Statistic.ini"), dir + u"\\Statistic.ini");
    EXPECT_EQ(StateFileIn(dir, u"hall_1.ini"), dir + u"\\hall_1.ini");
    for (const char16_t* bad : {u"", u".", u"..", u"..\\x.ini", u"a/b.ini", u"C:x.ini", u"\\\\srv\\x"}) {
        EXPECT_EQ(StateFileIn(dir, bad), u"") << std::u16string(bad).size();
    }
    EXPECT_EQ(StateFileIn(u"", u"Statistic.ini"), u"");
    // The dump of a crash goes to the same folder, named after the program.
    EXPECT_EQ(DumpPathFor(dir, u"C:\\ProgramData\\Kelvra\\GameLogin\\Tamsolo.exe"), dir + u"\\Tamsolo.dmp");
    EXPECT_EQ(DumpPathFor(dir, u"C:\\x\\Tam.solo.exe"), dir + u"\\Tam.solo.dmp");
    EXPECT_EQ(DumpPathFor(dir, u"C:\\v1.2\\Tamsolo"), u"");
    EXPECT_EQ(DumpPathFor(u"", u"C:\\x\\Tamsolo.exe"), u"");
    EXPECT_EQ(FolderOfPath(u"C:\\x\\T.exe"), u"C:\\x");
    EXPECT_EQ(FolderOfPath(u"T.exe"), u"");
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

