// MD5 message digest (RFC 1321). The update compares versions by the digest of the
// executable file, so this is the published algorithm, written here without a library.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tamsolo {

class Md5 {
public:
    Md5();
    void Update(const void* data, std::size_t size);
    // Ends the message; the object must not be updated afterwards.
    std::array<std::uint8_t, 16> Finish();

private:
    std::uint32_t state_[4];
    std::uint64_t bitCount_ = 0;
    std::uint8_t buffer_[64];
    std::size_t buffered_ = 0;
};

// The 16 digest bytes each as "%02x": 32 lower-case hexadecimal digits.
std::string Md5Hex(const std::array<std::uint8_t, 16>& digest);
std::string Md5HexOf(const void* data, std::size_t size);

}  // namespace tamsolo
