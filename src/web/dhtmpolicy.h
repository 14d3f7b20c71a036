// What makes a hosted page behave like a piece of the launcher's skin, on the portable
// element interface: the page-command filter, image buttons that light up and press like
// native ones, and dragging the window by the page's background. The window side is reached
// through PageHostWindow, so all of it is tested against fakes.
#pragma once

#include <cstdint>
#include <string>

#include "web/pageelement.h"

namespace tamsolo {

struct ScreenPoint {
    long x = 0;
    long y = 0;
};

// The non-client mouse messages that drive the system's window-move loop.
enum class CaptionMouse { kDown, kUp, kMove };

// What the page policy needs of the window that shows the page.
class PageHostWindow {
public:
    virtual ~PageHostWindow() = default;
    virtual bool HasCapture() const = 0;
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
    virtual ScreenPoint CursorPos() const = 0;
    // Sends the window WM_NCLBUTTONDOWN / WM_NCLBUTTONUP / WM_NCMOUSEMOVE with HTCAPTION and
    // the point packed by PackPoint.
    virtual void SendCaptionMouse(CaptionMouse kind, std::uint32_t packedPoint) = 0;
};

// x in the low and y in the high 16 bits, each cut to 16 bits (as MAKELPARAM does).
std::uint32_t PackPoint(ScreenPoint p);

// Page commands ("app:...") never reach the network; script addresses always run.
enum class NavigationVerdict { kCancel, kAllow, kUnchanged };
NavigationVerdict FilterNavigation(const std::u16string& url);
// Applies the verdict to a before-navigate cancel flag.
void ApplyNavigationFilter(const std::u16string& url, bool* cancel);

// Image buttons: elements whose background is a strip of three states, each as wide as the
// element (normal at 0, hover at -width, pressed at -2 * width).
class ImageButtonPolicy {
public:
    explicit ImageButtonPolicy(PageHostWindow& window) : window_(window) {}
    ~ImageButtonPolicy() = default;
    ImageButtonPolicy(const ImageButtonPolicy&) = delete;
    ImageButtonPolicy& operator=(const ImageButtonPolicy&) = delete;

    // Element events (mouse out, over, down, up reaching the element).
    void Normal(const PageElementPtr& button);
    void Hover(const PageElementPtr& button);
    void Press(const PageElementPtr& button);
    void ReleaseInPlace(const PageElementPtr& button);

    // A left or right button release reaching the window itself at a point of its client
    // area: the end of a press, wherever it happens. True when it was consumed (a press was
    // under way, the window held the capture).
    bool ButtonUpInWindow(long x, long y);
    // The window lost the capture to another window while a press was under way: the press
    // ends without a click and the button goes back to normal.
    void CaptureLost();
    // Lets go of a held button without touching it (the page is going away).
    void Forget() { captured_.reset(); }

    bool Pressing() const { return captured_ != nullptr; }
    const PageElementPtr& Captured() const { return captured_; }

private:
    PageHostWindow& window_;
    PageElementPtr captured_;
    bool capturing_ = false;  // inside our own capture call
};

// Dragging the window by the page's background (body, td, div).
class PageDragPolicy {
public:
    explicit PageDragPolicy(PageHostWindow& window) : window_(window) {}
    void Begin() { Send(CaptionMouse::kDown); }
    void End() { Send(CaptionMouse::kUp); }
    void Move() { Send(CaptionMouse::kMove); }

private:
    void Send(CaptionMouse kind);
    PageHostWindow& window_;
};

}  // namespace tamsolo
