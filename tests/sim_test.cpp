// Tests of the controller simulator itself, used through COM as a client uses
// it, with its control functions taken from the same module.
#include "sim_objects.h"
#include "test_support.h"
#include "variant_args.h"
#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {
constexpr WORD kMethodOrGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

// A member named by its table entry, or a number that no table gives.
struct MemberId {
    MemberId(DISPID id) : dispid(id) {}
    MemberId(const ServerMember& member) : dispid(member.dispid) {}
    DISPID dispid;
};

// Invokes with `args` in declaration order; a put passes its value as the
// named argument DISPID_PROPERTYPUT.
HRESULT Invoke(IDispatch* target, MemberId member, WORD flags, std::vector<VARIANTARG> args = {},
               VARIANT* result = nullptr, UINT* argError = nullptr,
               EXCEPINFO* exception = nullptr) {
    std::vector<VARIANTARG> reversed(args.rbegin(), args.rend());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.cArgs = static_cast<UINT>(reversed.size());
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    if (flags == DISPATCH_PROPERTYPUT) {
        params.cNamedArgs = 1;
        params.rgdispidNamedArgs = &putId;
    }
    UINT unused = 0;
    return target->Invoke(member.dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                          exception, argError != nullptr ? argError : &unused);
}

HRESULT Method(IDispatch* target, MemberId member, std::vector<VARIANTARG> args = {}) {
    return Invoke(target, member, DISPATCH_METHOD, std::move(args));
}

LONG Busy(IDispatch* scan) {
    LONG busy = -7;
    EXPECT_EQ(S_OK, Method(scan, ScanMember::GetBusy, {RefI4(&busy)}));
    return busy;
}

std::pair<double, double> ReadXY(IDispatch* stage) {
    double x = -1.0;
    double y = -1.0;
    EXPECT_EQ(S_OK, Method(stage, StageMember::GetXY, {RefR8(&x), RefR8(&y)}));
    return {x, y};
}

std::pair<double, double> ModelXY() {
    double x = -1.0;
    double y = -1.0;
    Sim().GetStagePosition(&x, &y);
    return {x, y};
}

double FocusPosition(IDispatch* focus) {
    Variant position;
    EXPECT_EQ(S_OK, Invoke(focus, FocusMember::Position, DISPATCH_PROPERTYGET, {}, position.get()));
    EXPECT_EQ(VT_R8, position->vt);
    return position->vt == VT_R8 ? position->dblVal : -1e300;
}

// WheelPositionCount of a wheel, -99999 when the answer is not a VT_I2.
LONG WheelCount(IDispatch* filter, LONG wheel, WORD flags = DISPATCH_PROPERTYGET) {
    Variant count;
    EXPECT_EQ(S_OK,
              Invoke(filter, FilterMember::WheelPositionCount, flags, {ArgI4(wheel)}, count.get()));
    EXPECT_EQ(VT_I2, count->vt);
    return count->vt == VT_I2 ? count->iVal : -99999;
}

SimCall LastCall() {
    SimCall call{};
    EXPECT_TRUE(Sim().JournalEntry(Sim().JournalCount() - 1, &call));
    return call;
}

ComPtr<IDispatch> CreateByProgId(const wchar_t* progId) {
    CLSID classId{};
    ComPtr<IDispatch> object;
    const HRESULT found = CLSIDFromProgID(progId, &classId);
    EXPECT_EQ(S_OK, found) << "is TolvoSim.dll registered (regsvr32 /s TolvoSim.dll)?";
    if (SUCCEEDED(found)) {
        EXPECT_EQ(S_OK,
                  CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &object));
    }
    return object;
}

class SimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        comReady_ = true;
        Sim().Reset();
        ASSERT_EQ(0, Sim().LiveObjects());
    }

    void TearDown() override {
        if (!comReady_) {
            return;
        }
        // Every test gives back every reference it took.
        EXPECT_EQ(0, Sim().LiveObjects());
        EXPECT_EQ(0, Sim().OutstandingRefs());
        // The test programs that follow share the prefix: a class taken away
        // here, also by a test that stopped half-way, is registered again.
        Sim().Reset();
        CoUninitialize();
    }

    ComPtr<IDispatch> Scan() { return CreateByProgId(L"tolvo.scan"); }
    ComPtr<IDispatch> Stage() { return CreateByProgId(L"tolvo.stage"); }
    ComPtr<IDispatch> Focus() { return CreateByProgId(L"tolvo.Z"); }
    ComPtr<IDispatch> Filter() { return CreateByProgId(L"tolvo.filter"); }

  private:
    bool comReady_ = false;
};

// The registered in-process server path of a class id, empty when there is none.
std::wstring RegisteredServer(REFCLSID classId) {
    wchar_t idText[40];
    if (StringFromGUID2(classId, idText, 40) == 0) {
        return std::wstring();
    }
    const std::wstring key = std::wstring(L"CLSID\\") + idText + L"\\InprocServer32";
    wchar_t registered[MAX_PATH] = L"";
    DWORD size = sizeof(registered);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, registered,
                     &size) != ERROR_SUCCESS) {
        return std::wstring();
    }
    return registered;
}

bool IsThisModule(const std::wstring& path) {
    wchar_t loaded[MAX_PATH] = L"";
    return GetModuleFileNameW(Sim().module, loaded, MAX_PATH) > 0 &&
           CompareStringOrdinal(path.c_str(), -1, loaded, -1, TRUE) == CSTR_EQUAL;
}

TEST_F(SimTest, ProgIdsResolveToTheKindsClassIdsInThisModule) {
    std::vector<CLSID> seen;
    for (const auto& [kind, progId, members] : kSimObjects) {
        CLSID classId{};
        CLSID expected{};
        ASSERT_EQ(S_OK, CLSIDFromProgID(progId, &classId)) << kind;
        ASSERT_EQ(S_OK, Sim().GetClassId(kind, &expected));
        EXPECT_TRUE(IsEqualCLSID(expected, classId)) << kind;
        EXPECT_TRUE(IsThisModule(RegisteredServer(classId))) << kind;
        for (const CLSID& other : seen) {
            EXPECT_FALSE(IsEqualCLSID(other, classId)) << kind;
        }
        seen.push_back(classId);

        wchar_t idText[40];
        ASSERT_GT(StringFromGUID2(classId, idText, 40), 0);
        const std::wstring key = std::wstring(L"CLSID\\") + idText + L"\\InprocServer32";
        wchar_t model[32] = L"";
        DWORD size = sizeof(model);
        ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), L"ThreadingModel",
                                              RRF_RT_REG_SZ, nullptr, model, &size));
        EXPECT_STREQ(L"Apartment", model);
    }
}

