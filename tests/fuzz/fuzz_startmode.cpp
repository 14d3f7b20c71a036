// The start-mode rule: the command-line arguments (any text another program may pass) and the
// executable's location, and the number arguments of the page-process switches.
#include "fuzz_input.h"

#include <vector>

#include "app/cmdline.h"
#include "app/elevation.h"
#include "app/installrules.h"
#include "app/startmode.h"

using namespace tamsolo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint8_t how = in.ConsumeIntegral<std::uint8_t>();
    const std::u16string exePath = fuzz::ConsumeText(in, 600);
    const std::u16string installDir = fuzz::ConsumeText(in, 600);
    std::vector<std::u16string> args;
    const int count = in.ConsumeIntegralInRange(0, 4);
    static const char16_t* const kSwitches[] = {u"/newgm", u"/gmhall", u"/TamsoloD", u"/uninst", u"/elevated-swap"};
    for (int i = 0; i < count; ++i) {
        // An argument is often a real switch, so the number reading and the job rule are reached.
        if (in.ConsumeBool()) {
            args.push_back(kSwitches[in.ConsumeIntegralInRange(0, 4)]);
        } else {
            args.push_back(fuzz::Text(in.ConsumeRandomLengthString(64), how));
        }
    }

    const StartModeDecision d = DecideStartMode(args, exePath, installDir);
    FUZZ_CHECK(d.mode >= kModeFirstStart && d.mode <= kModeGameHall);
    FUZZ_CHECK(d.parentPageCount >= 0);
    if (d.mode != kModeGamePage && d.mode != kModeGameHall) FUZZ_CHECK(d.ownerWindow == 0);
    // Window arguments have at most 14 digits, page counts at most 6.
    FUZZ_CHECK(d.ownerWindow > -100000000000000 && d.ownerWindow < 100000000000000);
    FUZZ_CHECK(d.parentPageCount < 1000000);

    for (const std::u16string& arg : args) {
        std::int64_t value = -1;
        const bool ok = ParseNumberArgument(arg, kPageCountArgChars, &value);
        FUZZ_CHECK(ok == (!arg.empty() && arg.size() < kPageCountArgChars));
        if (!ok) FUZZ_CHECK(value == 0);
    }

    // What the main window writes is read back as written.
    const std::int64_t window = in.ConsumeIntegralInRange<std::int64_t>(-9999999999999, 99999999999999);
    const int pages = in.ConsumeIntegralInRange(0, 999999);
    const StartModeDecision back =
        DecideStartMode({u"/newgm", u"/" + ToDecimal(window), u"/" + ToDecimal(pages)}, exePath, installDir);
    FUZZ_CHECK(back.mode == kModeGamePage && back.ownerWindow == window && back.parentPageCount == pages);

    const std::u16string line = BuildCommandLine(exePath, args.empty() ? u"" : args[0]);
    FUZZ_CHECK(line.size() >= exePath.size());
    FUZZ_CHECK(EqualsIgnoreCase(ToUpperPath(exePath), exePath));
    // An unknown (empty) install directory holds nothing; a known one holds its own path.
    FUZZ_CHECK(!IsInsideInstallDir(exePath, u"") && (exePath.empty() || IsInsideInstallDir(exePath, exePath)));
    // A job is only ever its own switch, alone; its command line reads back as the same job.
    const ElevatedJob job = ElevatedJobFrom(args);
    if (job != ElevatedJob::kNone && job != ElevatedJob::kRefused) {
        FUZZ_CHECK(args.size() == 1 && ElevatedJobFrom({ElevatedJobArguments(job)}) == job);
    }
    // Files of the per-user folder never leave it, whatever name or program path they come from.
    const std::u16string dump = DumpPathFor(installDir, exePath);
    FUZZ_CHECK(dump.empty() || fuzz::EndsWith(dump, u".dmp"));
    auto staysInside = [&installDir](const std::u16string& file) {
        return file.empty() || (file.compare(0, installDir.size(), installDir) == 0 &&
                                file.find_first_of(u"\\/:", installDir.size() + 1) == std::u16string::npos);
    };
    FUZZ_CHECK(staysInside(dump));
    for (const std::u16string& name : args) FUZZ_CHECK(staysInside(StateFileIn(installDir, name)));
    (void)InstallDirFrom(installDir);
    return 0;
}
