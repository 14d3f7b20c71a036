// One element of a hosted page, as the page logic sees it: the host wraps the browser's own
// element behind this, tests use a fake. Portable.
#pragma once

#include <memory>
#include <string>

namespace tamsolo {

class PageElement {
public:
    virtual ~PageElement() = default;
    virtual std::u16string ClassName() const = 0;
    // Lower case ("body", "td", "div").
    virtual std::u16string TagName() const = 0;
    // The "disabled" attribute reads as the boolean true.
    virtual bool DisabledIsTrue() const = 0;
    virtual long OffsetLeft() const = 0;
    virtual long OffsetTop() const = 0;
    virtual long OffsetWidth() const = 0;
    virtual long OffsetHeight() const = 0;
    // False when the element has no style object (the change is skipped).
    virtual bool SetBackgroundPositionX(long x) = 0;
    virtual void Click() = 0;
};

using PageElementPtr = std::shared_ptr<PageElement>;

// Element event numbers the hosts dispatch.
constexpr long kDispMouseOver = static_cast<long>(0x80010008);
constexpr long kDispMouseOut = static_cast<long>(0x80010009);
constexpr long kDispMouseDown = -605;
constexpr long kDispMouseMove = -606;
constexpr long kDispMouseUp = -607;
constexpr long kDispContextMenu = 1023;

}  // namespace tamsolo
