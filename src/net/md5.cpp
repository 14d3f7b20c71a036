#include "net/md5.h"

#include <cstring>

namespace tamsolo {

namespace {

inline std::uint32_t Rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// One 32-bit word of the block, least significant byte first: a plain load on little-endian
// machines, small enough to be inlined also where the compiler optimises for size.
inline std::uint32_t Word(const std::uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
#else
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
#endif
}

// The four auxiliary functions, F and G written with one operation fewer than in their
// textbook form (same results).
inline std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return z ^ (x & (y ^ z)); }
inline std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (z & (x ^ y)); }
inline std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ y ^ z; }
inline std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (x | ~z); }

// One step: a = b + ((a + f(b, c, d) + word + constant) <<< shift). A macro rather than a
// function so that every step is laid out with its constants even where the compiler
// optimises for size.
#define TAMSOLO_MD5_STEP(f, a, b, c, d, word, constant, shift) \
    a += f(b, c, d) + (word) + (constant);                      \
    a = Rotl(a, shift) + b

// The 64 steps over consecutive 64-byte blocks, in place on `state`.
void Blocks(std::uint32_t state[4], const std::uint8_t* p, std::size_t blocks) {
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks > 0; --blocks, p += 64) {
        const std::uint32_t a0 = a, b0 = b, c0 = c, d0 = d;

        TAMSOLO_MD5_STEP(F, a, b, c, d, Word(p + 0), 0xd76aa478, 7);
        TAMSOLO_MD5_STEP(F, d, a, b, c, Word(p + 4), 0xe8c7b756, 12);
        TAMSOLO_MD5_STEP(F, c, d, a, b, Word(p + 8), 0x242070db, 17);
        TAMSOLO_MD5_STEP(F, b, c, d, a, Word(p + 12), 0xc1bdceee, 22);
        TAMSOLO_MD5_STEP(F, a, b, c, d, Word(p + 16), 0xf57c0faf, 7);
        TAMSOLO_MD5_STEP(F, d, a, b, c, Word(p + 20), 0x4787c62a, 12);
        TAMSOLO_MD5_STEP(F, c, d, a, b, Word(p + 24), 0xa8304613, 17);
        TAMSOLO_MD5_STEP(F, b, c, d, a, Word(p + 28), 0xfd469501, 22);
        TAMSOLO_MD5_STEP(F, a, b, c, d, Word(p + 32), 0x698098d8, 7);
        TAMSOLO_MD5_STEP(F, d, a, b, c, Word(p + 36), 0x8b44f7af, 12);
        TAMSOLO_MD5_STEP(F, c, d, a, b, Word(p + 40), 0xffff5bb1, 17);
        TAMSOLO_MD5_STEP(F, b, c, d, a, Word(p + 44), 0x895cd7be, 22);
        TAMSOLO_MD5_STEP(F, a, b, c, d, Word(p + 48), 0x6b901122, 7);
        TAMSOLO_MD5_STEP(F, d, a, b, c, Word(p + 52), 0xfd987193, 12);
        TAMSOLO_MD5_STEP(F, c, d, a, b, Word(p + 56), 0xa679438e, 17);
        TAMSOLO_MD5_STEP(F, b, c, d, a, Word(p + 60), 0x49b40821, 22);

        TAMSOLO_MD5_STEP(G, a, b, c, d, Word(p + 4), 0xf61e2562, 5);
        TAMSOLO_MD5_STEP(G, d, a, b, c, Word(p + 24), 0xc040b340, 9);
        TAMSOLO_MD5_STEP(G, c, d, a, b, Word(p + 44), 0x265e5a51, 14);
        TAMSOLO_MD5_STEP(G, b, c, d, a, Word(p + 0), 0xe9b6c7aa, 20);
        TAMSOLO_MD5_STEP(G, a, b, c, d, Word(p + 20), 0xd62f105d, 5);
        TAMSOLO_MD5_STEP(G, d, a, b, c, Word(p + 40), 0x02441453, 9);
        TAMSOLO_MD5_STEP(G, c, d, a, b, Word(p + 60), 0xd8a1e681, 14);
        TAMSOLO_MD5_STEP(G, b, c, d, a, Word(p + 16), 0xe7d3fbc8, 20);
        TAMSOLO_MD5_STEP(G, a, b, c, d, Word(p + 36), 0x21e1cde6, 5);
        TAMSOLO_MD5_STEP(G, d, a, b, c, Word(p + 56), 0xc33707d6, 9);
        TAMSOLO_MD5_STEP(G, c, d, a, b, Word(p + 12), 0xf4d50d87, 14);
        TAMSOLO_MD5_STEP(G, b, c, d, a, Word(p + 32), 0x455a14ed, 20);
        TAMSOLO_MD5_STEP(G, a, b, c, d, Word(p + 52), 0xa9e3e905, 5);
        TAMSOLO_MD5_STEP(G, d, a, b, c, Word(p + 8), 0xfcefa3f8, 9);
        TAMSOLO_MD5_STEP(G, c, d, a, b, Word(p + 28), 0x676f02d9, 14);
        TAMSOLO_MD5_STEP(G, b, c, d, a, Word(p + 48), 0x8d2a4c8a, 20);

        TAMSOLO_MD5_STEP(H, a, b, c, d, Word(p + 20), 0xfffa3942, 4);
        TAMSOLO_MD5_STEP(H, d, a, b, c, Word(p + 32), 0x8771f681, 11);
        TAMSOLO_MD5_STEP(H, c, d, a, b, Word(p + 44), 0x6d9d6122, 16);
        TAMSOLO_MD5_STEP(H, b, c, d, a, Word(p + 56), 0xfde5380c, 23);
        TAMSOLO_MD5_STEP(H, a, b, c, d, Word(p + 4), 0xa4beea44, 4);
        TAMSOLO_MD5_STEP(H, d, a, b, c, Word(p + 16), 0x4bdecfa9, 11);
        TAMSOLO_MD5_STEP(H, c, d, a, b, Word(p + 28), 0xf6bb4b60, 16);
        TAMSOLO_MD5_STEP(H, b, c, d, a, Word(p + 40), 0xbebfbc70, 23);
        TAMSOLO_MD5_STEP(H, a, b, c, d, Word(p + 52), 0x289b7ec6, 4);
        TAMSOLO_MD5_STEP(H, d, a, b, c, Word(p + 0), 0xeaa127fa, 11);
        TAMSOLO_MD5_STEP(H, c, d, a, b, Word(p + 12), 0xd4ef3085, 16);
        TAMSOLO_MD5_STEP(H, b, c, d, a, Word(p + 24), 0x04881d05, 23);
        TAMSOLO_MD5_STEP(H, a, b, c, d, Word(p + 36), 0xd9d4d039, 4);
        TAMSOLO_MD5_STEP(H, d, a, b, c, Word(p + 48), 0xe6db99e5, 11);
        TAMSOLO_MD5_STEP(H, c, d, a, b, Word(p + 60), 0x1fa27cf8, 16);
        TAMSOLO_MD5_STEP(H, b, c, d, a, Word(p + 8), 0xc4ac5665, 23);

        TAMSOLO_MD5_STEP(I, a, b, c, d, Word(p + 0), 0xf4292244, 6);
        TAMSOLO_MD5_STEP(I, d, a, b, c, Word(p + 28), 0x432aff97, 10);
        TAMSOLO_MD5_STEP(I, c, d, a, b, Word(p + 56), 0xab9423a7, 15);
        TAMSOLO_MD5_STEP(I, b, c, d, a, Word(p + 20), 0xfc93a039, 21);
        TAMSOLO_MD5_STEP(I, a, b, c, d, Word(p + 48), 0x655b59c3, 6);
        TAMSOLO_MD5_STEP(I, d, a, b, c, Word(p + 12), 0x8f0ccc92, 10);
        TAMSOLO_MD5_STEP(I, c, d, a, b, Word(p + 40), 0xffeff47d, 15);
        TAMSOLO_MD5_STEP(I, b, c, d, a, Word(p + 4), 0x85845dd1, 21);
        TAMSOLO_MD5_STEP(I, a, b, c, d, Word(p + 32), 0x6fa87e4f, 6);
        TAMSOLO_MD5_STEP(I, d, a, b, c, Word(p + 60), 0xfe2ce6e0, 10);
        TAMSOLO_MD5_STEP(I, c, d, a, b, Word(p + 24), 0xa3014314, 15);
        TAMSOLO_MD5_STEP(I, b, c, d, a, Word(p + 52), 0x4e0811a1, 21);
        TAMSOLO_MD5_STEP(I, a, b, c, d, Word(p + 16), 0xf7537e82, 6);
        TAMSOLO_MD5_STEP(I, d, a, b, c, Word(p + 44), 0xbd3af235, 10);
        TAMSOLO_MD5_STEP(I, c, d, a, b, Word(p + 8), 0x2ad7d2bb, 15);
        TAMSOLO_MD5_STEP(I, b, c, d, a, Word(p + 36), 0xeb86d391, 21);

        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

#undef TAMSOLO_MD5_STEP

}  // namespace

