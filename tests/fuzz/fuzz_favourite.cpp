// Favourites: the name the player types and the page address go into a file name and the
// shortcut's text; files beside the program take a name from the same kind of input.
#include "fuzz_input.h"

#include <algorithm>

#include "web/favourite.h"

using namespace tamsolo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u16string folder = fuzz::ConsumeText(in, 600);
    const std::u16string name = fuzz::ConsumeText(in, 600);
    const std::u16string url = fuzz::ConsumeText(in, 1200);

    const std::u16string safe = FavouriteFileName(name);
    // Every character kept or made "_", one "_" put before a device name, nothing else added.
    FUZZ_CHECK(safe.size() <= kMaxFavouriteName && safe.size() >= std::min(name.size(), kMaxFavouriteName) &&
               safe.size() <= std::min(name.size() + 1, kMaxFavouriteName));
    FUZZ_CHECK(safe.find_first_of(u"\\/:*?\"<>|") == std::u16string::npos);
    for (char16_t c : safe) FUZZ_CHECK(c >= 0x20 && (c < 0x7F || c > 0x9F));
    FUZZ_CHECK(!IsDeviceName(safe) && !IsDeviceName(safe + u".url"));

    const std::u16string path = FavouritePath(folder, name);
    if (!path.empty()) {
        FUZZ_CHECK(path.size() <= kMaxFavouritePath && fuzz::StartsWith(path, folder));
        FUZZ_CHECK(fuzz::EndsWith(path, u"\\" + safe + u".url"));
    }
    const std::u16string text = FavouriteText(url);
    FUZZ_CHECK(text.empty() || (text.size() <= kMaxFavouriteText && text.find(url) != std::u16string::npos));
    // The address never adds a line (or a key) to the shortcut file, nor ends it early.
    if (!text.empty()) {
        FUZZ_CHECK(std::count(text.begin(), text.end(), u'\n') == 7 && std::count(text.begin(), text.end(), u'\r') == 7);
        FUZZ_CHECK(text.find(u'\0') == std::u16string::npos);
        for (char16_t c : url) FUZZ_CHECK(c >= 0x20 && (c < 0x7F || c > 0x9F));
    }

    return 0;
}
