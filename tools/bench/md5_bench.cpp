// md5_bench FILE: the launcher's own MD5 over a file, read in 1024-byte pieces as the update
// check reads its executable; prints the digest and the seconds it took.
#include <chrono>
#include <cstdio>

#include "net/md5.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::FILE* f = std::fopen(argv[1], "rb");
    if (!f) return 1;
    const auto start = std::chrono::steady_clock::now();
    tamsolo::Md5 md5;
    char piece[1024];
    std::size_t got;
    while ((got = std::fread(piece, 1, sizeof piece, f)) > 0) md5.Update(piece, got);
    const std::string hex = tamsolo::Md5Hex(md5.Finish());
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fclose(f);
    std::printf("%s %.3f\n", hex.c_str(), s);
    return 0;
}
