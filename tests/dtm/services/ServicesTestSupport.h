#pragma once
// The DTM services tests' fixture and doubles: one apartment, our frame host with the project's schema
// folder, the DTM files folder redirected (the process's HKLM view is overridden, so nothing outside the
// test sees it), a fake control that records what the DTM tells it, and the FDT documents the frame sends.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "classlib/DispatchImpl.h"
#include "classlib/ComPtr.h"
#include "classlib/RegKey.h"
#include "dtm/DtmObject.h"
#include "frame/FrameHost.h"
#include "tests/support/ComTest.h"
#include "tests/support/DtmInternals.h"
#include "tests/support/HResultText.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/TestVariants.h"

namespace svctest {

inline std::wstring Text(BSTR text) { return vtest::StringOf(text); }
// The folder of the source tree's data files (TranslationFile.htm ...), as Wine reaches it.
std::wstring SourceDataFolder();
// A file of the source tree (a '/' path below it) as bytes.
std::string ReadSourceFile(const char* relativePath);
// The "x-schema" documents the frame hands the DTM.
std::wstring FunctionCallDocument(LONG functionId);
std::wstring OperationPhaseDocument(const wchar_t* phase);
std::wstring UserInformation(const wchar_t* level, const wchar_t* administrator = nullptr);
std::wstring UserMessageAnswer(const wchar_t* resultMessage);

using CTempFolder = vtest::TempFolder;

// A ProgID registered (HKLM\Software\Classes, which is what HKCR shows under Wine) with a class id and
// removed afterwards. With `keepExisting`, a ProgID that is registered already (the module registered
// itself) is used as it is and left alone.
class CProgIdRegistration {
public:
    CProgIdRegistration(const wchar_t* progId, const wchar_t* clsid, bool keepExisting = false);
    CProgIdRegistration(const CProgIdRegistration&) = delete;
    CProgIdRegistration& operator=(const CProgIdRegistration&) = delete;
    ~CProgIdRegistration();

private:
    std::wstring key_;
    bool created_ = false;
};

// A user-interface control as the DTM sees it: IQuelkControl (asked for under its second IID) and, when
// `hasControlInfo`, IQuelkControlInfo answering the function-call document it was opened with.
class CFakeControl final : public ql::ComObjectBase<CFakeControl>,
                           public ql::NoDispatchImpl<IQuelkControlCompat>,
                           public ql::NoDispatchImpl<IQuelkControlInfo> {
    QL_INTERFACE_TABLE(CFakeControl, QL_ENTRY_IID(IID_IUnknown, IQuelkControlCompat),
                       QL_ENTRY_FUNC(IID_IQuelkControlCompat, QueryControl),
                       QL_ENTRY_FUNC(IID_IQuelkControl, QueryControl),
                       QL_ENTRY_FUNC(IID_IQuelkControlInfo, QueryControlInfo))

public:
    struct Notification {
        ULONG code;
        VARTYPE type;
        LONG number;
        std::wstring text;
    };

    // What the DTM told it.
    std::vector<ULONG> states;
    std::vector<Notification> notifications;
    std::vector<ULONG> messages;
    int schemaCacheRequests = 0;
    // How it answers.
    bool answersControl = true;  // false: it no longer answers IQuelkControl (a control that went away)
    bool hasControlInfo = true;
    std::wstring functionCall;  // GetInfo(1)
    HRESULT notifyResult = S_OK;

    // The notifications with `code`, in order.
    std::vector<Notification> NotificationsWith(ULONG code) const;

    HRESULT STDMETHODCALLTYPE SetDtmState(ULONG state) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowStatusText(BSTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowMessageVariant(VARIANT id, BSTR text, VARIANT extra) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyVariant(VARIANT code, VARIANT data) noexcept override;
    HRESULT STDMETHODCALLTYPE Init(IUnknown*, VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseDtm(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowMessage(ULONG, BSTR, VARIANT) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnNotify(ULONG, VARIANT) noexcept override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetInfo(VARIANT what, VARIANT* value) noexcept override;
    HRESULT STDMETHODCALLTYPE SetInfo(VARIANT, VARIANT) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitSchemaCacheFromFrame(IUnknown* frame) noexcept override;

private:
    HRESULT QueryControl(REFIID iid, void** out) noexcept;
    HRESULT QueryControlInfo(REFIID iid, void** out) noexcept;
};

// One apartment, the frame host, and the DTM object, created with the files folder given.
class ServicesTest : public vtest::ComTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh DTM reading its translations from `filesFolder` (null: the key is absent).
    void CreateDtm(const wchar_t* filesFolder);
    ULONG State();
    void ForceState(ULONG state);
    // The frame's road: 1 -> 4 -> 6 (Environment) -> 7 (InitNew) -> 8 (Config with `level`).
    void DriveToInitialised();
    void DriveToConfigured(const wchar_t* level = L"planningEngineer");

    IDtm* Dtm() { return &dtm_->Lifecycle(); }
    ql::ComPtr<IQuelkDtm> QuelkDtm() { return Query<IQuelkDtm>(); }
    template <class Interface>
    ql::ComPtr<Interface> Query() {
        ql::ComPtr<Interface> out;
        EXPECT_HR(S_OK, dtm_->QueryInterface(__uuidof(Interface), out.PutVoid()));
        return out;
    }
    // A new fake control, registered under `invokeId` when `register` (with its function-call document).
    ql::ComPtr<CFakeControl> MakeControl(const wchar_t* invokeId, LONG functionId,
                                         bool hasControlInfo = true);
    HRESULT Register(const wchar_t* invokeId, CFakeControl* control);
    HRESULT Unregister(const wchar_t* invokeId);
    // The name the dataset holds for parameter `id`.
    std::wstring ParameterName(ULONG id);

    ql::ComPtr<CFrameHost> frame_;
    ql::ComPtr<CDtmObject> dtm_;
    ql::Bstr systemTag_{L"Plant/Line 1/Varnok"};
    LONG moduleLocksBefore_ = 0;
};

}  // namespace svctest
