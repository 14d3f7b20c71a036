// The reading of event arguments the control hands the browser host: whatever the count or
// the types, a missing or mistyped argument reads as empty.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "web/comvalue_win.h"

namespace {

using namespace web::com;

TEST(EventArguments, MissingOrMistypedArgumentsReadAsEmpty) {
    Bstr url(L"http://x/");
    VARIANT inner;
    ::VariantInit(&inner);
    V_VT(&inner) = VT_BSTR;
    V_BSTR(&inner) = url.Get();
    VARIANT_BOOL cancel = VARIANT_FALSE;
    // Arguments come last-first: index 0 of the event is the last element.
    VARIANT args[4];
    for (auto& a : args) ::VariantInit(&a);
    V_VT(&args[0]) = VT_BYREF | VT_BOOL;  // event argument 3: the cancel flag
    V_BOOLREF(&args[0]) = &cancel;
    V_VT(&args[1]) = VT_I4;  // event argument 2: a status
    V_I4(&args[1]) = 404;
    V_VT(&args[2]) = VT_BYREF | VT_VARIANT;  // event argument 1: the address, by reference
    V_VARIANTREF(&args[2]) = &inner;
    V_VT(&args[3]) = VT_EMPTY;  // event argument 0: no frame
    DISPPARAMS params{args, nullptr, 4, 0};

    EXPECT_EQ(ArgText(&params, 1), L"http://x/");
    EXPECT_EQ(ArgLong(&params, 2), 404);
    EXPECT_EQ(ArgBoolRef(&params, 3), &cancel);
    EXPECT_EQ(ArgDispatch(&params, 0), nullptr);

    struct Case {
        const DISPPARAMS* params;
        UINT index;
    } empties[] = {
        {nullptr, 0}, {&params, 4}, {&params, 100}, {&params, 0}, {&params, 2} /* a number, not text */,
    };
    for (const auto& c : empties) EXPECT_EQ(ArgText(c.params, c.index), L"") << c.index;
    EXPECT_EQ(ArgLong(&params, 1), 0) << "text is no number";
    EXPECT_EQ(ArgBoolRef(&params, 2), nullptr) << "a number by value is no flag";
    EXPECT_EQ(ArgBoolRef(&params, 9), nullptr);
    DISPPARAMS none{nullptr, nullptr, 3, 0};  // a count without arguments
    EXPECT_EQ(ArgText(&none, 0), L"");
    EXPECT_EQ(ArgBoolRef(&none, 0), nullptr);
}

}  // namespace
