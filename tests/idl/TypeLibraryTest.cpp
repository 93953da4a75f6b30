// The type libraries: the module's own (every class of the object map and nothing of others, since
// registering it writes the Interface keys of all it holds) and the outside FDT and toolkit libraries
// that the prepared prefix registers. Their descriptions must keep every interface's vtable slots and
// DISPIDs where the callers expect them: the type-library marshaller and late-bound callers go by them.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Fdt100.h"
#include "QuelkToolkit.h"
#include "VarnokP3.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/TypeAttr.h"
#include "tests/idl/FdtStandardLayout.h"
#include "tests/module/ServerClasses.h"
#include "tests/support/ComTest.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestPaths.h"

namespace {

// Owners of the function descriptions ITypeInfo lends out; each must go back to the type info that gave it.
class FuncDesc {
public:
    FuncDesc(ITypeInfo* info, UINT index) : info_(info) {
        if (FAILED(info_->GetFuncDesc(index, &desc_))) desc_ = nullptr;
    }
    FuncDesc(const FuncDesc&) = delete;
    FuncDesc& operator=(const FuncDesc&) = delete;
    ~FuncDesc() {
        if (desc_) info_->ReleaseFuncDesc(desc_);
    }
    const FUNCDESC* operator->() const { return desc_; }
    const FUNCDESC* Get() const { return desc_; }
    explicit operator bool() const { return desc_ != nullptr; }

private:
    ITypeInfo* info_;
    FUNCDESC* desc_ = nullptr;
};

std::wstring TypeName(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
    ql::Bstr name;
    if (FAILED(info->GetDocumentation(member, name.Put(), nullptr, nullptr, nullptr))) return L"<none>";
    return std::wstring(name.View());
}

// The description of the vtable interface of `iid` in `library` (for a dual interface: the interface half).
ql::ComPtr<ITypeInfo> VtableInfo(ITypeLib* library, REFIID iid) {
    ql::ComPtr<ITypeInfo> info;
    if (FAILED(library->GetTypeInfoOfGuid(iid, info.Put()))) return {};
    ql::TypeAttr attr(info.Get());
    if (attr && attr->typekind == TKIND_DISPATCH) {
        HREFTYPE ref = 0;
        ql::ComPtr<ITypeInfo> vtable;
        if (FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) ||
            FAILED(info->GetRefTypeInfo(ref, vtable.Put())))
            return {};
        return vtable;
    }
    return info;
}

int SlotOf(const FUNCDESC& desc) { return desc.oVft / static_cast<SHORT>(sizeof(void*)); }

// A parameter type as the layout table writes it: "BSTR", "SHORT", "IDtm*" ...
std::wstring TypeText(ITypeInfo* info, const TYPEDESC& type) {
    switch (type.vt) {
        case VT_PTR:
            return TypeText(info, *type.lptdesc) + L"*";
        case VT_USERDEFINED: {
            ql::ComPtr<ITypeInfo> referenced;
            if (FAILED(info->GetRefTypeInfo(type.hreftype, referenced.Put()))) return L"<unresolved>";
            return TypeName(referenced.Get());
        }
        case VT_BSTR:
            return L"BSTR";
        case VT_BOOL:
            return L"VARIANT_BOOL";
        case VT_I2:
            return L"SHORT";
        case VT_I4:
            return L"LONG";
        case VT_UNKNOWN:
            return L"IUnknown";
        default:
            return L"vt" + std::to_wstring(type.vt);
    }
}

// The parameters of a method as the layout table writes them; the [out, retval] one as "->" and the type
// it points to.
std::wstring ParameterText(ITypeInfo* info, const FUNCDESC& desc) {
    std::wstring text;
    for (SHORT i = 0; i < desc.cParams; ++i) {
        const ELEMDESC& parameter = desc.lprgelemdescParam[i];
        if (!text.empty()) text += L' ';
        const bool retval = (parameter.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) != 0;
        if (retval && parameter.tdesc.vt == VT_PTR) {
            text += L"->" + TypeText(info, *parameter.tdesc.lptdesc);
        } else {
            text += TypeText(info, parameter.tdesc);
        }
    }
    return text;
}

