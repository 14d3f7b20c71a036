// Small owners and readers for the values COM hands the browser host: BSTRs, VARIANTs and the
// arguments of an event's Invoke, read defensively (a missing or differently typed argument
// reads as empty, never as garbage).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "framework/handle_win.h"

namespace web {
namespace com {

// A BSTR owned for one call.
class Bstr {
public:
    explicit Bstr(const wchar_t* text) : s_(::SysAllocString(text)) {}
    Bstr() = default;
    ~Bstr() { ::SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return s_; }
    BSTR* Put() {
        ::SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }
    std::wstring Text() const { return s_ ? std::wstring(s_, ::SysStringLen(s_)) : std::wstring(); }

private:
    BSTR s_ = nullptr;
};

// A VARIANT cleared on scope exit.
class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    ~Variant() { ::VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* Get() { return &v_; }

private:
    VARIANT v_;
};

// The argument the control passed by position (0 = first), or null when it did not pass it.
// Arguments arrive in reverse order; "by reference to a variant" is followed once.
inline const VARIANT* Arg(const DISPPARAMS* params, UINT index) {
    if (!params || !params->rgvarg || index >= params->cArgs) return nullptr;
    const VARIANT* v = &params->rgvarg[params->cArgs - 1 - index];
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) v = V_VARIANTREF(v);
    return v;
}

inline std::wstring ArgText(const DISPPARAMS* params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v) return L"";
    if (V_VT(v) == VT_BSTR && V_BSTR(v)) return std::wstring(V_BSTR(v), ::SysStringLen(V_BSTR(v)));
    if (V_VT(v) == (VT_BYREF | VT_BSTR) && V_BSTRREF(v) && *V_BSTRREF(v))
        return std::wstring(*V_BSTRREF(v), ::SysStringLen(*V_BSTRREF(v)));
    return L"";
}

inline long ArgLong(const DISPPARAMS* params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v) return 0;
    switch (V_VT(v)) {
        case VT_I4: return V_I4(v);
        case VT_INT: return V_INT(v);
        case VT_UI4: return static_cast<long>(V_UI4(v));
        case VT_BYREF | VT_I4: return V_I4REF(v) ? *V_I4REF(v) : 0;
        default: return 0;
    }
}

inline IDispatch* ArgDispatch(const DISPPARAMS* params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v) return nullptr;
    if (V_VT(v) == VT_DISPATCH) return V_DISPATCH(v);
    if (V_VT(v) == (VT_BYREF | VT_DISPATCH) && V_DISPATCHREF(v)) return *V_DISPATCHREF(v);
    return nullptr;
}

// The cancel flag: a boolean by reference.
inline VARIANT_BOOL* ArgBoolRef(const DISPPARAMS* params, UINT index) {
    if (!params || !params->rgvarg || index >= params->cArgs) return nullptr;
    VARIANT* v = &params->rgvarg[params->cArgs - 1 - index];
    if (V_VT(v) == (VT_BYREF | VT_BOOL)) return V_BOOLREF(v);
    return nullptr;
}

inline bool SameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return false;
    fw::ComPtr<IUnknown> ua, ub;
    if (FAILED(a->QueryInterface(IID_IUnknown, ua.PutVoid())) || FAILED(b->QueryInterface(IID_IUnknown, ub.PutVoid())))
        return false;
    return ua.Get() == ub.Get();
}

}  // namespace com
}  // namespace web
