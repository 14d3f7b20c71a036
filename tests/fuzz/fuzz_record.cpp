// WM_COPYDATA records: the registration text a page process sends the main window, and the
// test channel's command text. Any process can send any block of any length and alignment.
#include "fuzz_input.h"

#include <vector>

#include "app/protocol.h"
#include "mainwnd/pagelist.h"
#include "web/browserchannel.h"

using namespace tamsolo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the block's alignment; the block is an exact-size heap copy so any
    // read past its end is reported.
    const std::size_t offset = data[0] & 1;
    std::vector<std::uint8_t> storage(size - 1 + offset);
    std::copy(data + 1, data + size, storage.begin() + static_cast<std::ptrdiff_t>(offset));
    const std::uint8_t* block = storage.data() + offset;
    const std::size_t bytes = size - 1;

    std::u16string text = u"untouched";
    if (ReadRegistrationRecord(block, bytes, &text)) {
        FUZZ_CHECK(bytes % 2 == 0 && bytes <= kMaxRegistrationBytes);
        FUZZ_CHECK(!text.empty() && text.find(u'\0') == std::u16string::npos);
        FUZZ_CHECK((text.size() + 1) * 2 <= bytes);
        FUZZ_CHECK(std::memcmp(block, text.data(), text.size() * 2) == 0);
        PageList list;
        FUZZ_CHECK(list.AddName(text) && list.HasName(text) && !list.AddName(text));
    } else {
        FUZZ_CHECK(text == u"untouched");
    }
    // A record whose stated size is larger than the block would be read past; the stated size
    // is the block's here, and an empty block or none at all is refused.
    FUZZ_CHECK(!ReadRegistrationRecord(nullptr, bytes, &text));

    std::u16string channel = u"untouched";
    if (ReadChannelText(bytes ? block : nullptr, bytes, &channel)) {
        FUZZ_CHECK(bytes % 2 == 0 && channel.size() <= kChannelTextMax);
        FUZZ_CHECK(channel.find(u'\0') == std::u16string::npos);
        FUZZ_CHECK(channel.size() * 2 == bytes || (channel.size() + 1) * 2 == bytes);
        if (bytes > 0) FUZZ_CHECK(std::memcmp(block, channel.data(), channel.size() * 2) == 0);
    } else {
        FUZZ_CHECK(channel == u"untouched");
    }
    return 0;
}
