#include "ui/msgbox_layout.h"

#include <algorithm>

namespace tamsolo::ui {

int NormalizeMsgBoxStyle(int style) {
    return (style == kMsgBoxOkCancel || style == kMsgBoxYesNo) ? style : kMsgBoxOk;
}

bool MsgBoxHasTwoButtons(int style) { return NormalizeMsgBoxStyle(style) != kMsgBoxOk; }

std::vector<MsgBoxButton> MsgBoxButtons(int style) {
    switch (NormalizeMsgBoxStyle(style)) {
        case kMsgBoxOkCancel:
            return {{kMsgBoxFirstButtonId, u"确定", kResultOk},
                    {kMsgBoxSecondButtonId, u"取消", kResultCancel}};
        case kMsgBoxYesNo:
            return {{kMsgBoxFirstButtonId, u"是", kResultYes},
                    {kMsgBoxSecondButtonId, u"否", kResultNo}};
        default:
            return {{kMsgBoxFirstButtonId, u"确定", kResultOk}};
    }
}

int MsgBoxResultFor(int style, int commandId) {
    for (const MsgBoxButton& b : MsgBoxButtons(style)) {
        if (b.id == commandId) return b.result;
    }
    return kResultCancel;
}

int MsgBoxLineCount(const std::u16string& text) {
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), u'\n'));
}

Size MsgBoxWindowSize(int textWidth, int textHeight, int lineCount, Size button) {
    // The 60 pixels are the text's margin as well as the buttons': a text only a little wider
    // than the two buttons must not run into the borders.
    const int width = std::max(textWidth + 60, 2 * button.cx + 60);
    const int height = 3 * lineCount + textHeight + button.cy + 90;
    return Size{width, height};
}

std::vector<Rect> MsgBoxButtonRects(int style, Size client, Size button) {
    const int bottom = client.cy - 30;
    const int top = bottom - button.cy;
    if (MsgBoxHasTwoButtons(style)) {
        const int mid = client.cx / 2;
        return {Rect{mid - 10 - button.cx, top, mid - 10, bottom},
                Rect{mid + 10, top, mid + 10 + button.cx, bottom}};
    }
    const int left = (client.cx - button.cx) / 2;
    return {Rect{left, top, left + button.cx, bottom}};
}

std::vector<MsgBoxLine> MsgBoxLines(const std::u16string& text, int clientWidth, int textWidth,
                                    int textHeight) {
    std::vector<MsgBoxLine> lines;
    const int count = MsgBoxLineCount(text);
    const int lineHeight = textHeight / count;
    const int left = (clientWidth - textWidth) / 2;
    std::size_t start = 0;
    for (int i = 0; i < count; ++i) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        std::u16string piece = text.substr(start, end - start);
        // Texts written with CR LF would otherwise draw the CR as a stray glyph.
        if (!piece.empty() && piece.back() == u'\r') piece.pop_back();
        lines.push_back(MsgBoxLine{piece, left, kMsgBoxTextTop + i * (lineHeight + kMsgBoxLineGap)});
        start = end + 1;
    }
    return lines;
}

}  // namespace tamsolo::ui
