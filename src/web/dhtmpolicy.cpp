#include "web/dhtmpolicy.h"

namespace tamsolo {

std::uint32_t PackPoint(ScreenPoint p) {
    const auto low = static_cast<std::uint32_t>(static_cast<std::uint16_t>(p.x));
    const auto high = static_cast<std::uint32_t>(static_cast<std::uint16_t>(p.y));
    return low | (high << 16);
}

NavigationVerdict FilterNavigation(const std::u16string& url) {
    if (url.compare(0, 4, u"app:") == 0 && url.size() >= 4) return NavigationVerdict::kCancel;
    // Compared on the first ten characters exactly as written: "JavaScript:" is left alone.
    if (url.size() >= 10 && url.compare(0, 10, u"javascript") == 0) return NavigationVerdict::kAllow;
    return NavigationVerdict::kUnchanged;
}

void ApplyNavigationFilter(const std::u16string& url, bool* cancel) {
    if (!cancel) return;
    switch (FilterNavigation(url)) {
        case NavigationVerdict::kCancel: *cancel = true; break;
        case NavigationVerdict::kAllow: *cancel = false; break;
        case NavigationVerdict::kUnchanged: break;
    }
}

void ImageButtonPolicy::Normal(const PageElementPtr& button) {
    if (!button || window_.HasCapture()) return;
    button->SetBackgroundPositionX(0);
}

void ImageButtonPolicy::Hover(const PageElementPtr& button) {
    if (!button || window_.HasCapture() || button->DisabledIsTrue()) return;
    button->SetBackgroundPositionX(-button->OffsetWidth());
}

void ImageButtonPolicy::Press(const PageElementPtr& button) {
    if (!button || button->DisabledIsTrue()) return;
    captured_ = button;  // lets go of an earlier one
    capturing_ = true;
    window_.CaptureMouse();
    capturing_ = false;
    button->SetBackgroundPositionX(-2 * button->OffsetWidth());
}

void ImageButtonPolicy::ReleaseInPlace(const PageElementPtr& button) {
    if (!button) return;
    Hover(button);
    button->Click();
}

bool ImageButtonPolicy::ButtonUpInWindow(long x, long y) {
    if (!window_.HasCapture()) return false;
    // Taken out first: releasing the capture tells us it was lost, and that must find no press.
    PageElementPtr button = std::move(captured_);
    captured_.reset();
    window_.ReleaseMouse();
    if (button) {
        const long left = button->OffsetLeft();
        const long top = button->OffsetTop();
        const long right = left + button->OffsetWidth();
        const long bottom = top + button->OffsetHeight();
        if (x >= left && x < right && y >= top && y < bottom) {
            Hover(button);
            button->Click();
        } else {
            Normal(button);
        }
    }
    return true;
}

void ImageButtonPolicy::CaptureLost() {
    if (capturing_ || !captured_) return;
    PageElementPtr button = std::move(captured_);
    captured_.reset();
    button->SetBackgroundPositionX(0);
}

void PageDragPolicy::Send(CaptionMouse kind) { window_.SendCaptionMouse(kind, PackPoint(window_.CursorPos())); }

}  // namespace tamsolo
