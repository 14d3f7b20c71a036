// The notice a browser host shows in place of a page that could not be opened: a headline,
// a line of detail and a retry button, drawn natively so that it appears even where the
// browser has nothing to render with.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/handle_win.h"
#include "framework/wnd_win.h"

namespace web {

class CPageNotice : public fw::CWnd {
public:
    // onRetry runs when the retry button is pressed.
    explicit CPageNotice(std::function<void()> onRetry) : onRetry_(std::move(onRetry)) {}

    // Creates the notice hidden, as a child of parent.
    bool Create(HWND parent);
    // Shows the texts over rect (client coordinates of the parent).
    void Show(const std::wstring& headline, const std::wstring& detail, const RECT& rect);
    void Hide();
    void Move(const RECT& rect);
    bool IsShown() const;

    static constexpr UINT kRetryId = 1001;

protected:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    void OnRetry();
    FW_DECLARE_MESSAGE_MAP()

private:
    void PlaceButton();

    std::function<void()> onRetry_;
    std::wstring headline_, detail_;
    HWND button_ = nullptr;  // a child of the notice, destroyed with it
    fw::Font headFont_, textFont_;
};

}  // namespace web
