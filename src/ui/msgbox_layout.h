// Layout and answers of the skinned message box: its size follows the text, the buttons sit
// centred above the bottom edge, and the lines are stacked from a fixed top.
#pragma once

#include "ui/geometry.h"

#include <string>
#include <vector>

namespace tamsolo::ui {

// Message box styles the launcher uses. Anything else behaves as a single OK button.
constexpr int kMsgBoxOk = 0;
constexpr int kMsgBoxOkCancel = 1;
constexpr int kMsgBoxYesNo = 4;

constexpr int kMsgBoxFirstButtonId = 5000;
constexpr int kMsgBoxSecondButtonId = 5001;
constexpr int kMsgBoxTextTop = 55;
constexpr int kMsgBoxLineGap = 3;

// Standard dialog results.
constexpr int kResultOk = 1;
constexpr int kResultCancel = 2;
constexpr int kResultYes = 6;
constexpr int kResultNo = 7;

int NormalizeMsgBoxStyle(int style);
bool MsgBoxHasTwoButtons(int style);

struct MsgBoxButton {
    int id = 0;
    std::u16string caption;
    int result = 0;
};
// The buttons of a style, first to last.
std::vector<MsgBoxButton> MsgBoxButtons(int style);
// The result of a button command; the close command (or any unknown id) gives Cancel.
int MsgBoxResultFor(int style, int commandId);

// 1 + the number of LF characters.
int MsgBoxLineCount(const std::u16string& text);

// Window size for a text block of textWidth x textHeight and a button of buttonSize.
Size MsgBoxWindowSize(int textWidth, int textHeight, int lineCount, Size buttonSize);

// Button rectangles in a client area of clientSize, first to last.
std::vector<Rect> MsgBoxButtonRects(int style, Size clientSize, Size buttonSize);

struct MsgBoxLine {
    std::u16string text;
    int left = 0;
    int top = 0;
};
// The lines as drawn: split at LF (a CR before the LF is dropped), the block centred
// horizontally, the first line at the fixed top and each next one a line height plus a gap lower.
std::vector<MsgBoxLine> MsgBoxLines(const std::u16string& text, int clientWidth, int textWidth,
                                    int textHeight);

}  // namespace tamsolo::ui
