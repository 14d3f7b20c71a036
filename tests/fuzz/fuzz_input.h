// Turning fuzz bytes into the texts the rules are given, and reporting a broken invariant.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "web/pagecommand.h"

namespace fuzz {

// A broken invariant: abort so that libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

// Little-endian UTF-16 units; an odd last byte is dropped (a record cut mid-unit).
inline std::u16string Units(const std::string& bytes) {
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return out;
}

// Where the real input is 8-bit (INI files, HTTP bodies, ANSI arguments) the bytes reach the
// rules after a conversion; the three ways are: as UTF-16 units, as UTF-8, as Latin-1.
inline std::u16string Text(const std::string& bytes, std::uint8_t how) {
    switch (how % 3) {
        case 0: return Units(bytes);
        case 1: return tamsolo::Utf8ToUtf16(bytes);
        default: return std::u16string(bytes.begin(), bytes.end());
    }
}

// A text of random length out of the provider, in one of the three readings.
inline std::u16string ConsumeText(FuzzedDataProvider& in, std::size_t maxBytes = 4096) {
    const std::uint8_t how = in.ConsumeIntegral<std::uint8_t>();
    return Text(in.ConsumeRandomLengthString(maxBytes), how);
}

inline bool StartsWith(const std::u16string& text, const std::u16string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

inline bool EndsWith(const std::u16string& text, const std::u16string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace fuzz
