// Line breaking of the skinned label and the message box's layout over any text: message texts
// carry server answers and page titles. The measure is a stand-in whose widths come from the input.
#include "fuzz_input.h"

#include <vector>

#include "ui/label_layout.h"
#include "ui/msgbox_layout.h"

using namespace tamsolo;
using namespace tamsolo::ui;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int areaWidth = in.ConsumeIntegralInRange(-10, 2000);
    std::uint8_t widths[16];
    for (auto& w : widths) w = in.ConsumeIntegral<std::uint8_t>();
    const int style = in.ConsumeIntegral<int>();
    const int textHeight = in.ConsumeIntegralInRange(0, 20000);
    const int clientWidth = in.ConsumeIntegralInRange(0, 20000);
    const Size button{in.ConsumeIntegralInRange(0, 500), in.ConsumeIntegralInRange(0, 500)};
    const std::u16string text = fuzz::ConsumeText(in, 1200);

    // A width per unit from the table, the sum for a text: like a font without kerning.
    const MeasureText measure = [&](const std::u16string& piece) {
        int w = 0;
        for (char16_t c : piece) w += widths[c % 16];
        return w;
    };
    const std::vector<std::u16string> lines = BreakLabelLines(text, areaWidth, measure);
    FUZZ_CHECK(!lines.empty());
    std::u16string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::u16string& line = lines[i];
        FUZZ_CHECK(line.find_first_of(u"\r\n") == std::u16string::npos);
        // A line wider than the area holds one character only (a pair counts as one).
        if (measure(line) > areaWidth) {
            FUZZ_CHECK(line.size() <= 1 || (line.size() == 2 && line[0] >= 0xD800 && line[0] <= 0xDBFF &&
                                            line[1] >= 0xDC00 && line[1] <= 0xDFFF));
        }
        // A line never starts with the second half of a pair it was cut from.
        const bool oneBlock = text.find_first_of(u"\r\n") == std::u16string::npos;
        if (oneBlock && i > 0 && !line.empty() && line[0] >= 0xDC00 && line[0] <= 0xDFFF && !lines[i - 1].empty()) {
            const char16_t before = lines[i - 1].back();
            FUZZ_CHECK(before < 0xD800 || before > 0xDBFF);
        }
        joined += line;
    }
    // Nothing but CR and LF is dropped.
    std::u16string kept;
    for (char16_t c : text) {
        if (c != u'\r' && c != u'\n') kept += c;
    }
    FUZZ_CHECK(joined == kept);
    const int lineHeight = in.ConsumeIntegralInRange(0, 200), spacing = in.ConsumeIntegralInRange(0, 50);
    const int height = LabelHeightFor(static_cast<int>(lines.size()), lineHeight, spacing);
    FUZZ_CHECK(height >= 0 && GrownLabelHeight(height + 1, static_cast<int>(lines.size()), lineHeight, spacing) == height + 1);

    // The message box: one drawn line per LF, stacked downwards, CRs of CR LF gone.
    const int count = MsgBoxLineCount(text);
    const std::vector<MsgBoxLine> boxLines = MsgBoxLines(text, clientWidth, measure(text), textHeight);
    FUZZ_CHECK(static_cast<int>(boxLines.size()) == count);
    std::u16string boxJoined, textNoCr;
    for (std::size_t i = 0; i < boxLines.size(); ++i) {
        FUZZ_CHECK(boxLines[i].text.find(u'\n') == std::u16string::npos);
        if (i > 0) FUZZ_CHECK(boxLines[i].top > boxLines[i - 1].top);
        boxJoined += (i > 0 ? u"\n" : u"") + boxLines[i].text;
    }
    // Apart from the CRs the lines are the text.
    for (char16_t c : text) {
        if (c != u'\r') textNoCr += c;
    }
    std::u16string boxNoCr;
    for (char16_t c : boxJoined) {
        if (c != u'\r') boxNoCr += c;
    }
    FUZZ_CHECK(boxNoCr == textNoCr);
    const Size window = MsgBoxWindowSize(measure(text), textHeight, count, button);
    FUZZ_CHECK(window.cx >= 2 * button.cx + 60 && window.cx >= measure(text) + 60 &&
               window.cy >= textHeight + button.cy + 90);
    const std::vector<Rect> rects = MsgBoxButtonRects(style, window, button);
    FUZZ_CHECK(rects.size() == MsgBoxButtons(style).size());
    for (const Rect& r : rects) {
        FUZZ_CHECK(r.left >= 0 && r.right <= window.cx && r.top >= 0 && r.bottom <= window.cy);
    }
    const int result = MsgBoxResultFor(style, in.ConsumeIntegral<int>());
    FUZZ_CHECK(result == kResultOk || result == kResultCancel || result == kResultYes || result == kResultNo);
    return 0;
}