TEST_F(SimTest, KindsOutsideTheServerAreRefused) {
    CLSID id{};
    EXPECT_EQ(E_INVALIDARG, Sim().GetClassId(4, &id));
    EXPECT_EQ(E_INVALIDARG, Sim().GetClassId(-1, &id));
    EXPECT_EQ(E_POINTER, Sim().GetClassId(SimScan, nullptr));

    IDispatch* object = reinterpret_cast<IDispatch*>(&id);
    EXPECT_EQ(E_INVALIDARG, Sim().CreateObject(4, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(E_INVALIDARG, Sim().CreateObject(-1, &object));
    EXPECT_EQ(E_POINTER, Sim().CreateObject(SimScan, nullptr));
    EXPECT_EQ(0, Sim().LiveObjects());
    EXPECT_EQ(E_INVALIDARG, Sim().SetClassRegistered(4, FALSE));
    EXPECT_EQ(E_INVALIDARG, Sim().SetClassRegistered(SimNote, TRUE));

    CLSID unknown{};
    EXPECT_TRUE(FAILED(CLSIDFromProgID(L"tolvo.nothing", &unknown)));
}

// Every object against its member table, as any client calls it.

// The flags a member of `kind` answers: its own, and for a method or a get
// also both together, which a client that cannot tell them apart sends.
bool Answers(CallKind kind, WORD flags) {
    switch (kind) {
    case CallKind::Method:
        return flags == DISPATCH_METHOD || flags == kMethodOrGet;
    case CallKind::PropertyGet:
        return flags == DISPATCH_PROPERTYGET || flags == kMethodOrGet;
    case CallKind::PropertyPut:
        return flags == DISPATCH_PROPERTYPUT;
    }
    return false;
}

constexpr WORD kEveryFlags[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT,
                                kMethodOrGet};

// The single flag of a member's own call kind.
WORD OwnFlags(CallKind kind) {
    for (const WORD flags : kEveryFlags) {
        if (Answers(kind, flags)) {
            return flags;
        }
    }
    return 0;
}

std::wstring Wide(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}

// A call of `member` as its table declares it: an argument of each declared
// type, in declaration order. Numbers are 1, so that a call that acts moves a
// wheel, a shutter or an axis; variables start at 5, which no answer writes.
class DeclaredCall {
  public:
    explicit DeclaredCall(const ServerMember& member) : count_(member.argCount) {
        for (UINT i = 0; i < count_; ++i) {
            args.push_back(Argument(member.argTypes[i], i));
        }
    }
    DeclaredCall(const DeclaredCall&) = delete;
    DeclaredCall& operator=(const DeclaredCall&) = delete;

    // What the call left in its by-reference variables.
    std::vector<double> Variables() const {
        std::vector<double> values;
        for (UINT i = 0; i < count_; ++i) {
            values.push_back(i4_[i]);
            values.push_back(r8_[i]);
        }
        values.push_back(SysStringByteLen(text_.get()));
        return values;
    }

    std::vector<VARIANTARG> args;

  private:
    VARIANTARG Argument(VARTYPE type, UINT i) {
        switch (type) {
        case VT_I4:
            return ArgI4(1);
        case VT_R8:
            return ArgR8(1.0);
        case kRefI4:
            i4_[i] = 5;
            return RefI4(&i4_[i]);
        case kRefR8:
            r8_[i] = 5.0;
            return RefR8(&r8_[i]);
        case kRefBstr:
            return RefBstr(text_.address());
        }
        ADD_FAILURE() << "no test argument of type " << type;
        return VARIANTARG{};
    }

    UINT count_;
    LONG i4_[kMaxMemberArgs] = {};
    double r8_[kMaxMemberArgs] = {};
    Bstr text_{SysAllocString(L"five")};
};

// Arguments not of the `declared` type: another number, or the same one by
// reference instead of by value and the other way round.
std::vector<VARIANTARG> WrongArguments(VARTYPE declared, LONG* i4, double* r8) {
    switch (declared) {
    case VT_I4:
        return {ArgR8(1.0), ArgI2(1), RefI4(i4)};
    case VT_R8:
        return {ArgI4(1), ArgI2(1), RefR8(r8)};
    case kRefI4:
        return {ArgI4(1), RefR8(r8)};
    case kRefR8:
        return {ArgR8(1.0), RefI4(i4)};
    case kRefBstr:
        return {RefI4(i4)};
    }
    ADD_FAILURE() << "no wrong argument for type " << declared;
    return {};
}

bool HasMemberNamed(const ServerInterface& table, const char* name) {
    for (const ServerMember* member : MembersOf(table)) {
        if (lstrcmpiA(member->name, name) == 0) {
            return true;
        }
    }
    return false;
}

bool HasDispid(const ServerInterface& table, DISPID dispid) {
    for (const ServerMember* member : MembersOf(table)) {
        if (member->dispid == dispid) {
            return true;
        }
    }
    return false;
}

HRESULT IdOfName(IDispatch* object, const std::wstring& name, DISPID* id) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

// Calls the journal holds, a run of the same poll counted call by call.
int JournaledCalls() {
    int calls = 0;
    for (const SimCall& call : Journal()) {
        calls += 1 + static_cast<int>(call.repeats);
    }
    return calls;
}

// Nothing that a refused call could act on has changed since the reset.
void ExpectModelUntouched() {
    EXPECT_EQ(std::make_pair(0.0, 0.0), ModelXY());
    EXPECT_EQ(0.0, Sim().StageSpeed());
    EXPECT_EQ(0.0, Sim().FocusPosition());
    EXPECT_EQ(-1, Sim().WheelPosition(1));
    EXPECT_EQ(-1, Sim().ShutterState(1));
    EXPECT_FALSE(Sim().IsLinkOpen());
    EXPECT_EQ(-1, Sim().LastOpenedPort());
    EXPECT_EQ(0, Sim().BusyPollCount());
}

class SimObjectTest : public SimTest, public ::testing::WithParamInterface<SimObject> {
  protected:
    const ServerInterface& table() const { return *GetParam().members; }
    ComPtr<IDispatch> Object() { return CreateByProgId(GetParam().progId); }

    void ExpectLastCall(DISPID dispid, WORD flags, HRESULT result) {
        const SimCall call = LastCall();
        EXPECT_EQ(GetParam().kind, call.object);
        EXPECT_EQ(dispid, call.dispid);
        EXPECT_EQ(flags, call.kind);
        EXPECT_EQ(result, call.result);
    }
};

// Each name as tabled, in small letters, in capitals and with every letter's
// case turned; the other objects' members are unknown names here.
TEST_P(SimObjectTest, NamesMapToDispidsIgnoringCase) {
    auto object = Object();
    ASSERT_TRUE(object);
    // The type library's description of the members: type_library_test.
    UINT count = 7;
    EXPECT_EQ(S_OK, object->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);

    for (const ServerMember* member : MembersOf(table())) {
        const std::wstring tabled = Wide(member->name);
        std::wstring lower = tabled;
        std::wstring upper = tabled;
        std::wstring turned = tabled;
        for (size_t i = 0; i < tabled.size(); ++i) {
            lower[i] = towlower(tabled[i]);
            upper[i] = towupper(tabled[i]);
            turned[i] = iswupper(tabled[i]) ? towlower(tabled[i]) : towupper(tabled[i]);
        }
        for (const std::wstring& name : {tabled, lower, upper, turned}) {
            SCOPED_TRACE(name);
            DISPID id = 0;
            EXPECT_EQ(S_OK, IdOfName(object.Get(), name, &id));
            EXPECT_EQ(member->dispid, id);
        }
    }
    for (const SimObject& other : kSimObjects) {
        for (const ServerMember* member : MembersOf(*other.members)) {
            if (HasMemberNamed(table(), member->name)) {
                continue;
            }
            SCOPED_TRACE(member->name);
            DISPID id = 0;
            EXPECT_EQ(DISP_E_UNKNOWNNAME, IdOfName(object.Get(), Wide(member->name), &id));
            EXPECT_EQ(DISPID_UNKNOWN, id);
        }
    }
}

// A member called in a kind it does not have, with its declared arguments,
// and every number that no member of the object has, in every kind, are
// DISP_E_MEMBERNOTFOUND: journaled as sent, answering nothing, acting on nothing.
TEST_P(SimObjectTest, OtherCallKindsAndUnknownDispidsAreMemberNotFound) {
    auto object = Object();
    ASSERT_TRUE(object);
    int calls = 0;
    const auto expectNotFound = [&](DISPID dispid, WORD flags, std::vector<VARIANTARG> args) {
        SCOPED_TRACE("DISPID " + std::to_string(dispid) + " flags " + std::to_string(flags));
        Variant value;
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
                  Invoke(object.Get(), dispid, flags, std::move(args), value.get()));
        EXPECT_EQ(VT_EMPTY, value->vt);
        ExpectLastCall(dispid, flags, DISP_E_MEMBERNOTFOUND);
        ++calls;
    };
    for (const ServerMember* member : MembersOf(table())) {
        for (const WORD flags : kEveryFlags) {
            if (!Answers(member->kind, flags)) {
                DeclaredCall call(*member);
                expectNotFound(member->dispid, flags, call.args);
            }
        }
    }
    // Beyond the highest DISPID of any table, and far beyond.
    std::vector<DISPID> numbers = {99, 0x7FFFFFFF};
    for (DISPID dispid = -1; dispid <= 40; ++dispid) {
        numbers.push_back(dispid);
    }
    for (const DISPID dispid : numbers) {
        for (const WORD flags : kEveryFlags) {
            if (!HasDispid(table(), dispid)) {
                expectNotFound(dispid, flags, {});
            }
        }
    }
    EXPECT_EQ(calls, JournaledCalls());
    ExpectModelUntouched();
}

// Each member answers its own kind, a method or a get also both flags at
// once: a method VT_I4 0, a get its tabled type, a put nothing; either flag
// gives the same value and writes the same variables.
TEST_P(SimObjectTest, MembersAnswerTheirCallKinds) {
    auto object = Object();
    ASSERT_TRUE(object);
    for (const ServerMember* member : MembersOf(table())) {
        std::vector<std::vector<double>> answers;
        for (const WORD flags : kEveryFlags) {
            if (!Answers(member->kind, flags)) {
                continue;
            }
            SCOPED_TRACE(std::string(member->name) + " flags " + std::to_string(flags));
            DeclaredCall call(*member);
            Variant result;
            ASSERT_EQ(S_OK, Invoke(object.Get(), *member, flags, call.args, result.get()));
            ExpectLastCall(member->dispid, flags, S_OK);
            std::vector<double> answer = call.Variables();
            if (member->kind == CallKind::Method) {
                EXPECT_EQ(VT_I4, result->vt);
                EXPECT_EQ(0, result->lVal);
            } else if (member->kind == CallKind::PropertyGet) {
                EXPECT_EQ(member->resultType, result->vt);
                VARIANT value;
                VariantInit(&value);
                ASSERT_EQ(S_OK, VariantChangeType(&value, result.get(), 0, VT_R8));
                answer.push_back(value.dblVal);
            } else {
                EXPECT_EQ(VT_EMPTY, result->vt);
            }
            answers.push_back(answer);
        }
        if (answers.size() == 2) {
            EXPECT_EQ(answers[0], answers[1]) << member->name << ": the same under either flag";
        }
    }
}

// One argument more, one fewer and none at all are DISP_E_BADPARAMCOUNT.
TEST_P(SimObjectTest, WrongArgumentCountsAreBadParamCount) {
    auto object = Object();
    ASSERT_TRUE(object);
    for (const ServerMember* member : MembersOf(table())) {
        const WORD flags = OwnFlags(member->kind);
        DeclaredCall call(*member);
        std::vector<VARIANTARG> more = call.args;
        more.push_back(more.empty() ? ArgI4(1) : more.back());
        std::vector<std::vector<VARIANTARG>> wrongCounts = {more};
        if (!call.args.empty()) {
            wrongCounts.emplace_back(call.args.begin(), call.args.end() - 1);
        }
        if (call.args.size() > 1) {
            wrongCounts.emplace_back();
        }
        for (const std::vector<VARIANTARG>& args : wrongCounts) {
            SCOPED_TRACE(std::string(member->name) + " with " + std::to_string(args.size()));
            Variant value;
            EXPECT_EQ(DISP_E_BADPARAMCOUNT,
                      Invoke(object.Get(), *member, flags, args, value.get()));
            EXPECT_EQ(VT_EMPTY, value->vt);
            ExpectLastCall(member->dispid, flags, DISP_E_BADPARAMCOUNT);
            EXPECT_EQ(static_cast<int>(args.size()), LastCall().argCount);
        }
    }
    ExpectModelUntouched();
}

// Each argument in turn of a wrong type is DISP_E_TYPEMISMATCH, its index
// given in DISPPARAMS order (the last argument is 0) and the types journaled
// as sent.
TEST_P(SimObjectTest, WrongArgumentTypesAreTypeMismatchAtTheirIndex) {
    auto object = Object();
    ASSERT_TRUE(object);
    LONG i4 = 1;
    double r8 = 1.0;
    for (const ServerMember* member : MembersOf(table())) {
        const WORD flags = OwnFlags(member->kind);
        for (UINT position = 0; position < member->argCount; ++position) {
            for (const VARIANTARG& wrong : WrongArguments(member->argTypes[position], &i4, &r8)) {
                SCOPED_TRACE(std::string(member->name) + " argument " + std::to_string(position) +
                             " of type " + std::to_string(wrong.vt));
                DeclaredCall call(*member);
                call.args[position] = wrong;
                UINT argError = 99;
                Variant value;
                EXPECT_EQ(DISP_E_TYPEMISMATCH,
                          Invoke(object.Get(), *member, flags, call.args, value.get(), &argError));
                EXPECT_EQ(member->argCount - 1 - position, argError);
                EXPECT_EQ(VT_EMPTY, value->vt);
                ExpectLastCall(member->dispid, flags, DISP_E_TYPEMISMATCH);
                const SimCall journaled = LastCall();
                for (UINT i = 0; i < member->argCount; ++i) {
                    EXPECT_EQ(call.args[i].vt, journaled.argType[i]);
                }
            }
        }
    }
    EXPECT_EQ(1, i4);
    EXPECT_EQ(1.0, r8);
    ExpectModelUntouched();
}

// A member faulted with DISP_E_EXCEPTION writes every field of the caller's
// EXCEPINFO, whatever the caller left in them; a caller without one gets the
// result alone; other faults leave it alone. A faulted member acts on nothing,
// and the fault is its own: the object's other members still answer.
TEST_P(SimObjectTest, InjectedDispExceptionFillsTheCallersExcepInfo) {
    auto object = Object();
    ASSERT_TRUE(object);
    const int kind = GetParam().kind;
    for (const ServerMember* member : MembersOf(table())) {
        SCOPED_TRACE(member->name);
        const WORD flags = OwnFlags(member->kind);
        DeclaredCall call(*member);
        Sim().SetFault(kind, member->dispid, DISP_E_EXCEPTION);
        EXCEPINFO exception{};
        exception.wCode = 1001;
        exception.dwHelpContext = 77;
        Variant value;
        EXPECT_EQ(DISP_E_EXCEPTION, Invoke(object.Get(), *member, flags, call.args, value.get(),
                                           nullptr, &exception));
        Bstr source(exception.bstrSource);
        Bstr description(exception.bstrDescription);
        ASSERT_NE(nullptr, source.get());
        ASSERT_NE(nullptr, description.get());
        EXPECT_STREQ(GetParam().progId, source.get());
        EXPECT_NE(nullptr, std::wcsstr(description.get(), Wide(member->name).c_str()));
        EXPECT_EQ(nullptr, exception.bstrHelpFile);
        EXPECT_EQ(nullptr, exception.pfnDeferredFillIn);
        EXPECT_EQ(0, exception.wCode);
        EXPECT_EQ(0u, exception.dwHelpContext);
        EXPECT_EQ(E_FAIL, exception.scode);
        EXPECT_EQ(VT_EMPTY, value->vt);
        ExpectLastCall(member->dispid, flags, DISP_E_EXCEPTION);
        EXPECT_EQ(DISP_E_EXCEPTION, Invoke(object.Get(), *member, flags, call.args));

        Sim().SetFault(kind, member->dispid, E_FAIL);
        EXCEPINFO untouched{};
        EXPECT_EQ(E_FAIL,
                  Invoke(object.Get(), *member, flags, call.args, nullptr, nullptr, &untouched));
        EXPECT_EQ(nullptr, untouched.bstrSource);
        EXPECT_EQ(nullptr, untouched.bstrDescription);
        EXPECT_EQ(0, untouched.scode);
        Sim().SetFault(kind, member->dispid, S_OK);
    }
    ExpectModelUntouched();

    for (const ServerMember* member : MembersOf(table())) {
        Sim().SetFault(kind, member->dispid, DISP_E_EXCEPTION);
        for (const ServerMember* other : MembersOf(table())) {
            if (other->dispid != member->dispid) {
                DeclaredCall call(*other);
                EXPECT_EQ(S_OK, Invoke(object.Get(), *other, OwnFlags(other->kind), call.args))
                    << other->name << " while " << member->name << " is faulted";
            }
        }
        Sim().SetFault(kind, member->dispid, S_OK);
    }
}

INSTANTIATE_TEST_SUITE_P(Objects, SimObjectTest, ::testing::ValuesIn(kSimObjects),
                         [](const ::testing::TestParamInfo<SimObject>& info) {
                             return std::string(info.param.members->objectName);
                         });

TEST_F(SimTest, PropertiesGetAndPut) {
    auto scan = Scan();
    auto stage = Stage();
    ASSERT_TRUE(scan && stage);
    {
        Variant travel;
        ASSERT_EQ(S_OK, Invoke(stage.Get(), StageMember::TravelX, DISPATCH_PROPERTYGET, {},
                               travel.get()));
        EXPECT_EQ(VT_R8, travel->vt);
        EXPECT_EQ(100000.0, travel->dblVal);
    }
    Sim().SetTravel(2000.0, 1500.0);
    {
        Variant travel;
        ASSERT_EQ(S_OK, Invoke(stage.Get(), StageMember::TravelY, kMethodOrGet, {}, travel.get()));
        EXPECT_EQ(VT_R8, travel->vt);
        EXPECT_EQ(1500.0, travel->dblVal);
    }
    {
        Variant link;
        ASSERT_EQ(S_OK,
                  Invoke(scan.Get(), ScanMember::LinkValue, DISPATCH_PROPERTYGET, {}, link.get()));
        EXPECT_EQ(VT_R4, link->vt);
        EXPECT_EQ(1.0f, link->fltVal);
    }

    EXPECT_EQ(S_OK, Invoke(stage.Get(), StageMember::Speed, DISPATCH_PROPERTYPUT, {ArgR8(1234.5)}));
    EXPECT_EQ(1234.5, Sim().StageSpeed());
    const SimCall call = LastCall();
    EXPECT_EQ(DISPATCH_PROPERTYPUT, call.kind);
    EXPECT_EQ(1, call.argCount);
    EXPECT_EQ(VT_R8, call.argType[0]);
    EXPECT_EQ(1234.5, call.argValue[0]);

    EXPECT_EQ(DISP_E_TYPEMISMATCH,
              Invoke(stage.Get(), StageMember::Speed, DISPATCH_PROPERTYPUT, {ArgI4(7)}));
    // A put whose value is not the named DISPID_PROPERTYPUT argument is refused.
    VARIANTARG value = ArgR8(99.0);
    DISPPARAMS unnamed{&value, nullptr, 1, 0};
    UINT argError = 0;
    EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL,
              stage->Invoke(StageMember::Speed.dispid, IID_NULL, LOCALE_USER_DEFAULT,
                            DISPATCH_PROPERTYPUT, &unnamed, nullptr, nullptr, &argError));
    EXPECT_EQ(1234.5, Sim().StageSpeed());
}