HRESULT LoadOutsideLibrary(const GUID& libid, ql::ComPtr<ITypeLib>& out) {
    return ::LoadRegTypeLib(libid, 1, 0, 0x409, out.Put());
}

class ModuleTypeLibraryTest : public vtest::ComTest {};
class OutsideTypeLibraryTest : public vtest::ComTest {};

TEST_F(ModuleTypeLibraryTest, HoldsTheClassesOfTheObjectMapAndTheirInterfacesOnly) {
    ql::ComPtr<ITypeLib> library;
    ASSERT_HR(S_OK, ::LoadTypeLibEx(vtest::FileBesideProgram(L"VarnokP3.tlb").c_str(), REGKIND_NONE,
                                    library.Put()));
    std::set<std::wstring> own = {L"IDtmObject", L"IUserInfo", L"ICheckOnlineParameter"};
    for (const moduletest::ServerClass& c : moduletest::kServerClasses) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        own.insert(c.name);
        own.insert(L"I" + std::wstring(c.name));
        ql::ComPtr<ITypeInfo> info;
        ASSERT_HR(S_OK, library->GetTypeInfoOfGuid(c.clsid, info.Put()));
        ql::TypeAttr attr(info.Get());
        ASSERT_TRUE(attr);
        EXPECT_EQ(TKIND_COCLASS, attr->typekind);
        EXPECT_EQ(c.name, TypeName(info.Get()));
        HREFTYPE ref = 0;
        ql::ComPtr<ITypeInfo> defaultInfo;
        ASSERT_HR(S_OK, info->GetRefTypeOfImplType(0, &ref));
        ASSERT_HR(S_OK, info->GetRefTypeInfo(ref, defaultInfo.Put()));
        EXPECT_EQ(L"I" + std::wstring(c.name), TypeName(defaultInfo.Get()));
    }
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        ql::ComPtr<ITypeInfo> info;
        ASSERT_HR(S_OK, library->GetTypeInfo(i, info.Put()));
        EXPECT_EQ(1u, own.count(TypeName(info.Get()))) << testing::PrintToString(TypeName(info.Get()));
    }
    const ql::ComPtr<ITypeInfo> dtmObjectInfo = VtableInfo(library.Get(), __uuidof(IDtmObject));
    ASSERT_TRUE(dtmObjectInfo);
    const ql::TypeAttr dtmObject(dtmObjectInfo.Get());
    ASSERT_TRUE(dtmObject);
    EXPECT_NE(0, dtmObject->wTypeFlags & TYPEFLAG_FDUAL);
}

// The frame side's library, as the DTM loads it (for US English, which finds a real frame's 0x409
// registration as well as our neutral one; Wine's marshaller finds only a neutral one).
TEST_F(OutsideTypeLibraryTest, FdtLibraryIsRegisteredAsVersionOne) {
    ql::ComPtr<ITypeLib> library;
    ASSERT_HR(S_OK, LoadOutsideLibrary(LIBID_Fdt100, library));
    TLIBATTR* attr = nullptr;
    ASSERT_HR(S_OK, library->GetLibAttr(&attr));
    EXPECT_EQ(1, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    EXPECT_EQ(0u, attr->lcid);
    library->ReleaseTLibAttr(attr);
}

// Name, slot, DISPID, parameter count and types of every method of every FDT interface the DTM implements
// or calls, against the standard's layout (FdtStandardLayout.h); every interface dual and named as the
// standard names it, so that a frame that calls by name finds every method.
TEST_F(OutsideTypeLibraryTest, FdtInterfacesHaveTheStandardsLayout) {
    ql::ComPtr<ITypeLib> library;
    ASSERT_HR(S_OK, LoadOutsideLibrary(LIBID_Fdt100, library));
    for (const idltest::StandardInterface& standard : idltest::kFdtStandardInterfaces) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(standard.name)));
        IID iid = {};
        ASSERT_HR(S_OK, ::IIDFromString(standard.iid, &iid));
        ql::ComPtr<ITypeInfo> described;
        ASSERT_HR(S_OK, library->GetTypeInfoOfGuid(iid, described.Put()));
        EXPECT_EQ(standard.name, TypeName(described.Get()));
        {
            ql::TypeAttr attr(described.Get());
            ASSERT_TRUE(attr);
            EXPECT_NE(0, attr->wTypeFlags & TYPEFLAG_FDUAL)
                << "type flags 0x" << std::hex << attr->wTypeFlags;
        }
        ql::ComPtr<ITypeInfo> info = VtableInfo(library.Get(), iid);
        ASSERT_TRUE(info);
        ql::TypeAttr attr(info.Get());
        ASSERT_TRUE(attr);
        ASSERT_EQ(standard.methodCount, attr->cFuncs);
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            FuncDesc desc(info.Get(), i);
            ASSERT_TRUE(desc);
            const idltest::StandardMethod& expected = standard.methods[i];
            SCOPED_TRACE("slot " + std::to_string(expected.slot));
            EXPECT_EQ(expected.slot, SlotOf(*desc.Get()));
            EXPECT_EQ(expected.dispid, desc->memid);
            EXPECT_EQ(expected.parameters, ParameterText(info.Get(), *desc.Get()));
            if (expected.name) {
                EXPECT_EQ(expected.name, TypeName(info.Get(), desc->memid));
            }
        }
    }
}

