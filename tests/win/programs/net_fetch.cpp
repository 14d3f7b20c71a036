// net_fetch URL FILE [md5]: fetches URL into FILE with the update download member of HttpGet
// and prints the bytes and milliseconds it took; with "md5", also the file's digest and the
// time to compute it. Used by tools/bench/bench_net.sh.
#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/handle_win.h"
#include "net/httpget_win.h"
#include "net/md5.h"

namespace {

double NowMs() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// The file's digest, read in 1024-byte pieces as the update check reads its executable.
std::string FileMd5Hex(const wchar_t* path) {
    fw::Handle file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    tamsolo::Md5 md5;
    char piece[1024];
    DWORD got = 0;
    while (::ReadFile(file.Get(), piece, sizeof piece, &got, nullptr) && got > 0) md5.Update(piece, got);
    return tamsolo::Md5Hex(md5.Finish());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: net_fetch URL FILE [md5]\n");
        return 2;
    }
    const double start = NowMs();
    const bool ok = net::HttpUpdateDownload(argv[1], argv[2], nullptr, nullptr);
    const double fetched = NowMs();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(argv[2], GetFileExInfoStandard, &data);
    std::printf("fetch ok=%d bytes=%lu ms=%.1f\n", ok ? 1 : 0, data.nFileSizeLow, fetched - start);
    if (argc > 3 && std::wstring(argv[3]) == L"md5") {
        const double t0 = NowMs();
        const std::string digest = FileMd5Hex(argv[2]);
        std::printf("md5 %s ms=%.1f\n", digest.c_str(), NowMs() - t0);
    }
    return ok ? 0 : 1;
}