TEST_F(SimTest, OpenPortFollowsTheOpenableMask) {
    auto scan = Scan();
    ASSERT_TRUE(scan);
    EXPECT_EQ(-1, Sim().LastOpenedPort());
    LONG port = 2;
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::OpenPort, {RefI4(&port)}));
    EXPECT_EQ(0, port);
    EXPECT_TRUE(Sim().IsLinkOpen());
    EXPECT_EQ(2, Sim().LastOpenedPort());
    EXPECT_EQ(2.0, LastCall().argValue[0]);
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::ClosePort));
    EXPECT_FALSE(Sim().IsLinkOpen());

    for (LONG outside : {5L, -3L, 40L}) {
        port = outside;
        ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::OpenPort, {RefI4(&port)}));
        EXPECT_LT(port, 0) << "port " << outside;
        EXPECT_FALSE(Sim().IsLinkOpen());
        EXPECT_EQ(2, Sim().LastOpenedPort());
    }

    Sim().SetOpenablePorts(1u << 7);
    port = 0;
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::OpenPort, {RefI4(&port)}));
    EXPECT_LT(port, 0);
    port = 7;
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::OpenPort, {RefI4(&port)}));
    EXPECT_EQ(0, port);
    EXPECT_TRUE(Sim().IsLinkOpen());
    EXPECT_EQ(7, Sim().LastOpenedPort());
}

