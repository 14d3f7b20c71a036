// The test build's channel of a browser host (see browserchannel.h). The product build's
// flavour of CreateBrowserTestChannel makes nothing.
#pragma once

#include <windows.h>

#include <memory>

namespace web {

class CBrowserHost;

class BrowserTestChannel {
public:
    virtual ~BrowserTestChannel() = default;
    virtual HWND Window() const = 0;
};

// A hidden child of parent, of class "TamsoloBrowserTest", that carries the probe's commands
// to host; null in the product build or when the window could not be made.
std::unique_ptr<BrowserTestChannel> CreateBrowserTestChannel(HWND parent, CBrowserHost* host);

}  // namespace web
