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

// The type library lies beside the test program (copied there by the build).
std::wstring TypeLibraryPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + L"VarnokP3.tlb";
}

class TypeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, ::LoadTypeLibEx(TypeLibraryPath().c_str(), REGKIND_NONE, library_.Put()));
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

TEST_F(TypeLibraryTest, LibraryIdAndVersion) {
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, library_->GetLibAttr(&attr));
    const GUID guid = attr->guid;
    const WORD major = attr->wMajorVerNum, minor = attr->wMinorVerNum;
    library_->ReleaseTLibAttr(attr);
    EXPECT_TRUE(IsEqualGUID(LIBID_VarnokP3Lib, guid));
    EXPECT_EQ(1, major);
    EXPECT_EQ(0, minor);
    ql::Bstr name;
    ASSERT_EQ(S_OK, library_->GetDocumentation(-1, name.Put(), nullptr, nullptr, nullptr));
    EXPECT_EQ(L"VarnokP3Lib", std::wstring(name.View()));
}

TEST_F(TypeLibraryTest, EveryClassWithItsDefaultInterface) {
    struct ClassCase {
        const wchar_t* name;
        const CLSID& clsid;
        const wchar_t* defaultInterface;
    };
    const ClassCase cases[] = {
        {L"BaseOrvo", CLSID_BaseOrvo, L"IBaseOrvo"},
        {L"Diagnosis", CLSID_Diagnosis, L"IDiagnosis"},
        {L"DtmObject", CLSID_DtmObject, L"IDtmObject"},
        {L"MeasuredValues", CLSID_MeasuredValues, L"IMeasuredValues"},
        {L"P1_Root", CLSID_P1_Root, L"IP1_Root"},
        {L"P2_PBDevInfo", CLSID_P2_PBDevInfo, L"IP2_PBDevInfo"},
        {L"P3_PBDiagnosis", CLSID_P3_PBDiagnosis, L"IP3_PBDiagnosis"},
        {L"P4_TBMassFlow", CLSID_P4_TBMassFlow, L"IP4_TBMassFlow"},
        {L"P5_TBTemp", CLSID_P5_TBTemp, L"IP5_TBTemp"},
        {L"P6_TBCal1", CLSID_P6_TBCal1, L"IP6_TBCal1"},
        {L"P7_TBCal2", CLSID_P7_TBCal2, L"IP7_TBCal2"},
        {L"P8_TBExtTS", CLSID_P8_TBExtTS, L"IP8_TBExtTS"},
        {L"P9_TBOutPut", CLSID_P9_TBOutPut, L"IP9_TBOutPut"},
        {L"Q1_AIFBFlow", CLSID_Q1_AIFBFlow, L"IQ1_AIFBFlow"},
        {L"Q2_AIFBTemp", CLSID_Q2_AIFBTemp, L"IQ2_AIFBTemp"},
        {L"Q3_AIFBTotal", CLSID_Q3_AIFBTotal, L"IQ3_AIFBTotal"},
        {L"SrvLogin", CLSID_SrvLogin, L"ISrvLogin"},
        {L"TBExtra", CLSID_TBExtra, L"ITBExtra"},
        {L"TreeFrame", CLSID_TreeFrame, L"ITreeFrame"},
        {L"Trend", CLSID_Trend, L"ITrend"},
    };
    for (const ClassCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "coclass " << std::string(c.name, c.name + wcslen(c.name)));
        ql::ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, library_->GetTypeInfoOfGuid(c.clsid, info.Put()));
        TypeAttr attr(info.Get());
        ASSERT_TRUE(attr);
        EXPECT_EQ(TKIND_COCLASS, attr->typekind);
        EXPECT_EQ(std::wstring(c.name), TypeName(info.Get()));

        HREFTYPE ref = 0;
        ql::ComPtr<ITypeInfo> defaultInfo;
        ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(0, &ref));
        ASSERT_EQ(S_OK, info->GetRefTypeInfo(ref, defaultInfo.Put()));
        EXPECT_EQ(std::wstring(c.defaultInterface), TypeName(defaultInfo.Get()));
    }
}

