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

// The driver's exports against the simulator's server variants: the values
// reach the host converted to the tabled types, and a missing or refused
// member gives the export's not-done code.
#include "driver_api.h"
#include "core/stage_members.h"
#include <functional>
#include <string>

namespace {
struct VariantCase {
    const char* name;
    int variant;
    std::function<void()> arrange;
    // The export's code; `seen` receives what the host got from it.
    std::function<int(const LoadedDriver&, std::string* seen)> act;
    int code;
    const char* seen;
};

std::string Numbers(std::initializer_list<double> values) {
    std::string text;
    for (const double value : values) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%g", text.empty() ? "" : " ", value);
        text += number;
    }
    return text;
}

// Arguments of the journal's last call of `member` on `object`.
std::string LastCallArgs(int object, const ServerMember& member) {
    const auto calls = Journal();
    for (auto call = calls.rbegin(); call != calls.rend(); ++call) {
        if (call->object == object && call->dispid == member.dispid) {
            return Numbers({call->argValue[0], call->argValue[1]});
        }
    }
    return "no call";
}

int ReportXY(const LoadedDriver& driver, std::string* seen) {
    int x = 77;
    int y = 88;
    const int code = XYApi(driver).Report(&x, &y);
    *seen = Numbers({double(x), double(y)});
    return code;
}

// A waited move: the wait ends at the first idle answer, long before the
// time-out (2000 ms), when the driver reads busy wherever it arrives.
int WaitedMove(const LoadedDriver& driver, std::string* seen) {
    Sim().SetBusyPolls(3);
    const DWORD start = GetTickCount();
    const int code = XYApi(driver).Move(1000, 0, 1);
    const DWORD took = GetTickCount() - start;
    *seen = took < 1500 && Sim().BusyPollCount() < 50 ? "ended at idle" : "ran to its time-out";
    return code;
}

const VariantCase kVariantCases[] = {
    {"OtherTypesXYReport", SimOtherTypes, [] { Sim().SetStagePosition(12.9, -12.9); }, ReportXY, 0,
     "12 -12"},
    {"OtherTypesWaitedMove", SimOtherTypes, [] {}, WaitedMove, 0, "ended at idle"},
    {"OtherTypesRefusedPort", SimOtherTypes, [] { Sim().SetOpenablePorts(0); },
     [](const LoadedDriver&, std::string* seen) {
         *seen = Sim().IsLinkOpen() ? "link open" : "link closed";
         return 0;
     },
     -1, "link closed"},
    {"OtherTypesFocusReport", SimOtherTypes, [] { Sim().SetFocusPosition(250.75); },
     [](const LoadedDriver& driver, std::string* seen) {
         int z = 0;
         const int code = FocusApi(driver).Report(&z);
         *seen = Numbers({double(z)});
         return code;
     },
     0, "250"},
    {"OtherTypesWheelCount", SimOtherTypes, [] { Sim().SetWheelPositionCount(1, 8); },
     [](const LoadedDriver& driver, std::string* seen) {
         const int count = WheelApi(driver).GetCount(0);
         *seen = Numbers({double(count)});
         return 0;
     },
     0, "8"},
    // TravelX and TravelY arrive as text; the centring moves to half of them.
    {"OtherTypesCentring", SimOtherTypes, [] { Sim().SetTravel(3000.5, 2000.25); },
     [](const LoadedDriver& driver, std::string* seen) {
         const int code = XYApi(driver).Command(3);
         *seen = LastCallArgs(SimStage, StageMember::MoveXY);
         return code;
     },
     0, "1500.25 1000.12"},
    {"MissingMemberStepDown", SimMissingMember, [] {},
     [](const LoadedDriver& driver, std::string* seen) {
         const int up = FocusApi(driver).Step(5);
         *seen = "up " + std::to_string(up);
         return FocusApi(driver).Step(-5);
     },
     1, "up 0"},
    {"RefusedCallXYReport", SimRefusedCall, [] {}, ReportXY, 1, "77 88"},
    // A get without a value gives the not-done code, not a value made up;
    // LinkValue's is not used, so the link still opens.
    {"EmptyValuesFocusReport", SimEmptyValues, [] { Sim().SetFocusPosition(40); },
     [](const LoadedDriver& driver, std::string* seen) {
         int z = 77;
         const int code = FocusApi(driver).Report(&z);
         *seen = Numbers({double(z)});
         return code;
     },
     1, "77"},
    {"EmptyValuesCentring", SimEmptyValues, [] {},
     [](const LoadedDriver& driver, std::string* seen) {
         const int code = XYApi(driver).Command(3);
         *seen = LastCallArgs(SimStage, StageMember::MoveXY);
         return code;
     },
     1, "no call"},
    {"EmptyValuesWheelCountKept", SimEmptyValues, [] { Sim().SetWheelPositionCount(1, 6); },
     [](const LoadedDriver& driver, std::string* seen) {
         *seen = Numbers({double(WheelApi(driver).GetCount(0))});
         return 0;
     },
     0, "10"},
    {"RefusedCallMoveStillDone", SimRefusedCall, [] {},
     [](const LoadedDriver& driver, std::string* seen) {
         const int code = XYApi(driver).Move(30, 40, 0);
         *seen = LastCallArgs(SimStage, StageMember::MoveXY);
         return code;
     },
     0, "30 40"},
};

class DriverAgainstVariant : public ::testing::TestWithParam<VariantCase> {
  protected:
    void SetUp() override {
        Sim().Reset();
        driver.SetIni("Port", "0");
        driver.SetIni("TimeOut", "2000");
        driver.SetIni("Name", "Cubes", "FilterWheel1");
        driver.SetIni("NumberPositions", "10", "FilterWheel1");
        driver.WriteSet("Cubes", "FilterWheel1", "Cube");
    }
    void TearDown() override {
        XYApi(driver).Close();
        Sim().SetVariant(SimAsTabled);
        Sim().Reset();
    }
    LoadedDriver driver{"STolvo32Probe.dll"};
};

TEST_P(DriverAgainstVariant, ConvertsOrReportsNotDone) {
    const VariantCase& c = GetParam();
    ASSERT_EQ(S_OK, Sim().SetVariant(c.variant));
    c.arrange();
    const int init = XYApi(driver).Init(nullptr);
    std::string seen;
    int code = init;
    if (init == 0) {
        ASSERT_EQ(0, FocusApi(driver).Init(nullptr));
        ASSERT_EQ(0, WheelApi(driver).GetInstance(0));
        ASSERT_EQ(0, WheelApi(driver).Init(0, nullptr));
        code = c.act(driver, &seen);
    } else {
        c.act(driver, &seen);
    }
    EXPECT_EQ(c.code, code);
    EXPECT_EQ(c.seen, seen);
}

INSTANTIATE_TEST_SUITE_P(Variants, DriverAgainstVariant, ::testing::ValuesIn(kVariantCases),
                         [](const ::testing::TestParamInfo<VariantCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(SimVariant, UnknownVariantsAreRefused) {
    EXPECT_EQ(E_INVALIDARG, Sim().SetVariant(-1));
    EXPECT_EQ(E_INVALIDARG, Sim().SetVariant(SimEmptyValues + 1));
    EXPECT_EQ(S_OK, Sim().SetVariant(SimAsTabled));
}
} // namespace
