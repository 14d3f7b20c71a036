// The test channel of a browser host: what the probe may ask of it, and how its WM_COPYDATA
// payload is read. Portable so that the reading of a malformed payload is unit-tested; only
// the test build of the launcher creates a channel at all.
#pragma once

#include <cstddef>
#include <string>

namespace tamsolo {

// The class of the hidden window each host of the test build creates beside its control.
constexpr char16_t kBrowserChannelClass[] = u"TamsoloBrowserTest";

// WM_COPYDATA dwData of a channel command; lpData is UTF-16 text.
enum class ChannelCommand : unsigned long {
    kNavigate = 1,          // the control's own Navigate2 to the address
    kNavigateComplete = 2,  // navigate-complete and document-complete of the top level, for the address
    kTitleChange = 3,       // a title change with the text
};

// Longest text a channel command may carry, in UTF-16 units.
constexpr std::size_t kChannelTextMax = 4096;

// Reads a command payload: an even number of bytes of UTF-16 text, with or without one
// terminating zero, no zero inside, at most kChannelTextMax units. False for anything else.
bool ReadChannelText(const void* data, std::size_t bytes, std::u16string* text);

// True for the command numbers above.
bool IsChannelCommand(unsigned long value);

}  // namespace tamsolo
