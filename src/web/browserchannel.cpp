#include "web/browserchannel.h"

#include <cstring>

namespace tamsolo {

bool ReadChannelText(const void* data, std::size_t bytes, std::u16string* text) {
    if (!text || bytes % 2 != 0) return false;
    if (bytes == 0) {
        text->clear();
        return true;
    }
    if (!data) return false;
    std::size_t units = bytes / 2;
    std::u16string read(units, u'\0');
    // The block may sit at any address another process chose; copy rather than cast.
    std::memcpy(&read[0], data, bytes);
    if (read.back() == u'\0') read.pop_back();
    if (read.size() > kChannelTextMax) return false;
    if (read.find(u'\0') != std::u16string::npos) return false;
    *text = std::move(read);
    return true;
}

bool IsChannelCommand(unsigned long value) {
    return value >= static_cast<unsigned long>(ChannelCommand::kNavigate) &&
           value <= static_cast<unsigned long>(ChannelCommand::kTitleChange);
}

}  // namespace tamsolo