// Dual interfaces are invoked through ITypeInfo::Invoke; the others that cross apartments need the
// oleautomation flag so that the type-library marshaller accepts them.
TEST_F(TypeLibraryTest, MarshalableInterfaces) {
    struct FlagCase {
        const char* name;
        const IID& iid;
        WORD flag;
    };
    const FlagCase cases[] = {
        {"IDtmObject", __uuidof(IDtmObject), TYPEFLAG_FDUAL},
        {"IUserInfo", __uuidof(IUserInfo), TYPEFLAG_FDUAL},
        {"ICheckOnlineParameter", __uuidof(ICheckOnlineParameter), TYPEFLAG_FDUAL},
        {"IQuelkBusInformation", __uuidof(IQuelkBusInformation), TYPEFLAG_FDUAL},
        {"ITreeFrame", __uuidof(ITreeFrame), TYPEFLAG_FDUAL},
        {"IQuelkVariables", __uuidof(IQuelkVariables), TYPEFLAG_FOLEAUTOMATION},
        {"IQuelkVariablesEx", __uuidof(IQuelkVariablesEx), TYPEFLAG_FOLEAUTOMATION},
        {"IFrameEvents", __uuidof(IFrameEvents), TYPEFLAG_FOLEAUTOMATION},
        {"IDtmOnlineParameter", __uuidof(IDtmOnlineParameter), TYPEFLAG_FOLEAUTOMATION},
        {"IDtm", __uuidof(IDtm), TYPEFLAG_FOLEAUTOMATION},
        {"IFdtCommunication", __uuidof(IFdtCommunication), TYPEFLAG_FOLEAUTOMATION},
        {"IFdtCommunicationEvents", __uuidof(IFdtCommunicationEvents), TYPEFLAG_FOLEAUTOMATION},
        {"IQuelkControl", __uuidof(IQuelkControl), TYPEFLAG_FOLEAUTOMATION},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.name);
        ql::ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, library_->GetTypeInfoOfGuid(c.iid, info.Put()));
        TypeAttr attr(info.Get());
        ASSERT_TRUE(attr);
        EXPECT_NE(0, attr->wTypeFlags & c.flag) << "type flags 0x" << std::hex << attr->wTypeFlags;
    }
}

