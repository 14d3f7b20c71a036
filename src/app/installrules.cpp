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

std::u16string FileNameOf(const std::u16string& path) {
    const std::size_t slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

bool SamePathIgnoringCase(const std::u16string& a, const std::u16string& b) {
    return ToUpperPath(a) == ToUpperPath(b);
}

}  // namespace tamsolo