TEST_F(SimTest, StageFollowsMovesStepsAndOrigin) {
    auto stage = Stage();
    ASSERT_TRUE(stage);
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(300.0), ArgR8(200.0)}));
    EXPECT_EQ(std::make_pair(300.0, 200.0), ReadXY(stage.Get()));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::StepX, {ArgR8(-50.0)}));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::StepY, {ArgR8(25.0)}));
    EXPECT_EQ(std::make_pair(250.0, 225.0), ReadXY(stage.Get()));
    EXPECT_EQ(std::make_pair(250.0, 225.0), ModelXY());

    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::SetXY, {ArgR8(10.0), ArgR8(20.0)}));
    EXPECT_EQ(std::make_pair(10.0, 20.0), ReadXY(stage.Get()));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(0.0), ArgR8(0.0)}));
    EXPECT_EQ(std::make_pair(0.0, 0.0), ReadXY(stage.Get()));

    Sim().SetStagePosition(1.0, -2.0);
    EXPECT_EQ(std::make_pair(1.0, -2.0), ReadXY(stage.Get()));

    // Every object of the module sees the one controller.
    auto other = Stage();
    ASSERT_TRUE(other);
    ASSERT_EQ(S_OK, Method(other.Get(), StageMember::StepX, {ArgR8(4.0)}));
    EXPECT_EQ(std::make_pair(5.0, -2.0), ReadXY(stage.Get()));
}

TEST_F(SimTest, RunsStopAtTheTravelLimits) {
    auto stage = Stage();
    ASSERT_TRUE(stage);
    Sim().SetTravel(1000.0, 500.0);
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(300.0), ArgR8(200.0)}));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::RunX, {ArgR8(-250000.0)}));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::RunY, {ArgR8(250000.0)}));
    EXPECT_EQ(std::make_pair(0.0, 500.0), ReadXY(stage.Get()));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::RunX, {ArgR8(100.0)}));
    EXPECT_EQ(std::make_pair(100.0, 500.0), ReadXY(stage.Get()));

    // The limits stay where they are when the origin moves.
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::SetXY, {ArgR8(0.0), ArgR8(0.0)}));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::RunX, {ArgR8(-250000.0)}));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::RunY, {ArgR8(-250000.0)}));
    EXPECT_EQ(std::make_pair(-100.0, -500.0), ReadXY(stage.Get()));
}

TEST_F(SimTest, JournalListsArgumentsInDeclarationOrder) {
    auto scan = Scan();
    auto stage = Stage();
    ASSERT_TRUE(scan && stage);
    Sim().JournalClear();
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::SetShutter, {ArgI4(2), ArgI4(1)}));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(1.5), ArgR8(-2.5)}));
    double x = 7.0;
    double y = 8.0;
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::GetXY, {RefR8(&x), RefR8(&y)}));
    ASSERT_EQ(3, Sim().JournalCount());

    SimCall call{};
    ASSERT_TRUE(Sim().JournalEntry(0, &call));
    EXPECT_EQ(SimScan, call.object);
    EXPECT_EQ(ScanMember::SetShutter.dispid, call.dispid);
    EXPECT_EQ(DISPATCH_METHOD, call.kind);
    EXPECT_EQ(2, call.argCount);
    EXPECT_EQ(VT_I4, call.argType[0]);
    EXPECT_EQ(VT_I4, call.argType[1]);
    EXPECT_EQ(2.0, call.argValue[0]);
    EXPECT_EQ(1.0, call.argValue[1]);
    EXPECT_EQ(S_OK, call.result);
    EXPECT_EQ(1, Sim().ShutterState(2));
    EXPECT_EQ(-1, Sim().ShutterState(1));

    ASSERT_TRUE(Sim().JournalEntry(1, &call));
    EXPECT_EQ(SimStage, call.object);
    EXPECT_EQ(StageMember::MoveXY.dispid, call.dispid);
    EXPECT_EQ(1.5, call.argValue[0]);
    EXPECT_EQ(-2.5, call.argValue[1]);

    // By-reference arguments are journaled with their values on entry.
    ASSERT_TRUE(Sim().JournalEntry(2, &call));
    EXPECT_EQ(VT_R8 | VT_BYREF, call.argType[0]);
    EXPECT_EQ(VT_R8 | VT_BYREF, call.argType[1]);
    EXPECT_EQ(7.0, call.argValue[0]);
    EXPECT_EQ(8.0, call.argValue[1]);
    EXPECT_EQ(1.5, x);
    EXPECT_EQ(-2.5, y);

    EXPECT_FALSE(Sim().JournalEntry(3, &call));
    EXPECT_FALSE(Sim().JournalEntry(-1, &call));
    Sim().JournalClear();
    EXPECT_EQ(0, Sim().JournalCount());
}

TEST_F(SimTest, StageQueryJournalsTheStringByteLength) {
    auto stage = Stage();
    ASSERT_TRUE(stage);
    const char letters[] = "abcdefghjklmnopqrstuvwxyz";
    Bstr text(SysAllocStringByteLen(letters, 26));
    ASSERT_NE(nullptr, text.get());
    LONG first = 1;
    LONG third = 3;
    LONG fourth = 4;
    LONG fifth = 5;
    LONG sixth = 6;
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::StageQuery,
                           {RefI4(&first), RefBstr(text.address()), RefI4(&third), RefI4(&fourth),
                            RefI4(&fifth), RefI4(&sixth)}));
    const SimCall call = LastCall();
    EXPECT_EQ(6, call.argCount);
    EXPECT_EQ(VT_I4 | VT_BYREF, call.argType[0]);
    EXPECT_EQ(VT_BSTR | VT_BYREF, call.argType[1]);
    EXPECT_EQ(VT_I4 | VT_BYREF, call.argType[5]);
    EXPECT_EQ(1.0, call.argValue[0]);
    EXPECT_EQ(26.0, call.argValue[1]);
    EXPECT_EQ(6.0, call.argValue[5]);
    EXPECT_STREQ(letters, call.text);
    ASSERT_NE(nullptr, text.get());
    EXPECT_EQ(26u, SysStringByteLen(text.get()));

    UINT argError = 99;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(stage.Get(), StageMember::StageQuery, DISPATCH_METHOD,
                                          {RefI4(&first), RefI4(&first), RefI4(&third),
                                           RefI4(&fourth), RefI4(&fifth), RefI4(&sixth)},
                                          nullptr, &argError));
    EXPECT_EQ(4u, argError);
}

