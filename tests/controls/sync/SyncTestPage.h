#pragma once
// A parameter page on the online-page layer in the control-base tests' dialog, recording what the tests
// observe: the notifications it hears with the watched record's access word at that moment, the page-site
// statuses and the commits Apply makes. A commit can be forced to fail, and a value forced past the
// page's own reader and check (as page classes with readers of their own do).
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "classlib/Bstr.h"
#include "controls/sync/QuelkOnlinePage.h"

namespace controltest {

constexpr ULONG kZeroPointAdjustId = 42;  // VT_UI1, writable

// Edit, combo box, check box and button rows of writable parameters; the edit binds a device parameter.
const ParameterMap& SyncMap();

class CSyncPage final : public ql::ComObjectBase<CSyncPage>, public CQuelkOnlinePage {
    QL_INTERFACE_TABLE(CSyncPage, QL_ENTRY_CHAIN(CQuelkOnlinePage))

public:
    explicit CSyncPage(const ParameterMap& map = SyncMap()) noexcept : CQuelkOnlinePage(map) {}
    HRESULT FinalConstruct() noexcept {
        SetControllingUnknown(GetControllingUnknown());
        return S_OK;
    }

    struct Heard {
        ULONG code;
        ULONG access;  // of the watched parameter
    };
    ULONG watchedId = kCalibrationFactorId;
    std::vector<Heard> heard;
    std::vector<DWORD> statuses;
    std::vector<ULONG> commits;
    ULONG failCommitId = 0;
    ql::Variant forcedValue;  // when not empty: what the page reads and finds valid

    HRESULT STDMETHODCALLTYPE OnNotify(ULONG code, VARIANT data) noexcept override;
    void NotifyPageStatus(DWORD status) noexcept override { statuses.push_back(status); }
    HRESULT CommitParameter(ULONG id) noexcept override;
    HRESULT ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept override;
    HRESULT ValidateParameter(ULONG id, VARIANT_BOOL* valid) noexcept override;
};

class SyncTest : public DtmFixture {
protected:
    void TearDown() override;
    // The page on `map`, its dialog shown (control windows recorded, markers made), registered with the
    // DTM as an open control so that its notifications arrive, then initialised.
    void OpenPage(const ParameterMap& map = SyncMap());
    HWND Item(UINT id) const { return ::GetDlgItem(dialog_.Get(), static_cast<int>(id)); }
    bool IsReadOnly(UINT id) const { return (::GetWindowLongW(Item(id), GWL_STYLE) & ES_READONLY) != 0; }
    std::wstring DatasetText(ULONG id);

    ql::ComPtr<CSyncPage> page_;
    ql::WindowOwner dialog_;
    ql::ComPtr<IQuelkFunctions> functions_;
    ql::Bstr invokeId_{L"{00000000-0000-0000-0000-000000000017}"};
};

}  // namespace controltest
