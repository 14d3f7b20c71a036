#include "app/script.h"

namespace tamsolo {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

std::string BuildDelSelfScript(std::size_t filesInFolder, const std::string& exePath, const std::string& scriptPath) {
    const std::string ping = "1";
    std::string text = "cd\\\r\n:delexe\r\nping -n " + ping + " 127.0.0.1\r\n";
    text += "del \"" + exePath + "\"\r\n";
    text += "if exist \"" + exePath + "\" goto :delexe\r\n";
    if (filesInFolder < 2) {
        const std::string folder = FolderOf(exePath);
        text += "del \"" + folder + "\" /Q /F /A\r\n";
        text += "rd \"" + folder + "\"\r\n";
    }
    text += "del \"" + scriptPath + "\"\r\n";
    if (text.size() > kScriptBytes - 1) return std::string();
    return text;
}

}  // namespace tamsolo