Md5::Md5() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476}, buffer_{} {}

void Md5::Update(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    bitCount_ += static_cast<std::uint64_t>(size) * 8;
    if (buffered_ > 0) {
        const std::size_t take = size < 64 - buffered_ ? size : 64 - buffered_;
        std::memcpy(buffer_ + buffered_, p, take);
        buffered_ += take;
        p += take;
        size -= take;
        if (buffered_ < 64) return;
        Blocks(state_, buffer_, 1);
        buffered_ = 0;
    }
    // Whole blocks straight from the caller's memory.
    Blocks(state_, p, size / 64);
    p += size / 64 * 64;
    size %= 64;
    if (size > 0) {
        std::memcpy(buffer_, p, size);
        buffered_ = size;
    }
}

std::array<std::uint8_t, 16> Md5::Finish() {
    const std::uint64_t bits = bitCount_;
    std::uint8_t pad[128] = {0x80};
    const std::size_t padLen = buffered_ < 56 ? 56 - buffered_ : 120 - buffered_;
    Update(pad, padLen);
    std::uint8_t length[8];
    for (int i = 0; i < 8; ++i) length[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    Update(length, 8);
    std::array<std::uint8_t, 16> digest{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) digest[i * 4 + j] = static_cast<std::uint8_t>(state_[i] >> (8 * j));
    }
    return digest;
}

std::string Md5Hex(const std::array<std::uint8_t, 16>& digest) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(32);
    for (std::uint8_t byte : digest) {
        text.push_back(kHex[byte >> 4]);
        text.push_back(kHex[byte & 15]);
    }
    return text;
}

std::string Md5HexOf(const void* data, std::size_t size) {
    Md5 md5;
    md5.Update(data, size);
    return Md5Hex(md5.Finish());
}

}  // namespace tamsolo