TEST_F(SimTest, BusyLastsTheConfiguredNumberOfPolls) {
    auto scan = Scan();
    auto stage = Stage();
    ASSERT_TRUE(scan && stage);
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(10.0), ArgR8(10.0)}));
    EXPECT_EQ(0, Busy(scan.Get()));

    Sim().SetBusyPolls(3);
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::StepX, {ArgR8(10.0)}));
    std::vector<LONG> seen;
    for (int i = 0; i < 5; ++i) {
        seen.push_back(Busy(scan.Get()));
    }
    EXPECT_EQ((std::vector<LONG>{1, 1, 1, 0, 0}), seen);

    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::ScanCommand));
    EXPECT_EQ(1, Busy(scan.Get()));
    EXPECT_EQ(1, Busy(scan.Get()));
    EXPECT_EQ(1, Busy(scan.Get()));
    EXPECT_EQ(0, Busy(scan.Get()));

    // Shutters and the origin do not move anything.
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::SetShutter, {ArgI4(1), ArgI4(1)}));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::SetXY, {ArgR8(0.0), ArgR8(0.0)}));
    EXPECT_EQ(0, Busy(scan.Get()));
    EXPECT_EQ(11, Sim().BusyPollCount());
}

TEST_F(SimTest, BusyForeverNeverClears) {
    auto scan = Scan();
    ASSERT_TRUE(scan);
    Sim().SetBusyForever(TRUE);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(1, Busy(scan.Get())) << "poll " << i;
    }
    Sim().SetBusyForever(FALSE);
    EXPECT_EQ(0, Busy(scan.Get()));
    EXPECT_EQ(51, Sim().BusyPollCount());
}

TEST_F(SimTest, TimedBusyLastsDistanceOverSpeed) {
    auto scan = Scan();
    auto stage = Stage();
    ASSERT_TRUE(scan && stage);
    Sim().SetBusyPolls(-1);
    Sim().SetMotionSpeed(1000.0);
    const DWORD start = GetTickCount();
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(2000.0), ArgR8(500.0)}));
    EXPECT_EQ(1, Busy(scan.Get()));
    while (Busy(scan.Get()) != 0 && GetTickCount() - start < 20000) {
        Sleep(20);
    }
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 1900u);
    EXPECT_LT(elapsed, 20000u);

    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(2000.0), ArgR8(500.0)}));
    EXPECT_EQ(0, Busy(scan.Get()));
}

TEST_F(SimTest, FaultedMembersReturnTheirResultWithoutActing) {
    auto scan = Scan();
    auto stage = Stage();
    ASSERT_TRUE(scan && stage);
    Sim().SetFault(SimStage, StageMember::MoveXY.dispid, E_FAIL);
    Sim().SetFault(SimScan, ScanMember::GetBusy.dispid, RPC_E_DISCONNECTED);
    Sim().SetBusyForever(TRUE);

    EXPECT_EQ(E_FAIL, Method(stage.Get(), StageMember::MoveXY, {ArgR8(5.0), ArgR8(6.0)}));
    EXPECT_EQ(std::make_pair(0.0, 0.0), ModelXY());
    const SimCall call = LastCall();
    EXPECT_EQ(E_FAIL, call.result);
    EXPECT_EQ(5.0, call.argValue[0]);
    LONG busy = 77;
    EXPECT_EQ(RPC_E_DISCONNECTED, Method(scan.Get(), ScanMember::GetBusy, {RefI4(&busy)}));
    EXPECT_EQ(77, busy);
    EXPECT_EQ(0, Sim().BusyPollCount());

    // A fault belongs to one member of one kind.
    EXPECT_EQ(S_OK, Method(stage.Get(), StageMember::StepX, {ArgR8(1.0)}));
    EXPECT_EQ(S_OK, Invoke(stage.Get(), StageMember::Speed, DISPATCH_PROPERTYPUT, {ArgR8(3.0)}));

    Sim().SetFault(SimStage, StageMember::MoveXY.dispid, S_OK);
    EXPECT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(5.0), ArgR8(6.0)}));
    EXPECT_EQ(std::make_pair(5.0, 6.0), ModelXY());
}

TEST_F(SimTest, ASlowMemberAnswersLateAndStillActs) {
    auto scan = Scan();
    auto stage = Stage();
    ASSERT_TRUE(scan && stage);
    constexpr DWORD kDelayMs = 300;
    Sim().SetAnswerDelay(SimScan, ScanMember::GetBusy.dispid, kDelayMs);
    const auto took = [](auto&& call) {
        const DWORD start = GetTickCount();
        call();
        return GetTickCount() - start;
    };
    EXPECT_GE(took([&] { EXPECT_EQ(0, Busy(scan.Get())); }), kDelayMs - 20);
    EXPECT_EQ(1, Sim().BusyPollCount()) << "the late answer is a poll like any other";
    EXPECT_LT(took([&] { ReadXY(stage.Get()); }), kDelayMs / 2) << "only that member is slow";
    Sim().SetAnswerDelay(SimScan, ScanMember::GetBusy.dispid, 0);
    EXPECT_LT(took([&] { Busy(scan.Get()); }), kDelayMs / 2);
    Sim().SetAnswerDelay(SimScan, ScanMember::GetBusy.dispid, kDelayMs);
    Sim().Reset();
    EXPECT_LT(took([&] { Busy(scan.Get()); }), kDelayMs / 2) << "SimReset clears it";
}

TEST_F(SimTest, ResetRestoresTheStartingState) {
    auto scan = Scan();
    auto stage = Stage();
    ASSERT_TRUE(scan && stage);
    LONG port = 1;
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::OpenPort, {RefI4(&port)}));
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::SetShutter, {ArgI4(1), ArgI4(1)}));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(40.0), ArgR8(30.0)}));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::SetXY, {ArgR8(1.0), ArgR8(1.0)}));
    ASSERT_EQ(S_OK, Invoke(stage.Get(), StageMember::Speed, DISPATCH_PROPERTYPUT, {ArgR8(3.0)}));
    Busy(scan.Get());
    Sim().SetTravel(10.0, 10.0);
    Sim().SetFault(SimStage, StageMember::StepX.dispid, E_FAIL);
    Sim().SetOpenablePorts(0);
    Sim().SetBusyPolls(5);
    Sim().SetBusyForever(TRUE);

    Sim().Reset();
    EXPECT_EQ(2, Sim().LiveObjects());
    EXPECT_EQ(0, Sim().JournalCount());
    EXPECT_FALSE(Sim().IsLinkOpen());
    EXPECT_EQ(-1, Sim().LastOpenedPort());
    EXPECT_EQ(-1, Sim().ShutterState(1));
    EXPECT_EQ(0.0, Sim().StageSpeed());
    EXPECT_EQ(0, Sim().BusyPollCount());
    EXPECT_EQ(std::make_pair(0.0, 0.0), ModelXY());
    Variant travel;
    ASSERT_EQ(S_OK,
              Invoke(stage.Get(), StageMember::TravelX, DISPATCH_PROPERTYGET, {}, travel.get()));
    EXPECT_EQ(100000.0, travel->dblVal);
    EXPECT_EQ(S_OK, Method(stage.Get(), StageMember::StepX, {ArgR8(2.0)}));
    EXPECT_EQ(std::make_pair(2.0, 0.0), ModelXY());
    EXPECT_EQ(0, Busy(scan.Get()));
    port = 4;
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::OpenPort, {RefI4(&port)}));
    EXPECT_EQ(0, port);
    port = 5;
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::OpenPort, {RefI4(&port)}));
    EXPECT_LT(port, 0);
}

TEST_F(SimTest, JournalKeepsTheNewestCallsUpToItsLimit) {
    auto scan = Scan();
    ASSERT_TRUE(scan);
    constexpr int kLimit = 100000;
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::ClosePort));
    for (int i = 0; i < kLimit; ++i) {
        ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::SetShutter, {ArgI4(3), ArgI4(i % 2)}));
    }
    ASSERT_EQ(S_OK, Method(scan.Get(), ScanMember::SetShutter, {ArgI4(2), ArgI4(1)}));
    EXPECT_EQ(kLimit, Sim().JournalCount());
    SimCall call{};
    ASSERT_TRUE(Sim().JournalEntry(0, &call));
    EXPECT_EQ(ScanMember::SetShutter.dispid, call.dispid) << "the oldest call went";
    EXPECT_EQ(1.0, call.argValue[1]);
    EXPECT_EQ(2.0, LastCall().argValue[0]);
}

