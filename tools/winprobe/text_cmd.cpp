// findtext: whether lines of text are drawn in a window, read from its pixels. A window that
// paints its own text (the skinned message box) has no control to ask; the probe draws each
// line itself in the window's font and looks for the same ink in the window's picture, with
// nothing else drawn right beside it (a line is found whole, not inside a longer one).
#include <cstdlib>

#include "framework/handle_win.h"
#include "probe.h"

namespace probe {
namespace {

// A top-down 32-bit picture with a DC to draw into.
struct Picture {
    fw::MemoryDc dc;
    fw::Bitmap bitmap;
    HGDIOBJ old = nullptr;
    const DWORD* pixels = nullptr;
    int width = 0, height = 0;

    Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture() {
        if (old) ::SelectObject(dc.Get(), old);
    }

    bool Make(int w, int h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc.Reset(::CreateCompatibleDC(nullptr));
        bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!dc || !bitmap || !bits) return false;
        old = ::SelectObject(dc.Get(), bitmap.Get());
        pixels = static_cast<const DWORD*>(bits);
        width = w;
        height = h;
        return true;
    }

    // Dark enough to be the ink of black text (light skins and anti-aliased edges are not).
    std::vector<bool> Ink() const {
        ::GdiFlush();
        std::vector<bool> ink(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < ink.size(); ++i) {
            DWORD p = pixels[i];
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            ink[i] = (r * 299 + g * 587 + b * 114) / 1000 < 110;
        }
        return ink;
    }
};

struct Found {
    bool found = false;
    int x = -1, y = -1;
    double score = 1.0;  // differing pixels per ink pixel of the line at the best place
};

Found Search(const std::vector<bool>& shot, int sw, int sh, const std::vector<bool>& line, int lw, int lh) {
    Found best;
    long long ink = 0;
    for (bool b : line) ink += b;
    if (ink == 0 || lw > sw || lh > sh) return best;
    long long bestDiff = ink + 1;
    for (int y = 0; y + lh <= sh; ++y) {
        for (int x = 0; x + lw <= sw; ++x) {
            long long diff = 0;
            for (int ty = 0; ty < lh && diff < bestDiff; ++ty) {
                const size_t row = static_cast<size_t>(y + ty) * sw + x;
                const size_t trow = static_cast<size_t>(ty) * lw;
                for (int tx = 0; tx < lw; ++tx) diff += shot[row + tx] != line[trow + tx];
            }
            if (diff < bestDiff) {
                bestDiff = diff;
                best.x = x;
                best.y = y;
            }
        }
    }
    best.score = static_cast<double>(bestDiff) / static_cast<double>(ink);
    // The whole line, not a part of a longer one: no ink within a line height on either side.
    bool alone = true;
    for (int ty = best.y; ty < best.y + lh && alone; ++ty) {
        for (int tx = best.x - lh; tx < best.x + lw + lh && alone; ++tx) {
            if (tx >= 0 && tx < sw && (tx < best.x || tx >= best.x + lw)) alone = !shot[static_cast<size_t>(ty) * sw + tx];
        }
    }
    // The same font draws the same ink: a hundredth is room for edge pixels, not for a glyph.
    best.found = alone && best.score <= 0.01;
    return best;
}

}  // namespace

// findtext HWND LINE... [--face F] [--points N] [--weight W] [--timeout MS]
// The font defaults to the dialogs' "MS Shell Dlg" 8 pt. Tries again until every line is
// found or the time is up, since a window may still be painting.
int CmdFindText(const Args& args) {
    const auto& p = args.Positional();
    HWND wnd = nullptr;
    if (p.size() < 2 || !ParseWindow(p[0], &wnd))
        return Fail(kUsage, L"usage: findtext HWND LINE... [--face F] [--points N] [--weight W] [--timeout MS]");
    long long points = 8, weight = FW_NORMAL, timeout = 5000;
    if ((args.Has(L"points") && !ParseNumber(args.Get(L"points"), &points)) ||
        (args.Has(L"weight") && !ParseNumber(args.Get(L"weight"), &weight)) ||
        (args.Has(L"timeout") && !ParseNumber(args.Get(L"timeout"), &timeout)))
        return Fail(kUsage, L"bad number");
    // As the dialog manager makes a dialog's font from its template.
    fw::WindowDc screen(nullptr);
    const int height = -::MulDiv(static_cast<int>(points), ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
    fw::Font font(::CreateFontW(height, 0, 0, 0, static_cast<int>(weight), FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                PROOF_QUALITY, FF_DONTCARE, args.Get(L"face", L"MS Shell Dlg").c_str()));
    if (!font) return Fail(kFailed, L"cannot create the font");

    struct Line {
        std::wstring text;
        std::vector<bool> ink;
        int width = 0, height = 0;
        Found found;
    };
    std::vector<Line> lines;
    for (size_t i = 1; i < p.size(); ++i) {
        Line line;
        line.text = p[i];
        Picture measure;
        if (!measure.Make(1, 1)) return Fail(kFailed, L"cannot create a bitmap");
        fw::Selection selectFont(measure.dc.Get(), font.Get());
        RECT box{0, 0, 0, 0};
        ::DrawTextW(measure.dc.Get(), line.text.c_str(), -1, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        Picture drawn;
        if (box.right <= 0 || box.bottom <= 0 || !drawn.Make(box.right, box.bottom))
            return Fail(kFailed, L"cannot draw " + line.text);
        fw::Selection selectFont2(drawn.dc.Get(), font.Get());
        ::PatBlt(drawn.dc.Get(), 0, 0, box.right, box.bottom, WHITENESS);
        ::SetBkMode(drawn.dc.Get(), TRANSPARENT);
        ::SetTextColor(drawn.dc.Get(), RGB(0, 0, 0));
        ::DrawTextW(drawn.dc.Get(), line.text.c_str(), -1, &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        line.ink = drawn.Ink();
        line.width = box.right;
        line.height = box.bottom;
        lines.push_back(std::move(line));
    }

    const DWORD start = ::GetTickCount();
    for (;;) {
        if (!::IsWindow(wnd)) return Fail(kFailed, L"no such window");
        RECT r{};
        ::GetWindowRect(wnd, &r);
        Picture shot;
        if (r.right <= r.left || r.bottom <= r.top || !shot.Make(r.right - r.left, r.bottom - r.top))
            return Fail(kFailed, L"the window has no area");
        ::BitBlt(shot.dc.Get(), 0, 0, shot.width, shot.height, screen.Get(), r.left, r.top, SRCCOPY | CAPTUREBLT);
        const std::vector<bool> ink = shot.Ink();
        bool all = true;
        for (Line& line : lines) {
            line.found = Search(ink, shot.width, shot.height, line.ink, line.width, line.height);
            all = all && line.found.found;
        }
        if (all || ::GetTickCount() - start >= static_cast<DWORD>(timeout)) break;
        ::Sleep(200);
    }
    for (const Line& line : lines) {
        Json()
            .Str("text", line.text)
            .Bool("found", line.found.found)
            .Num("x", line.found.x)
            .Num("y", line.found.y)
            .Num("width", line.width)
            .Num("height", line.height)
            .Num("permille", static_cast<long long>(line.found.score * 1000 + 0.5))
            .Print();
    }
    return kOk;
}

}  // namespace probe