// A method moved by one place breaks every caller that shares the table, so the last (and a few
// inner) slots of each interface are pinned to the positions the callers use.
TEST_F(TypeLibraryTest, MethodSlots) {
    struct SlotCase {
        const char* interfaceName;
        const IID& iid;
        const wchar_t* method;
        int slot;
    };
    const SlotCase cases[] = {
        {"IDtm", __uuidof(IDtm), L"Environment", 7},
        {"IDtm", __uuidof(IDtm), L"SetCommunication", 10},
        {"IDtm", __uuidof(IDtm), L"PrivateDialogEnabled", 18},
        {"IDtmDataLock", __uuidof(IDtmDataLock), L"UnlockData", 10},
        {"IDtmDataSetCheck", __uuidof(IDtmDataSetCheck), L"ReleaseCompare", 10},
        {"IDtmOnlineParameter", __uuidof(IDtmOnlineParameter), L"UploadRequest", 9},
        {"IFdtCommunicationEvents", __uuidof(IFdtCommunicationEvents), L"OnTransactionResponse", 10},
        {"IDtmActiveXControl", __uuidof(IDtmActiveXControl), L"PrepareToRelease", 8},
        {"IFdtCommunication", __uuidof(IFdtCommunication), L"ConnectRequest", 8},
        {"IFdtCommunication", __uuidof(IFdtCommunication), L"TransactionRequest", 10},
        {"IFrameContainer", __uuidof(IFrameContainer), L"GetSchemaFolder", 10},
        {"IFrameEvents", __uuidof(IFrameEvents), L"NotifyErrorMessage", 8},
        {"IFrameEvents", __uuidof(IFrameEvents), L"NotifyDownloadFinished", 11},
        {"IFrameEvents", __uuidof(IFrameEvents), L"NotifyOnlineStateChanged", 17},
        {"IFrameEvents", __uuidof(IFrameEvents), L"NotifyFunctionFinished", 20},
        {"IFrameActiveX", __uuidof(IFrameActiveX), L"CloseActiveXControlRequest", 8},
        {"IFrameDtmAccess", __uuidof(IFrameDtmAccess), L"GetDtm", 11},
        {"IFrameDtmAccess", __uuidof(IFrameDtmAccess), L"ReleaseDtm", 14},
        {"IFrameDocument", __uuidof(IFrameDocument), L"PutDocument", 8},
        {"IQuelkDtm", __uuidof(IQuelkDtm), L"NotifyUis", 12},
        {"IQuelkDtm", __uuidof(IQuelkDtm), L"GetControllingUnknown", 21},
        {"IQuelkDtm", __uuidof(IQuelkDtm), L"FrameDocumentHook", 22},
        {"IQuelkVariables", __uuidof(IQuelkVariables), L"OnDeviceResult", 10},
        {"IQuelkVariables", __uuidof(IQuelkVariables), L"UploadParameters", 20},
        {"IQuelkVariables", __uuidof(IQuelkVariables), L"WriteToDevice", 24},
        {"IQuelkVariablesEx", __uuidof(IQuelkVariablesEx), L"ReadFromDeviceAsync", 25},
        {"IQuelkVariablesEx", __uuidof(IQuelkVariablesEx), L"GetValue", 32},
        {"IQuelkVariablesEx", __uuidof(IQuelkVariablesEx), L"ParseUpdateRule", 40},
        {"IQuelkVariableFields", __uuidof(IQuelkVariableFields), L"SetVariableField", 10},
        {"IQuelkValueCheck", __uuidof(IQuelkValueCheck), L"CheckAndMark", 8},
        {"IQuelkFunctions", __uuidof(IQuelkFunctions), L"ShowMessageVariant", 15},
        {"IQuelkFunctions", __uuidof(IQuelkFunctions), L"BroadcastNotification", 21},
        {"IQuelkFunctions", __uuidof(IQuelkFunctions), L"GetLocalizedFunctionText", 24},
        {"IQuelkDpv1Communication", __uuidof(IQuelkDpv1Communication), L"EvaluateWriteResponse", 18},
        {"IQuelkDpv1Client", __uuidof(IQuelkDpv1Client), L"TextToValue", 17},
        {"IQuelkOnlineState", __uuidof(IQuelkOnlineState), L"GoOffline", 8},
        {"IQuelkBusInformation", __uuidof(IQuelkBusInformation), L"ApplyBusInformation", 8},
        {"IQuelkLocalization", __uuidof(IQuelkLocalization), L"NodeExists", 12},
        {"IQuelkLocalizationInit", __uuidof(IQuelkLocalizationInit), L"SetLanguage", 9},
        {"IQuelkActivityLog", __uuidof(IQuelkActivityLog), L"ReportFunctionStatus", 10},
        {"IQuelkActivityLog", __uuidof(IQuelkActivityLog), L"ReportValueChange", 11},
        {"IQuelkDtmExtension", __uuidof(IQuelkDtmExtension), L"ApproveReleaseChannels", 10},
        {"IQuelkPersistExtension", __uuidof(IQuelkPersistExtension), L"GetParameterFragment", 16},
        {"IQuelkControl", __uuidof(IQuelkControl), L"Init", 11},
        {"IQuelkControl", __uuidof(IQuelkControl), L"OnNotify", 14},
        {"IQuelkControlInfo", __uuidof(IQuelkControlInfo), L"InitSchemaCacheFromFrame", 9},
        {"IQuelkControlSite", __uuidof(IQuelkControlSite), L"OnChildNotify", 7},
        {"IQuelkPageMode", __uuidof(IQuelkPageMode), L"SetOnline", 3},
        {"IQuelkPageMode", __uuidof(IQuelkPageMode), L"CompareSingleParameter", 6},
        {"IQuelkChildControl", __uuidof(IQuelkChildControl), L"DisplayValue", 11},
        {"IQuelkChildControl", __uuidof(IQuelkChildControl), L"SetParentControl", 14},
        {"IQuelkChildControl", __uuidof(IQuelkChildControl), L"FocusParameter", 15},
        {"IDtmObject", __uuidof(IDtmObject), L"CompareSingleParameter", 9},
        {"IDtmObject", __uuidof(IDtmObject), L"GetActiveFunctionID", 11},
        {"IUserInfo", __uuidof(IUserInfo), L"GetUserLevel", 7},
        {"ICheckOnlineParameter", __uuidof(ICheckOnlineParameter), L"CheckIfUpDownloadRunning", 7},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.interfaceName << "::" << std::string(c.method, c.method + wcslen(c.method)));
        ql::ComPtr<ITypeInfo> info = VtableInfo(c.iid);
        ASSERT_TRUE(info);
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
