// The simulator's two argument modes, as a scripting client and as our tests
// see them: lenient converts like an automation server, strict refuses any
// type but the declared one. Test programs start strict (test_support).
#include "test_support.h"
#include "variant_args.h"
#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>
#include <initializer_list>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {
ComPtr<IDispatch> Create(const wchar_t* progId) {
    CLSID clsid;
    ComPtr<IDispatch> object;
    if (SUCCEEDED(CLSIDFromProgID(progId, &clsid))) {
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                         reinterpret_cast<void**>(object.GetAddressOf()));
    }
    return object;
}

DISPID IdOf(IDispatch* object, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

// Calls a method by name with the arguments in declaration order.
HRESULT Call(IDispatch* object, const wchar_t* name, std::initializer_list<VARIANTARG> args) {
    std::vector<VARIANTARG> reversed(args.begin(), args.end());
    std::vector<VARIANTARG> params(reversed.rbegin(), reversed.rend());
    DISPPARAMS dp{params.data(), nullptr, static_cast<UINT>(params.size()), 0};
    return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp,
                          nullptr, nullptr, nullptr);
}

class SimCoercionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        Sim().Reset();
        Sim().SetStrictArguments(FALSE);
    }
    void TearDown() override {
        Sim().SetStrictArguments(TRUE);
        Sim().Reset();
        CoUninitialize();
    }
};

TEST_F(SimCoercionTest, SmallIntegersAndNumericTextBecomeDoubles) {
    auto stage = Create(L"tolvo.stage");
    ASSERT_TRUE(stage);
    EXPECT_EQ(S_OK, Call(stage.Get(), L"MoveXY", {ArgI2(100), ArgI2(200)}));
    double x = 0.0;
    double y = 0.0;
    Sim().GetStagePosition(&x, &y);
    EXPECT_EQ(100.0, x);
    EXPECT_EQ(200.0, y);
    // The journal keeps the types as they arrived.
    EXPECT_EQ(VT_I2, Journal().back().argType[0]);

    BSTR text = SysAllocString(L"-42");
    EXPECT_EQ(S_OK, Call(stage.Get(), L"StepX", {ArgBstr(text)}));
    SysFreeString(text);
    Sim().GetStagePosition(&x, &y);
    EXPECT_EQ(58.0, x);
}

TEST_F(SimCoercionTest, ByReferenceVariantsAreWrittenThroughInTheDeclaredType) {
    auto scan = Create(L"tolvo.scan");
    auto stage = Create(L"tolvo.stage");
    ASSERT_TRUE(scan && stage);
    VARIANT port;
    VariantInit(&port);
    port.vt = VT_I2;
    port.iVal = 1;
    EXPECT_EQ(S_OK, Call(scan.Get(), L"OpenPort", {RefVariant(&port)}));
    EXPECT_EQ(VT_I4, port.vt);
    EXPECT_EQ(0, port.lVal);
    EXPECT_EQ(1, Sim().LastOpenedPort());

    Sim().SetStagePosition(12.5, -7.0);
    VARIANT x;
    VARIANT y;
    VariantInit(&x);
    VariantInit(&y);
    EXPECT_EQ(S_OK, Call(stage.Get(), L"GetXY", {RefVariant(&x), RefVariant(&y)}));
    EXPECT_EQ(VT_R8, x.vt);
    EXPECT_EQ(12.5, x.dblVal);
    EXPECT_EQ(VT_R8, y.vt);
    EXPECT_EQ(-7.0, y.dblVal);
}

TEST_F(SimCoercionTest, WhatCannotBeConvertedIsStillATypeMismatch) {
    auto stage = Create(L"tolvo.stage");
    ASSERT_TRUE(stage);
    BSTR text = SysAllocString(L"north");
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(stage.Get(), L"MoveXY", {ArgI2(1), ArgBstr(text)}));
    SysFreeString(text);
    // A by-reference argument must be a variable: a plain value is refused.
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(stage.Get(), L"GetXY", {ArgI2(1), ArgI2(2)}));
    double x = 1.0;
    double y = 1.0;
    Sim().GetStagePosition(&x, &y);
    EXPECT_EQ(0.0, x);
}

TEST_F(SimCoercionTest, StrictModeRefusesWhatLenientModeConverts) {
    auto stage = Create(L"tolvo.stage");
    ASSERT_TRUE(stage);
    Sim().SetStrictArguments(TRUE);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(stage.Get(), L"MoveXY", {ArgI2(100), ArgI2(200)}));
    // SimReset leaves the mode as the client set it.
    Sim().Reset();
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(stage.Get(), L"MoveXY", {ArgI2(100), ArgI2(200)}));
    Sim().SetStrictArguments(FALSE);
    EXPECT_EQ(S_OK, Call(stage.Get(), L"MoveXY", {ArgI2(100), ArgI2(200)}));
}
} // namespace
