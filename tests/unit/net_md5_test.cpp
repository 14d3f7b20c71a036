#include "net/md5.h"
#include "net/updaterules.h"

#include <gtest/gtest.h>

#include <string>

using namespace tamsolo;

namespace {
std::string HexOf(const std::string& s) { return Md5HexOf(s.data(), s.size()); }
}  // namespace

TEST(Md5, Rfc1321TestSuite) {
    EXPECT_EQ(HexOf(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(HexOf("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(HexOf("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(HexOf("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(HexOf("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(HexOf("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(HexOf("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, PiecesOfAnySizeGiveTheSameDigest) {
    std::string data;
    for (int i = 0; i < 5000; ++i) data.push_back(static_cast<char>(i * 31 + 7));
    const std::string whole = HexOf(data);
    for (std::size_t piece : {1u, 55u, 56u, 63u, 64u, 65u, 1024u}) {
        Md5 md5;
        for (std::size_t at = 0; at < data.size(); at += piece) {
            md5.Update(data.data() + at, std::min(piece, data.size() - at));
        }
        EXPECT_EQ(Md5Hex(md5.Finish()), whole) << "piece " << piece;
    }
    // Lengths around the padding boundary (one block or two for the length field).
    EXPECT_EQ(HexOf(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
    EXPECT_EQ(HexOf(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
}

TEST(VersionKey, DigestPrefixAndDotlessVersion) {
    const std::string digest = "900150983cd24fb0d6963f7d28e17f72";
    EXPECT_EQ(DotlessVersion(u"3.0.0.1"), u"3001");
    EXPECT_EQ(VersionKey(digest, u"3.0.0.1"), u"900150983cd24fb0d6963f7d28e13001");
    EXPECT_EQ(VersionKey(digest, u"3.0.0.1").size(), 32u);
    EXPECT_EQ(VersionKey(digest, u"10.2.33.4"), u"900150983cd24fb0d6963f7d28102334");
}

TEST(VersionKey, ComparisonIgnoresCaseAndAnyDifferenceCounts) {
    const std::u16string own = u"900150983cd24fb0d6963f7d28e13001";
    EXPECT_FALSE(KeysDiffer(u"900150983CD24FB0D6963F7D28E13001", own));
    EXPECT_TRUE(KeysDiffer(u"900150983cd24fb0d6963f7d28e13000", own));
    EXPECT_TRUE(KeysDiffer(u"900150983cd24fb0d6963f7d28e1300", own));
    EXPECT_TRUE(KeysDiffer(u"900150983cd24fb0d6963f7d28e130011", own));
    EXPECT_TRUE(KeysDiffer(u"", own));
}

TEST(VersionKey, DownloadMustMatchThePublishedDigest) {
    const std::string digest = "900150983cd24fb0d6963f7d28e17f72";
    EXPECT_TRUE(DownloadMatchesKey(VersionKey(digest, u"3.0.0.2"), digest));
    EXPECT_TRUE(DownloadMatchesKey(u"900150983CD24FB0D6963F7D28E13002", digest));
    // A longer version text leaves fewer digest digits in the key.
    EXPECT_TRUE(DownloadMatchesKey(VersionKey(digest, u"3.10.200.1"), digest));
    // A different file, a wrong digit, or no version digits after the digest.
    EXPECT_FALSE(DownloadMatchesKey(VersionKey("d41d8cd98f00b204e9800998ecf8427e", u"3.0.0.2"), digest));
    EXPECT_FALSE(DownloadMatchesKey(u"900150983cd24fb1d6963f7d28e13002", digest));
    EXPECT_FALSE(DownloadMatchesKey(u"900150983cd24fb0d6963f7d28eXYZW", digest));
    EXPECT_FALSE(DownloadMatchesKey(u"9001", digest));
    EXPECT_FALSE(DownloadMatchesKey(u"", digest));
}