// A waiting loop's polls are one entry, counted, so that a long wait keeps
// the move that started it, as the driver's trace counts repeated lines.
TEST_F(SimTest, JournalCountsARunOfTheSamePollInOneEntry) {
    auto scan = Scan();
    auto stage = Stage();
    ASSERT_TRUE(scan && stage);
    Sim().SetBusyPolls(250000);
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(10), ArgR8(20)}));
    for (int i = 0; i < 250000; ++i) {
        Busy(scan.Get());
    }
    EXPECT_EQ(0, Busy(scan.Get()));
    // The same poll with another result starts an entry of its own.
    Sim().SetFault(SimScan, ScanMember::GetBusy.dispid, E_FAIL);
    LONG busy = -7;
    EXPECT_EQ(E_FAIL, Method(scan.Get(), ScanMember::GetBusy, {RefI4(&busy)}));
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(10), ArgR8(20)}));
    const std::vector<SimCall> calls = Journal();
    ASSERT_EQ(4u, calls.size()) << "the move, the polls, the refused poll, the next move";
    EXPECT_EQ(StageMember::MoveXY.dispid, calls[0].dispid);
    EXPECT_EQ(0u, calls[0].repeats);
    EXPECT_EQ(ScanMember::GetBusy.dispid, calls[1].dispid);
    EXPECT_EQ(250000u, calls[1].repeats) << "every poll after the first counted";
    EXPECT_EQ(ScanMember::GetBusy.dispid, calls[2].dispid);
    EXPECT_EQ(E_FAIL, calls[2].result);
    EXPECT_EQ(0u, calls[2].repeats);
    EXPECT_EQ(StageMember::MoveXY.dispid, calls[3].dispid) << "a move after a poll is not a repeat";
}

TEST_F(SimTest, ReferencesBalanceAndFactoriesAreNotCounted) {
    EXPECT_EQ(S_OK, Sim().CanUnloadNow());
    {
        std::vector<ComPtr<IDispatch>> objects;
        for (const SimObject& object : kSimObjects) {
            objects.push_back(CreateByProgId(object.progId));
            ASSERT_TRUE(objects.back()) << object.members->objectName;
        }
        const int count = static_cast<int>(objects.size());
        EXPECT_EQ(count, Sim().LiveObjects());
        EXPECT_EQ(count, Sim().OutstandingRefs());
        EXPECT_EQ(S_FALSE, Sim().CanUnloadNow());
        for (int i = 0; i < count; ++i) {
            const SimObject& object = kSimObjects[i];
            SCOPED_TRACE(object.members->objectName);
            ComPtr<IUnknown> unknown;
            ASSERT_EQ(S_OK, objects[i].As(&unknown));
            EXPECT_EQ(count + 1, Sim().OutstandingRefs());
            ComPtr<IClassFactory> wrong;
            EXPECT_EQ(E_NOINTERFACE, objects[i].As(&wrong));
            EXPECT_EQ(count + 1, Sim().OutstandingRefs());
            // Calls, also refused and faulted ones, take no lasting reference.
            for (const ServerMember* member : MembersOf(*object.members)) {
                const WORD flags = OwnFlags(member->kind);
                DeclaredCall call(*member);
                std::vector<VARIANTARG> more = call.args;
                more.push_back(ArgI4(1));
                EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(objects[i].Get(), *member, flags, more));
                if (member->argCount > 0) {
                    LONG i4 = 1;
                    double r8 = 1.0;
                    std::vector<VARIANTARG> mistyped = call.args;
                    mistyped[0] = WrongArguments(member->argTypes[0], &i4, &r8)[0];
                    EXPECT_EQ(DISP_E_TYPEMISMATCH,
                              Invoke(objects[i].Get(), *member, flags, mistyped));
                }
                Sim().SetFault(object.kind, member->dispid, DISP_E_EXCEPTION);
                EXPECT_EQ(DISP_E_EXCEPTION, Invoke(objects[i].Get(), *member, flags, call.args));
                Sim().SetFault(object.kind, member->dispid, S_OK);
                EXPECT_EQ(S_OK, Invoke(objects[i].Get(), *member, flags, call.args));
            }
            EXPECT_EQ(count + 1, Sim().OutstandingRefs());
        }
    }
    EXPECT_EQ(0, Sim().LiveObjects());
    EXPECT_EQ(0, Sim().OutstandingRefs());
    EXPECT_EQ(S_OK, Sim().CanUnloadNow());

    CLSID scanId{};
    ASSERT_EQ(S_OK, Sim().GetClassId(SimScan, &scanId));
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK,
              CoGetClassObject(scanId, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &factory));
    EXPECT_EQ(0, Sim().LiveObjects());
    ASSERT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(S_FALSE, Sim().CanUnloadNow());
    ASSERT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(S_OK, Sim().CanUnloadNow());

    ComPtr<IUnknown> outer;
    ASSERT_EQ(S_OK, factory.As(&outer));
    ComPtr<IDispatch> made;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.Get(), IID_IUnknown, &made));
    EXPECT_EQ(0, Sim().LiveObjects());
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, &made));
    EXPECT_EQ(1, Sim().LiveObjects());
    EXPECT_EQ(1, Sim().OutstandingRefs());
    made.Reset();
    EXPECT_EQ(S_OK, Sim().CanUnloadNow());
}

TEST_F(SimTest, ObjectMadeWithoutComServesFromTheRunningObjectTable) {
    // Not ComPtr::Attach: MinGW's adds a reference where WRL's takes one over.
    ComPtr<IDispatch> object;
    ASSERT_EQ(S_OK, Sim().CreateObject(SimStage, &object));
    EXPECT_EQ(1, Sim().LiveObjects());
    EXPECT_EQ(1, Sim().OutstandingRefs());

    CLSID stageId{};
    ASSERT_EQ(S_OK, Sim().GetClassId(SimStage, &stageId));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, RegisterActiveObject(object.Get(), stageId, ACTIVEOBJECT_STRONG, &cookie));
    {
        ComPtr<IUnknown> active;
        ASSERT_EQ(S_OK, GetActiveObject(stageId, nullptr, &active));
        ComPtr<IDispatch> dispatch;
        ASSERT_EQ(S_OK, active.As(&dispatch));
        ASSERT_EQ(S_OK, Method(dispatch.Get(), StageMember::MoveXY, {ArgR8(12.0), ArgR8(34.0)}));
        EXPECT_EQ(std::make_pair(12.0, 34.0), ModelXY());
        EXPECT_EQ(1, Sim().LiveObjects());
    }
    ASSERT_EQ(S_OK, RevokeActiveObject(cookie, nullptr));
    EXPECT_EQ(1, Sim().OutstandingRefs());
}

TEST_F(SimTest, FocusFollowsMovesAndSteps) {
    auto focus = Focus();
    auto stage = Stage();
    ASSERT_TRUE(focus && stage);
    EXPECT_EQ(0.0, FocusPosition(focus.Get()));
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::MoveTo, {ArgR8(1334.0)}));
    EXPECT_EQ(1334.0, FocusPosition(focus.Get()));
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::StepPositive, {ArgR8(5.5)}));
    EXPECT_EQ(1339.5, FocusPosition(focus.Get()));
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::StepNegative, {ArgR8(2.0)}));
    EXPECT_EQ(1337.5, FocusPosition(focus.Get()));
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::StepPositive, {ArgR8(0.0)}));
    EXPECT_EQ(1337.5, Sim().FocusPosition());
    // A distance is taken with its sign as sent.
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::StepNegative, {ArgR8(-1.0)}));
    EXPECT_EQ(1338.5, Sim().FocusPosition());
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::MoveTo, {ArgR8(-250.25)}));
    EXPECT_EQ(-250.25, Sim().FocusPosition());

    Sim().SetFocusPosition(2.999);
    EXPECT_EQ(2.999, FocusPosition(focus.Get()));
    // The focus is an axis of its own, shared by every focus object.
    EXPECT_EQ(std::make_pair(0.0, 0.0), ModelXY());
    ASSERT_EQ(S_OK, Method(stage.Get(), StageMember::MoveXY, {ArgR8(7.0), ArgR8(8.0)}));
    EXPECT_EQ(2.999, Sim().FocusPosition());
    auto other = Focus();
    ASSERT_TRUE(other);
    ASSERT_EQ(S_OK, Method(other.Get(), FocusMember::StepNegative, {ArgR8(0.999)}));
    EXPECT_EQ(2.0, FocusPosition(focus.Get()));
    EXPECT_EQ(std::make_pair(7.0, 8.0), ModelXY());
}

