#include "web/localfiles.h"

namespace tamsolo {

bool PathBesideProgram(const std::u16string& programPath, const std::u16string& name, std::u16string* out) {
    out->clear();
    const std::size_t slash = programPath.rfind(u'\\');
    if (slash == std::u16string::npos) return false;
    std::u16string path = name.empty() ? programPath : programPath.substr(0, slash + 1) + name;
    if (path.size() > kPathChars - 1) return false;
    *out = path;
    return true;
}

}  // namespace tamsolo
