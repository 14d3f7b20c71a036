// Line breaking of the skinned label: the text is laid out character by character against a
// measuring function so it wraps Chinese text (which has no spaces) as well as Latin text.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tamsolo::ui {

// Width in pixels of a piece of text in the label's font.
using MeasureText = std::function<int(const std::u16string&)>;

// Splits text into the lines the label draws. CR is ignored, LF ends a line, and a line is
// ended before the character that would make it wider than areaWidth. A character too wide
// for an empty line stands alone on its own line. A surrogate pair is one character.
// The last line is always included, even when empty, so "a\n" is two lines.
std::vector<std::u16string> BreakLabelLines(const std::u16string& text, int areaWidth,
                                            const MeasureText& measure);

// Height that lines of lineHeight with lineSpacing between them need.
int LabelHeightFor(int lineCount, int lineHeight, int lineSpacing);

// A label grows to fit its text but never shrinks.
int GrownLabelHeight(int currentHeight, int lineCount, int lineHeight, int lineSpacing);

// The text area of a label: the client width narrowed by the side image and its gaps.
int LabelTextAreaLeft(int clientWidth, int imageWidth, bool imageOnRight);
int LabelTextAreaRight(int clientWidth, int imageWidth, bool imageOnRight);
// Where the side image stands.
int LabelImageLeft(int clientWidth, int imageWidth, bool imageOnRight);

}  // namespace tamsolo::ui