TEST_F(SimTest, FocusMotionIsBusyForTheConfiguredPolls) {
    auto scan = Scan();
    auto focus = Focus();
    ASSERT_TRUE(scan && focus);
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::MoveTo, {ArgR8(10.0)}));
    EXPECT_EQ(0, Busy(scan.Get()));

    Sim().SetBusyPolls(2);
    for (const ServerMember* member :
         {&FocusMember::MoveTo, &FocusMember::StepPositive, &FocusMember::StepNegative}) {
        ASSERT_EQ(S_OK, Method(focus.Get(), *member, {ArgR8(4.0)}));
        std::vector<LONG> seen;
        for (int i = 0; i < 4; ++i) {
            seen.push_back(Busy(scan.Get()));
        }
        EXPECT_EQ((std::vector<LONG>{1, 1, 0, 0}), seen) << member->name;
    }
    // A step by nothing is still a command the controller carries out.
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::StepPositive, {ArgR8(0.0)}));
    EXPECT_EQ(1, Busy(scan.Get()));
    EXPECT_EQ(1, Busy(scan.Get()));
    EXPECT_EQ(0, Busy(scan.Get()));

    // Reading and placing the focus moves nothing.
    FocusPosition(focus.Get());
    Sim().SetFocusPosition(50.0);
    EXPECT_EQ(0, Busy(scan.Get()));
    EXPECT_EQ(17, Sim().BusyPollCount());
}

TEST_F(SimTest, TimedFocusBusyLastsDistanceOverSpeed) {
    auto scan = Scan();
    auto focus = Focus();
    ASSERT_TRUE(scan && focus);
    Sim().SetBusyPolls(-1);
    Sim().SetMotionSpeed(1000.0);
    Sim().SetFocusPosition(-500.0);
    DWORD start = GetTickCount();
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::MoveTo, {ArgR8(1500.0)}));
    EXPECT_EQ(1, Busy(scan.Get()));
    while (Busy(scan.Get()) != 0 && GetTickCount() - start < 20000) {
        Sleep(20);
    }
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 1900u);
    EXPECT_LT(elapsed, 20000u);

    start = GetTickCount();
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::StepNegative, {ArgR8(600.0)}));
    EXPECT_EQ(1, Busy(scan.Get()));
    while (Busy(scan.Get()) != 0 && GetTickCount() - start < 20000) {
        Sleep(20);
    }
    elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 550u);
    EXPECT_LT(elapsed, 20000u);
    EXPECT_EQ(900.0, Sim().FocusPosition());

    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::MoveTo, {ArgR8(900.0)}));
    EXPECT_EQ(0, Busy(scan.Get()));
}

TEST_F(SimTest, WheelCountsAreSixteenBitValuesPerWheel) {
    auto filter = Filter();
    ASSERT_TRUE(filter);
    EXPECT_EQ(10, WheelCount(filter.Get(), 1));
    EXPECT_EQ(10, Sim().WheelPositionCount(1));
    const std::pair<int, int> counts[] = {{2, 8},      {3, -3},      {4, 12}, {5, 32767},
                                          {6, -32768}, {7, 0x18005}, {10, 0}, {11, 255}};
    for (const auto& [wheel, count] : counts) {
        Sim().SetWheelPositionCount(wheel, count);
    }
    EXPECT_EQ(10, WheelCount(filter.Get(), 1));
    EXPECT_EQ(8, WheelCount(filter.Get(), 2));
    EXPECT_EQ(-3, WheelCount(filter.Get(), 3));
    EXPECT_EQ(12, WheelCount(filter.Get(), 4, kMethodOrGet));
    EXPECT_EQ(32767, WheelCount(filter.Get(), 5));
    EXPECT_EQ(-32768, WheelCount(filter.Get(), 6));
    // Only 16 bits travel: 0x18005 arrives as 0x8005.
    EXPECT_EQ(-32763, WheelCount(filter.Get(), 7));
    EXPECT_EQ(-32763, Sim().WheelPositionCount(7));
    EXPECT_EQ(0, WheelCount(filter.Get(), 10));
    EXPECT_EQ(255, WheelCount(filter.Get(), 11));
    EXPECT_EQ(-3, Sim().WheelPositionCount(3));

    // Numbers no wheel has are answered too.
    EXPECT_EQ(10, WheelCount(filter.Get(), 0));
    EXPECT_EQ(10, WheelCount(filter.Get(), -1));
    EXPECT_EQ(10, WheelCount(filter.Get(), 0x7FFFFFFF));
    Sim().SetWheelPositionCount(-1, 4);
    EXPECT_EQ(4, WheelCount(filter.Get(), -1));
}

TEST_F(SimTest, WheelsKeepTheirLastPosition) {
    auto scan = Scan();
    auto filter = Filter();
    ASSERT_TRUE(scan && filter);
    Sim().SetBusyPolls(3);
    EXPECT_EQ(-1, Sim().WheelPosition(1));
    ASSERT_EQ(S_OK, Method(filter.Get(), FilterMember::MoveWheel, {ArgI4(1), ArgI4(4)}));
    EXPECT_EQ(4, Sim().WheelPosition(1));
    EXPECT_EQ(-1, Sim().WheelPosition(2));
    ASSERT_EQ(S_OK, Method(filter.Get(), FilterMember::HomeWheel, {ArgI4(1)}));
    EXPECT_EQ(1, Sim().WheelPosition(1));
    ASSERT_EQ(S_OK, Method(filter.Get(), FilterMember::HomeWheel, {ArgI4(3)}));
    EXPECT_EQ(1, Sim().WheelPosition(3));
    // Positions beyond the count, and wheels no controller has, are kept as sent.
    ASSERT_EQ(S_OK, Method(filter.Get(), FilterMember::MoveWheel, {ArgI4(2), ArgI4(12)}));
    EXPECT_EQ(12, Sim().WheelPosition(2));
    ASSERT_EQ(S_OK, Method(filter.Get(), FilterMember::MoveWheel, {ArgI4(0), ArgI4(-7)}));
    EXPECT_EQ(-7, Sim().WheelPosition(0));
    ASSERT_EQ(S_OK, Method(filter.Get(), FilterMember::MoveWheel, {ArgI4(-5), ArgI4(2)}));
    EXPECT_EQ(2, Sim().WheelPosition(-5));
    ASSERT_EQ(S_OK, Method(filter.Get(), FilterMember::HomeWheel, {ArgI4(100000)}));
    EXPECT_EQ(1, Sim().WheelPosition(100000));
    EXPECT_EQ(-1, Sim().WheelPosition(4));
    EXPECT_EQ(1, Sim().WheelPosition(1));
    // Wheels turn without making the controller busy.
    EXPECT_EQ(0, Busy(scan.Get()));
    EXPECT_EQ(10, WheelCount(filter.Get(), 2));
}

