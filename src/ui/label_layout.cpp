#include "ui/label_layout.h"

#include <algorithm>

namespace tamsolo::ui {

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::vector<std::u16string> BreakLabelLines(const std::u16string& text, int areaWidth,
                                            const MeasureText& measure) {
    std::vector<std::u16string> lines;
    std::u16string line;
    std::size_t lineChars = 0;  // characters on the line, a surrogate pair counting once
    for (std::size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c == u'\r') {
            ++i;
            continue;
        }
        if (c == u'\n') {
            lines.push_back(line);
            line.clear();
            lineChars = 0;
            ++i;
            continue;
        }
        // Keep a surrogate pair together: splitting it would draw two broken glyphs.
        std::size_t n = 1;
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) n = 2;
        const std::u16string ch = text.substr(i, n);
        line += ch;
        ++lineChars;
        if (lineChars > 1 && measure && measure(line) > areaWidth) {
            line.resize(line.size() - n);
            lines.push_back(line);
            line = ch;
            lineChars = 1;
        }
        i += n;
    }
    lines.push_back(line);
    return lines;
}

int LabelHeightFor(int lineCount, int lineHeight, int lineSpacing) {
    if (lineCount <= 0) return 0;
    return lineHeight + (lineCount - 1) * (lineHeight + lineSpacing);
}

int GrownLabelHeight(int currentHeight, int lineCount, int lineHeight, int lineSpacing) {
    return std::max(currentHeight, LabelHeightFor(lineCount, lineHeight, lineSpacing));
}

int LabelTextAreaLeft(int /*clientWidth*/, int imageWidth, bool imageOnRight) {
    return (imageWidth != 0 && !imageOnRight) ? imageWidth + 6 : 0;
}

int LabelTextAreaRight(int clientWidth, int imageWidth, bool imageOnRight) {
    return (imageWidth != 0 && imageOnRight) ? clientWidth - (imageWidth + 6) : clientWidth;
}

int LabelImageLeft(int clientWidth, int imageWidth, bool imageOnRight) {
    return imageOnRight ? clientWidth - imageWidth - 3 : 3;
}

}  // namespace tamsolo::ui
