// The type library the module embeds: it must describe every class of the object map, make the
// dual interfaces invokable and keep every interface's vtable slots where the callers expect them,
// since the type-library marshaller builds its proxies from these descriptions.
#include <gtest/gtest.h>

#include <string>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "VarnokP3.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "tests/module/ServerClasses.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestPaths.h"

namespace {

// Owners of the descriptions ITypeInfo lends out; each must go back to the type info that gave it.
class TypeAttr {
public:
    explicit TypeAttr(ITypeInfo* info) : info_(info) {
        if (FAILED(info_->GetTypeAttr(&attr_))) attr_ = nullptr;
    }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() {
        if (attr_) info_->ReleaseTypeAttr(attr_);
    }
    const TYPEATTR* operator->() const { return attr_; }
    explicit operator bool() const { return attr_ != nullptr; }

private:
    ITypeInfo* info_;
    TYPEATTR* attr_ = nullptr;
};

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

class TypeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HR(S_OK, ::LoadTypeLibEx(vtest::FileBesideProgram(L"VarnokP3.tlb").c_str(), REGKIND_NONE,
                                        library_.Put()));
    }

    // The description of the vtable interface of `iid` (for a dual interface: the interface half).
    ql::ComPtr<ITypeInfo> VtableInfo(REFIID iid) {
        ql::ComPtr<ITypeInfo> info;
        if (FAILED(library_->GetTypeInfoOfGuid(iid, info.Put()))) return {};
        TypeAttr attr(info.Get());
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

    ql::ComPtr<ITypeLib> library_;
};

TEST_F(TypeLibraryTest, EveryClassOfTheObjectMapWithItsDefaultInterface) {
    for (const moduletest::ServerClass& c : moduletest::kServerClasses) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        ql::ComPtr<ITypeInfo> info;
        ASSERT_HR(S_OK, library_->GetTypeInfoOfGuid(c.clsid, info.Put()));
        TypeAttr attr(info.Get());
        ASSERT_TRUE(attr);
        EXPECT_EQ(TKIND_COCLASS, attr->typekind);
        EXPECT_EQ(c.name, TypeName(info.Get()));
        HREFTYPE ref = 0;
        ql::ComPtr<ITypeInfo> defaultInfo;
        ASSERT_HR(S_OK, info->GetRefTypeOfImplType(0, &ref));
        ASSERT_HR(S_OK, info->GetRefTypeInfo(ref, defaultInfo.Put()));
        EXPECT_EQ(L"I" + std::wstring(c.name), TypeName(defaultInfo.Get()));
    }
}

// Dual interfaces are invoked through ITypeInfo::Invoke; the others that cross apartments need the
// oleautomation flag so that the type-library marshaller accepts them.
TEST_F(TypeLibraryTest, MarshalableInterfaces) {
    const std::pair<IID, WORD> cases[] = {
        {__uuidof(IDtmObject), TYPEFLAG_FDUAL},
        {__uuidof(ICheckOnlineParameter), TYPEFLAG_FDUAL},
        {__uuidof(IQuelkVariablesEx), TYPEFLAG_FOLEAUTOMATION},
        {__uuidof(IFrameEvents), TYPEFLAG_FOLEAUTOMATION},
        {__uuidof(IDtm), TYPEFLAG_FOLEAUTOMATION},
        {__uuidof(IFdtCommunication), TYPEFLAG_FOLEAUTOMATION},
    };
    for (auto [iid, flag] : cases) {
        ql::ComPtr<ITypeInfo> info;
        ASSERT_HR(S_OK, library_->GetTypeInfoOfGuid(iid, info.Put()));
        TypeAttr attr(info.Get());
        ASSERT_TRUE(attr);
        EXPECT_NE(0, attr->wTypeFlags & flag) << testing::PrintToString(TypeName(info.Get()))
                                              << " type flags 0x" << std::hex << attr->wTypeFlags;
    }
}

// A method moved by one place breaks every caller that shares the table, so the last slot of each
// interface (which moves with any slot inserted or removed before it) is pinned to the position the callers
// use, and a few inner ones where overloads or placeholders could be swapped.
TEST_F(TypeLibraryTest, MethodSlots) {
    struct SlotCase {
        const IID& iid;
        const wchar_t* method;
        int slot;
    };
    const SlotCase cases[] = {
        {__uuidof(IDtm), L"PrivateDialogEnabled", 18},
        {__uuidof(IDtmOnlineParameter), L"UploadRequest", 9},
        {__uuidof(IFdtCommunicationEvents), L"OnTransactionResponse", 10},
        {__uuidof(IFdtCommunication), L"TransactionRequest", 10},
        {__uuidof(IFrameContainer), L"GetSchemaFolder", 10},
        {__uuidof(IFrameEvents), L"NotifyFunctionFinished", 20},
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
        {__uuidof(IDtmObject), L"GetActiveFunctionID", 11},
    };
    for (const SlotCase& c : cases) {
        ql::ComPtr<ITypeInfo> info = VtableInfo(c.iid);
        ASSERT_TRUE(info);
        SCOPED_TRACE(testing::PrintToString(TypeName(info.Get()) + L"::" + c.method));
        TypeAttr attr(info.Get());
        ASSERT_TRUE(attr);
        // Only the interface's own methods: IQuelkVariablesEx repeats names of IQuelkVariables.
        int slot = -1;
        for (UINT i = 0; i < attr->cFuncs && slot < 0; ++i) {
            FuncDesc desc(info.Get(), i);
            ASSERT_TRUE(desc);
            if (TypeName(info.Get(), desc->memid) == c.method)
                slot = static_cast<int>(desc->oVft / static_cast<SHORT>(sizeof(void*)));
        }
        EXPECT_EQ(c.slot, slot);
    }
}

}  // namespace