TEST_F(SimTest, FocusAndFilterCallsAreJournaledAndTraced) {
    auto focus = Focus();
    auto filter = Filter();
    ASSERT_TRUE(focus && filter);
    Sim().JournalClear();
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::MoveTo, {ArgR8(1334.0)}));
    FocusPosition(focus.Get());
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::StepNegative, {ArgR8(5.0)}));
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::StepPositive, {ArgR8(0.0)}));
    WheelCount(filter.Get(), 2);
    ASSERT_EQ(S_OK, Method(filter.Get(), FilterMember::MoveWheel, {ArgI4(1), ArgI4(4)}));
    ASSERT_EQ(S_OK, Method(filter.Get(), FilterMember::HomeWheel, {ArgI4(3)}));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Method(filter.Get(), FilterMember::HomeWheel, {ArgR8(3.5)}));

    const std::vector<std::string> expected = {"focus.MoveTo(1334)",
                                               "focus.Position?",
                                               "focus.StepNegative(5)",
                                               "focus.StepPositive(0)",
                                               "filter.WheelPositionCount?(2)",
                                               "filter.MoveWheel(1,4)",
                                               "filter.HomeWheel(3)",
                                               "filter.HomeWheel(3.5)"};
    EXPECT_EQ(expected, Trace());

    SimCall call{};
    ASSERT_TRUE(Sim().JournalEntry(0, &call));
    EXPECT_EQ(SimFocus, call.object);
    EXPECT_EQ(FocusMember::MoveTo.dispid, call.dispid);
    EXPECT_EQ(DISPATCH_METHOD, call.kind);
    EXPECT_EQ(1, call.argCount);
    EXPECT_EQ(VT_R8, call.argType[0]);
    EXPECT_EQ(1334.0, call.argValue[0]);
    EXPECT_EQ(S_OK, call.result);

    ASSERT_TRUE(Sim().JournalEntry(1, &call));
    EXPECT_EQ(SimFocus, call.object);
    EXPECT_EQ(FocusMember::Position.dispid, call.dispid);
    EXPECT_EQ(DISPATCH_PROPERTYGET, call.kind);
    EXPECT_EQ(0, call.argCount);

    ASSERT_TRUE(Sim().JournalEntry(4, &call));
    EXPECT_EQ(SimFilter, call.object);
    EXPECT_EQ(FilterMember::WheelPositionCount.dispid, call.dispid);
    EXPECT_EQ(DISPATCH_PROPERTYGET, call.kind);
    EXPECT_EQ(1, call.argCount);
    EXPECT_EQ(VT_I4, call.argType[0]);
    EXPECT_EQ(2.0, call.argValue[0]);

    ASSERT_TRUE(Sim().JournalEntry(5, &call));
    EXPECT_EQ(FilterMember::MoveWheel.dispid, call.dispid);
    EXPECT_EQ(2, call.argCount);
    EXPECT_EQ(VT_I4, call.argType[1]);
    EXPECT_EQ(1.0, call.argValue[0]);
    EXPECT_EQ(4.0, call.argValue[1]);

    EXPECT_EQ(DISP_E_TYPEMISMATCH, LastCall().result);
    EXPECT_EQ(8, Sim().JournalCount());
}

TEST_F(SimTest, AClassTakenAwayCannotBeBoundWhileTheOthersCan) {
    CLSID focusId{};
    ASSERT_EQ(S_OK, Sim().GetClassId(SimFocus, &focusId));
    ASSERT_EQ(S_OK, Sim().SetClassRegistered(SimFocus, FALSE));
    CLSID found{};
    EXPECT_TRUE(FAILED(CLSIDFromProgID(L"tolvo.Z", &found)));
    EXPECT_TRUE(RegisteredServer(focusId).empty());
    ComPtr<IDispatch> object;
    EXPECT_EQ(REGDB_E_CLASSNOTREG,
              CoCreateInstance(focusId, nullptr, CLSCTX_ALL, IID_IDispatch, &object));
    EXPECT_EQ(nullptr, object.Get());
    EXPECT_EQ(0, Sim().LiveObjects());
    {
        auto scan = Scan();
        auto stage = Stage();
        auto filter = Filter();
        EXPECT_TRUE(scan && stage && filter);
        EXPECT_EQ(3, Sim().LiveObjects());
    }
    // Taking it away twice is no error.
    EXPECT_EQ(S_OK, Sim().SetClassRegistered(SimFocus, FALSE));

    ASSERT_EQ(S_OK, Sim().SetClassRegistered(SimFocus, TRUE));
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"tolvo.Z", &found));
    EXPECT_TRUE(IsEqualCLSID(focusId, found));
    EXPECT_TRUE(IsThisModule(RegisteredServer(focusId)));
    auto focus = Focus();
    ASSERT_TRUE(focus);
    EXPECT_EQ(S_OK, Method(focus.Get(), FocusMember::MoveTo, {ArgR8(3.0)}));
    EXPECT_EQ(3.0, Sim().FocusPosition());
}

TEST_F(SimTest, ResetRegistersAgainWhatWasTakenAway) {
    ASSERT_EQ(S_OK, Sim().SetClassRegistered(SimFilter, FALSE));
    ASSERT_EQ(S_OK, Sim().SetClassRegistered(SimScan, FALSE));
    CLSID found{};
    EXPECT_TRUE(FAILED(CLSIDFromProgID(L"tolvo.filter", &found)));
    EXPECT_TRUE(FAILED(CLSIDFromProgID(L"tolvo.scan", &found)));
    EXPECT_EQ(S_OK, CLSIDFromProgID(L"tolvo.stage", &found));

    Sim().Reset();
    for (const auto& [kind, progId, members] : kSimObjects) {
        CLSID expected{};
        ASSERT_EQ(S_OK, Sim().GetClassId(kind, &expected));
        ASSERT_EQ(S_OK, CLSIDFromProgID(progId, &found)) << kind;
        EXPECT_TRUE(IsEqualCLSID(expected, found)) << kind;
        EXPECT_TRUE(IsThisModule(RegisteredServer(found))) << kind;
    }
    auto filter = Filter();
    auto scan = Scan();
    EXPECT_TRUE(filter && scan);
}

TEST_F(SimTest, ACreationFaultFailsTheFactoryOfThatKindOnly) {
    CLSID filterId{};
    ASSERT_EQ(S_OK, Sim().GetClassId(SimFilter, &filterId));
    Sim().SetCreationFault(SimFilter, CO_E_SERVER_EXEC_FAILURE);
    CLSID found{};
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"tolvo.filter", &found));
    EXPECT_TRUE(IsEqualCLSID(filterId, found));
    ComPtr<IDispatch> object;
    EXPECT_EQ(CO_E_SERVER_EXEC_FAILURE,
              CoCreateInstance(filterId, nullptr, CLSCTX_ALL, IID_IDispatch, &object));
    EXPECT_EQ(nullptr, object.Get());
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(CO_E_SERVER_EXEC_FAILURE,
              CoCreateInstance(filterId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &unknown));
    EXPECT_EQ(0, Sim().LiveObjects());
    EXPECT_EQ(0, Sim().OutstandingRefs());
    {
        auto scan = Scan();
        auto stage = Stage();
        auto focus = Focus();
        EXPECT_TRUE(scan && stage && focus);
        // The running object table route does not go through the factory.
        ComPtr<IDispatch> direct;
        EXPECT_EQ(S_OK, Sim().CreateObject(SimFilter, &direct));
        EXPECT_EQ(4, Sim().LiveObjects());
    }

    // A success code clears the fault.
    Sim().SetCreationFault(SimFilter, S_FALSE);
    ASSERT_EQ(S_OK, CoCreateInstance(filterId, nullptr, CLSCTX_ALL, IID_IDispatch, &object));
    EXPECT_EQ(1, Sim().LiveObjects());
    object.Reset();

    CLSID focusId{};
    ASSERT_EQ(S_OK, Sim().GetClassId(SimFocus, &focusId));
    Sim().SetCreationFault(SimFocus, E_OUTOFMEMORY);
    EXPECT_EQ(E_OUTOFMEMORY,
              CoCreateInstance(focusId, nullptr, CLSCTX_ALL, IID_IDispatch, &object));
    Sim().SetCreationFault(SimFocus, S_OK);
    ASSERT_EQ(S_OK, CoCreateInstance(focusId, nullptr, CLSCTX_ALL, IID_IDispatch, &object));
    object.Reset();
    Sim().SetCreationFault(SimFocus, E_OUTOFMEMORY);
    Sim().Reset();
    ASSERT_EQ(S_OK, CoCreateInstance(focusId, nullptr, CLSCTX_ALL, IID_IDispatch, &object));
}

TEST_F(SimTest, ResetRestoresFocusWheelsAndFactories) {
    auto focus = Focus();
    auto filter = Filter();
    ASSERT_TRUE(focus && filter);
    ASSERT_EQ(S_OK, Method(focus.Get(), FocusMember::MoveTo, {ArgR8(40.0)}));
    ASSERT_EQ(S_OK, Method(filter.Get(), FilterMember::MoveWheel, {ArgI4(2), ArgI4(5)}));
    Sim().SetWheelPositionCount(2, 6);
    Sim().SetFault(SimFocus, FocusMember::MoveTo.dispid, DISP_E_EXCEPTION);
    Sim().SetCreationFault(SimStage, E_FAIL);

    Sim().Reset();
    EXPECT_EQ(2, Sim().LiveObjects());
    EXPECT_EQ(0.0, Sim().FocusPosition());
    EXPECT_EQ(-1, Sim().WheelPosition(2));
    EXPECT_EQ(10, Sim().WheelPositionCount(2));
    EXPECT_EQ(10, WheelCount(filter.Get(), 2));
    EXPECT_EQ(S_OK, Method(focus.Get(), FocusMember::MoveTo, {ArgR8(7.0)}));
    EXPECT_EQ(7.0, FocusPosition(focus.Get()));
    auto stage = Stage();
    EXPECT_TRUE(stage);
}

} // namespace
