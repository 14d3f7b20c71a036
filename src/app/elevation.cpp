#include "app/elevation.h"

#include "app/startmode.h"

namespace tamsolo {

namespace {

const char16_t kJobPrefix[] = u"/elevated";

bool BeginsWithJobPrefix(const std::u16string& arg) {
    const std::u16string prefix = kJobPrefix;
    return arg.size() >= prefix.size() && EqualsIgnoreCase(arg.substr(0, prefix.size()), prefix);
}

}  // namespace

std::u16string ElevatedJobArguments(ElevatedJob job) {
    switch (job) {
        case ElevatedJob::kInstall:
            return kInstallJobSwitch;
        case ElevatedJob::kUninstall:
            return kUninstallJobSwitch;
        case ElevatedJob::kSwap:
            return kSwapJobSwitch;
        case ElevatedJob::kNone:
        case ElevatedJob::kRefused:
            break;
    }
    return {};
}

ElevatedJob ElevatedJobFrom(const std::vector<std::u16string>& args) {
    bool mentioned = false;
    for (const auto& arg : args) mentioned = mentioned || BeginsWithJobPrefix(arg);
    if (!mentioned) return ElevatedJob::kNone;
    if (args.size() == 1) {
        for (ElevatedJob job : {ElevatedJob::kInstall, ElevatedJob::kUninstall, ElevatedJob::kSwap}) {
            if (EqualsIgnoreCase(args[0], ElevatedJobArguments(job))) return job;
        }
    }
    return ElevatedJob::kRefused;
}

std::vector<AccessEntry> ProgramFolderAccess() {
    return {{Trustee::kSystem, kFileFullControl, true},
            {Trustee::kAdministrators, kFileFullControl, true},
            {Trustee::kUsers, kFileReadExecute, true}};
}

std::vector<AccessEntry> LauncherKeyAccess() {
    return {{Trustee::kSystem, kKeyFullControl, true},
            {Trustee::kAdministrators, kKeyFullControl, true},
            {Trustee::kUsers, kKeyRead, true}};
}

}  // namespace tamsolo
