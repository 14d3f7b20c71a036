#include "web/htmlelement_win.h"

#include <algorithm>
#include <cwctype>
#include <memory>

#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "web/comvalue_win.h"

namespace web {

namespace {

// One element of the page behind the portable interface.
class HtmlElement : public tamsolo::PageElement {
public:
    explicit HtmlElement(IHTMLElement* element) {
        element->AddRef();
        *element_.Put() = element;
    }

    std::u16string ClassName() const override {
        com::Bstr s;
        if (FAILED(element_->get_className(s.Put()))) return u"";
        return fw::U(s.Text());
    }
    std::u16string TagName() const override {
        com::Bstr s;
        if (FAILED(element_->get_tagName(s.Put()))) return u"";
        std::wstring tag = s.Text();
        std::transform(tag.begin(), tag.end(), tag.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
        return fw::U(tag);
    }
    bool DisabledIsTrue() const override {
        com::Bstr name(L"disabled");
        if (!name.Get()) return false;
        com::Variant value;
        if (FAILED(element_->getAttribute(name.Get(), 0, value.Get()))) return false;
        return V_VT(value.Get()) == VT_BOOL && V_BOOL(value.Get()) == VARIANT_TRUE;
    }
    long OffsetLeft() const override {
        long v = 0;
        return SUCCEEDED(element_->get_offsetLeft(&v)) ? v : 0;
    }
    long OffsetTop() const override {
        long v = 0;
        return SUCCEEDED(element_->get_offsetTop(&v)) ? v : 0;
    }
    long OffsetWidth() const override {
        long v = 0;
        return SUCCEEDED(element_->get_offsetWidth(&v)) ? v : 0;
    }
    long OffsetHeight() const override {
        long v = 0;
        return SUCCEEDED(element_->get_offsetHeight(&v)) ? v : 0;
    }
    bool SetBackgroundPositionX(long x) override {
        fw::ComPtr<IHTMLStyle> style;
        if (FAILED(element_->get_style(style.Put())) || !style) return false;
        VARIANT v;
        ::VariantInit(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = x;
        return SUCCEEDED(style->put_backgroundPositionX(v));
    }
    void Click() override { element_->click(); }

private:
    fw::ComPtr<IHTMLElement> element_;
};

}  // namespace

tamsolo::PageElementPtr WrapElement(IHTMLElement* element) {
    if (!element) return nullptr;
    return std::make_shared<HtmlElement>(element);
}

}  // namespace web
