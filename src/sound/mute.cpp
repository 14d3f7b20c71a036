#include "sound/mute.h"

#include <cstring>

namespace tamsolo::sound {

MuteFlag& ProcessMuteFlag() {
    static MuteFlag flag;
    return flag;
}

void SilenceIfMuted(const MuteFlag& flag, void* data, std::size_t length) {
    if (!data || length == 0 || !flag.Muted()) return;
    std::memset(data, 0, length);
}

}  // namespace tamsolo::sound
