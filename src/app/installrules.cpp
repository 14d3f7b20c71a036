#include "app/installrules.h"

#include "app/startmode.h"

namespace tamsolo {

std::u16string OlderPerUserShortcut(const std::u16string& documentsFolder, const std::u16string& commonDesktop) {
    const std::size_t docCut = documentsFolder.rfind(u'\\');
    const std::size_t deskCut = commonDesktop.rfind(u'\\');
    if (docCut == std::u16string::npos || deskCut == std::u16string::npos) return std::u16string();
    return documentsFolder.substr(0, docCut) + commonDesktop.substr(deskCut) + u"\\" + kShortcutName + kLinkExtension;
}

std::u16string FileInInstallDir(const std::u16string& installDir, const std::u16string& fileName) {
    if (installDir.empty() || fileName.empty()) return std::u16string();
    return installDir + u"\\" + fileName;
}

std::u16string UserStateDirFrom(const std::u16string& localAppData) {
    if (localAppData.empty()) return std::u16string();
    return InstallDirFrom(localAppData);  // the same two folders below a per-user root
}

std::u16string StateFileIn(const std::u16string& stateDir, const std::u16string& name) {
    if (stateDir.empty() || name.empty() || name == u"." || name == u"..") return std::u16string();
    if (name.find_first_of(u"\\/:") != std::u16string::npos) return std::u16string();
    return stateDir + u"\\" + name;
}

std::u16string DumpPathFor(const std::u16string& stateDir, const std::u16string& exePath) {
    const std::u16string name = FileNameOf(exePath);
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string::npos) return std::u16string();
    return StateFileIn(stateDir, name.substr(0, dot) + u".dmp");
}

std::u16string FileNameOf(const std::u16string& path) {
    const std::size_t slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

std::u16string FolderOfPath(const std::u16string& path) {
    const std::size_t slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

bool SamePathIgnoringCase(const std::u16string& a, const std::u16string& b) {
    return ToUpperPath(a) == ToUpperPath(b);
}

}  // namespace tamsolo
