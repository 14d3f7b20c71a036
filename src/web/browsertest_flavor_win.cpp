// Compiled into each executable with that executable's definitions: only the test build gives
// its browser hosts a channel; the product's hosts have none.
#include "web/browsertest_win.h"

#ifdef TAMSOLO_TEST_BUILD

#include <deque>
#include <string>
#include <utility>

#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "web/browserchannel.h"
#include "web/browserhost_win.h"

namespace web {

namespace {

// Posted to itself: the command runs after the probe's send has been answered, so a page
// handler that opens a modal box cannot keep the probe waiting.
constexpr UINT kRunNext = WM_APP + 1;

const wchar_t* ClassName() {
    static const std::wstring name = fw::W(tamsolo::kBrowserChannelClass);
    return name.c_str();
}

class Channel : public BrowserTestChannel {
public:
    explicit Channel(CBrowserHost* host) : host_(host) {}
    ~Channel() override {
        if (wnd_) ::SetWindowLongPtrW(wnd_.Get(), GWLP_USERDATA, 0);
    }

    bool Create(HWND parent) {
        static const ATOM atom = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = &Channel::Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = ClassName();
            return ::RegisterClassExW(&wc);
        }();
        if (!atom) return false;
        wnd_.Reset(::CreateWindowExW(0, ClassName(), L"", WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
        if (!wnd_) return false;
        ::SetWindowLongPtrW(wnd_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        return true;
    }
    HWND Window() const override { return wnd_.Get(); }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<Channel*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (self && msg == WM_COPYDATA) return self->Receive(reinterpret_cast<const COPYDATASTRUCT*>(l));
        if (self && msg == kRunNext) {
            self->RunNext();
            return 0;
        }
        return ::DefWindowProcW(wnd, msg, w, l);
    }

    LRESULT Receive(const COPYDATASTRUCT* data) {
        if (!data || !tamsolo::IsChannelCommand(static_cast<unsigned long>(data->dwData))) return 0;
        std::u16string text;
        if (!tamsolo::ReadChannelText(data->lpData, data->cbData, &text)) return 0;
        pending_.emplace_back(static_cast<tamsolo::ChannelCommand>(data->dwData), fw::W(text));
        ::PostMessageW(wnd_.Get(), kRunNext, 0, 0);
        return 1;
    }

    void RunNext() {
        if (pending_.empty()) return;
        auto command = std::move(pending_.front());
        pending_.pop_front();
        switch (command.first) {
            case tamsolo::ChannelCommand::kNavigate:
                host_->Navigate(command.second);
                break;
            case tamsolo::ChannelCommand::kNavigateComplete:
                host_->RaiseNavigateComplete(command.second);
                break;
            case tamsolo::ChannelCommand::kTitleChange:
                host_->RaiseTitleChange(command.second);
                break;
        }
        // Running the command may have destroyed the host and this channel with it: touch nothing.
    }

    CBrowserHost* host_;
    fw::Window wnd_;
    std::deque<std::pair<tamsolo::ChannelCommand, std::wstring>> pending_;
};

}  // namespace

std::unique_ptr<BrowserTestChannel> CreateBrowserTestChannel(HWND parent, CBrowserHost* host) {
    auto channel = std::make_unique<Channel>(host);
    if (!channel->Create(parent)) return nullptr;
    return channel;
}

}  // namespace web

#else

namespace web {

std::unique_ptr<BrowserTestChannel> CreateBrowserTestChannel(HWND, CBrowserHost*) { return nullptr; }

}  // namespace web

#endif