// The framework interfaces: their last slots (which move with any slot inserted or removed
// before them) where the toolkit's callers expect them.
TEST_F(OutsideTypeLibraryTest, ToolkitInterfacesKeepTheirSlots) {
    struct SlotCase {
        const IID& iid;
        const wchar_t* method;
        int slot;
    };
    const SlotCase cases[] = {
        {__uuidof(IQuelkDtm), L"FrameDocumentHook", 22},
        {__uuidof(IQuelkVariables), L"WriteToDevice", 24},
        {__uuidof(IQuelkVariablesEx), L"GetValue", 32},
        {__uuidof(IQuelkVariablesEx), L"ParseUpdateRule", 40},
        {__uuidof(IQuelkVariableFields), L"SetVariableField", 10},
        {__uuidof(IQuelkValueCheck), L"CheckAndMark", 8},
        {__uuidof(IQuelkFunctions), L"GetLocalizedFunctionText", 24},
        {__uuidof(IQuelkDpv1Client), L"TextToValue", 17},
        {__uuidof(IQuelkLocalization), L"NodeExists", 12},
        {__uuidof(IQuelkControl), L"OnNotify", 14},
        {__uuidof(IQuelkControlInfo), L"InitSchemaCacheFromFrame", 9},
    };
    ql::ComPtr<ITypeLib> library;
    ASSERT_HR(S_OK, LoadOutsideLibrary(LIBID_QuelkToolkitLib, library));
    for (const SlotCase& c : cases) {
        ql::ComPtr<ITypeInfo> info = VtableInfo(library.Get(), c.iid);
        ASSERT_TRUE(info);
        SCOPED_TRACE(testing::PrintToString(TypeName(info.Get()) + L"::" + c.method));
        ql::TypeAttr attr(info.Get());
        ASSERT_TRUE(attr);
        // Only the interface's own methods: IQuelkVariablesEx repeats names of IQuelkVariables.
        int slot = -1;
        for (UINT i = 0; i < attr->cFuncs && slot < 0; ++i) {
            FuncDesc desc(info.Get(), i);
            ASSERT_TRUE(desc);
            if (TypeName(info.Get(), desc->memid) == c.method) slot = SlotOf(*desc.Get());
        }
        EXPECT_EQ(c.slot, slot);
    }
    // The store crosses to the online worker's apartment through the type-library marshaller.
    const ql::ComPtr<ITypeInfo> store = VtableInfo(library.Get(), __uuidof(IQuelkVariablesEx));
    ASSERT_TRUE(store);
    const ql::TypeAttr storeAttr(store.Get());
    ASSERT_TRUE(storeAttr);
    EXPECT_NE(0, storeAttr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
    // The toolkit's library refers to no FDT interface: those are the frame side's to register.
    ql::ComPtr<ITypeInfo> foreign;
    EXPECT_HR(TYPE_E_ELEMENTNOTFOUND, library->GetTypeInfoOfGuid(__uuidof(IDtm), foreign.Put()));
}

}  // namespace
