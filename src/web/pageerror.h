// What the player reads when a page of the game server cannot be opened. Portable.
#pragma once

#include <string>

namespace tamsolo {

struct PageErrorText {
    std::u16string headline;
    std::u16string detail;
};

// status as the browser's navigation error gives it: an HTTP status (the server answered
// with an error) or a negative system code (the server could not be reached at all).
PageErrorText PageErrorFor(long status);

// The retry button's caption.
constexpr char16_t kPageRetryCaption[] = u"重新连接";

}  // namespace tamsolo
