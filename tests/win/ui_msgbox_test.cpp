// The skinned message box: its answers, the keys that must not answer, and its size.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "ui/image_win.h"
#include "ui/msgbox_layout.h"
#include "ui/msgboxdlg_win.h"

using namespace tamsolo::ui;

namespace {

HBITMAP Skin(UINT id) { return LoadSkinImage(::GetModuleHandleW(nullptr), id); }

struct Posted {
    UINT msg;
    WPARAM w;
};

// A message box that feeds itself input once it is up, and records its size.
class CScriptedBox : public CMessageBox {
public:
    CScriptedBox(int style, const std::wstring& text, std::vector<Posted> script, bool withImages = true)
        : CMessageBox(nullptr, style, L"kelvra - Brennic", text, withImages ? Skin(131) : nullptr,
                      withImages ? Skin(132) : nullptr, withImages ? Skin(133) : nullptr,
                      withImages ? Skin(133) : nullptr),
          script_(std::move(script)) {}
    SIZE size{};
    SIZE firstButton{};
    bool secondButtonExists = false;

protected:
    BOOL OnInitDialog() override {
        const BOOL r = CMessageBox::OnInitDialog();
        RECT wr{};
        ::GetWindowRect(m_hWnd, &wr);
        size = SIZE{wr.right - wr.left, wr.bottom - wr.top};
        secondButtonExists = SecondButton().m_hWnd != nullptr;
        RECT br{};
        ::GetWindowRect(FirstButton().m_hWnd, &br);
        firstButton = SIZE{br.right - br.left, br.bottom - br.top};
        for (const Posted& p : script_) PostMessage(p.msg, p.w, 0);
        return r;
    }

private:
    std::vector<Posted> script_;
};

int RunBox(int style, std::vector<Posted> script, SIZE* size = nullptr, const std::wstring& text = L"确定?") {
    CScriptedBox box(style, text, std::move(script));
    const int result = static_cast<int>(box.DoModal());
    if (size) *size = box.size;
    return result;
}

}  // namespace

TEST(SkinnedMessageBox, ButtonsAndCloseGiveTheirResults) {
    EXPECT_EQ(RunBox(kMsgBoxYesNo, {{WM_COMMAND, kMsgBoxFirstButtonId}}), IDYES);
    EXPECT_EQ(RunBox(kMsgBoxYesNo, {{WM_COMMAND, kMsgBoxSecondButtonId}}), IDNO);
    EXPECT_EQ(RunBox(kMsgBoxOkCancel, {{WM_COMMAND, kMsgBoxSecondButtonId}}), IDCANCEL);
    // The close command gives Cancel even for yes/no.
    EXPECT_EQ(RunBox(kMsgBoxYesNo, {{WM_SYSCOMMAND, SC_CLOSE}}), IDCANCEL);
}

TEST(SkinnedMessageBox, EnterAndEscDoNothing) {
    const std::vector<Posted> keys = {{WM_KEYDOWN, VK_RETURN}, {WM_KEYDOWN, VK_ESCAPE}, {WM_COMMAND, IDOK},
                                      {WM_COMMAND, IDCANCEL}, {WM_COMMAND, kMsgBoxSecondButtonId}};
    EXPECT_EQ(RunBox(kMsgBoxYesNo, keys), IDNO);  // only the last, a real button, ended it
}

TEST(SkinnedMessageBox, SizeFollowsTextAndButtons) {
    SIZE one{}, two{};
    EXPECT_EQ(RunBox(kMsgBoxOk, {{WM_COMMAND, kMsgBoxFirstButtonId}}, &one, L"好"), IDOK);
    EXPECT_EQ(one.cx, 2 * 57 + 60);  // a narrow text: the two-button minimum
    EXPECT_EQ(RunBox(kMsgBoxOk, {{WM_COMMAND, kMsgBoxFirstButtonId}}, &two, L"好\n好"), IDOK);
    // The second line adds its height and 3 pixels.
    EXPECT_GT(two.cy, one.cy + 3);
    EXPECT_EQ(one.cy, 3 + (two.cy - 6 - 23 - 90) / 2 + 23 + 90);
}

TEST(SkinnedMessageBox, MissingImagesStillGiveAnAnswerableBox) {
    CScriptedBox box(kMsgBoxYesNo, L"确定?", {{WM_COMMAND, kMsgBoxFirstButtonId}}, false);
    EXPECT_EQ(box.DoModal(), IDYES);
    EXPECT_TRUE(box.secondButtonExists);
    EXPECT_EQ(box.firstButton.cx, 57);
    EXPECT_EQ(box.firstButton.cy, 23);
}
