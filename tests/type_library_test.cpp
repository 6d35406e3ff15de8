// The simulator's type library against the shared member tables: every
// object answers GetTypeInfo with a dispinterface that lists each member of
// its table by name, DISPID, call kind, argument and result types, and registration
// entered the library so that clients find it by its id.
#include "sim/type_library.h"
#include "sim_objects.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {
INVOKEKIND InvokeKind(CallKind kind) {
    return kind == CallKind::Method        ? INVOKE_FUNC
           : kind == CallKind::PropertyGet ? INVOKE_PROPERTYGET
                                           : INVOKE_PROPERTYPUT;
}

// The VARTYPE a parameter description stands for: a pointer is VT_BYREF.
VARTYPE ArgumentType(const TYPEDESC& type) {
    return type.vt == VT_PTR ? static_cast<VARTYPE>(type.lptdesc->vt | VT_BYREF) : type.vt;
}

class TypeLibraryTest : public ::testing::TestWithParam<SimObject> {
  protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

TEST_P(TypeLibraryTest, DescribesEveryMemberOfTheTable) {
    const SimObject& object = GetParam();
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(object.progId, &clsid));
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                     reinterpret_cast<void**>(dispatch.GetAddressOf())));
    UINT count = 0;
    ASSERT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, 0, info.GetAddressOf()));
    ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, 0, info.GetAddressOf()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_EQ(TKIND_DISPATCH, attributes->typekind);
    const WORD functions = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);

    const ServerInterface& table = *object.members;
    UINT matched = 0;
    for (UINT m = 0; m < table.memberCount; ++m) {
        const ServerMember& member = *table.members[m];
        SCOPED_TRACE(member.name);
        bool found = false;
        for (WORD f = 0; f < functions && !found; ++f) {
            FUNCDESC* function = nullptr;
            ASSERT_EQ(S_OK, info->GetFuncDesc(f, &function));
            if (function->memid == member.dispid && function->invkind == InvokeKind(member.kind)) {
                found = true;
                BSTR name = nullptr;
                UINT names = 0;
                EXPECT_EQ(S_OK, info->GetNames(function->memid, &name, 1, &names));
                EXPECT_STREQ(std::wstring(member.name, member.name + strlen(member.name)).c_str(),
                             name);
                SysFreeString(name);
                ASSERT_EQ(static_cast<SHORT>(member.argCount), function->cParams);
                for (UINT a = 0; a < member.argCount; ++a) {
                    EXPECT_EQ(member.argTypes[a],
                              ArgumentType(function->lprgelemdescParam[a].tdesc))
                        << "argument " << a;
                }
                // Gets answer the listed type; methods the VT_I4 nobody reads.
                VARTYPE result = member.resultType;
                if (member.kind != CallKind::PropertyGet) {
                    result = member.kind == CallKind::Method ? VT_I4 : VT_VOID;
                }
                EXPECT_EQ(result, function->elemdescFunc.tdesc.vt) << "result";
            }
            info->ReleaseFuncDesc(function);
        }
        EXPECT_TRUE(found);
        matched += found ? 1 : 0;
    }
    // Nothing beyond the table.
    EXPECT_EQ(table.memberCount, matched);
    EXPECT_EQ(table.memberCount, functions);
}

INSTANTIATE_TEST_SUITE_P(Objects, TypeLibraryTest, ::testing::ValuesIn(kSimObjects));

TEST(TypeLibraryRegistration, ClientsFindTheLibraryByItsId) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, LoadRegTypeLib(kSimTypeLibId, kSimTypeLibMajor, kSimTypeLibMinor, LANG_NEUTRAL,
                                   library.GetAddressOf()));
    BSTR name = nullptr;
    ASSERT_EQ(S_OK, library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr));
    EXPECT_STREQ(L"TolvoSim", name);
    SysFreeString(name);
    // Each class of the library is the class registered under its ProgID.
    for (const SimObject& object : kSimObjects) {
        CLSID clsid;
        ASSERT_EQ(S_OK, CLSIDFromProgID(object.progId, &clsid));
        ComPtr<ITypeInfo> coclass;
        EXPECT_EQ(S_OK, library->GetTypeInfoOfGuid(clsid, coclass.GetAddressOf()));
    }
    library.Reset();
    CoUninitialize();
}
} // namespace
