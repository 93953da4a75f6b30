#include "xml/FdtNameTables.h"

#include <string>
#include <string_view>

#include "classlib/HResult.h"
#include "values/AnsiText.h"

const FdtNameRow FdtApplicationIdTable[] = {
    {"fdtAdjustSetValue", 1},
    {"fdtAssetManagement", 2},
    {"fdtAuditTrail", 3},
    {"fdtConfiguration", 4},
    {"fdtDiagnosis", 5},
    {"fdtForce", 6},
    {"fdtManagement", 7},
    {"fdtObserve", 8},
    {"fdtOfflineCompare", 9},
    {"fdtOfflineParameterize", 10},
    {"fdtOnlineCompare", 11},
    {"fdtOnlineParameterize", 12},
    {nullptr, 0},
};

const FdtNameRow FdtOperationPhaseTable[] = {
    {"notSupported", 0}, {"engineering", 1}, {"commissioning", 2}, {"runtime", 4}, {nullptr, 0},
};

namespace {

HRESULT ValueFromName(const FdtNameRow* table, BSTR name, ULONG* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    return ql::GuardComCall([&]() -> HRESULT {
        std::string text;
        QL_RETURN_IF_FAILED(WideToAnsi(std::wstring_view(name ? name : L"", ::SysStringLen(name)), text));
        for (const FdtNameRow* row = table; row->name; ++row) {
            if (text == row->name) {
                *value = row->value;
                return S_OK;
            }
        }
        return E_FAIL;
    });
}

}  // namespace

HRESULT ApplicationIdFromString(BSTR name, ULONG* value) noexcept {
    return ValueFromName(FdtApplicationIdTable, name, value);
}

HRESULT OperationPhaseFromString(BSTR name, ULONG* value) noexcept {
    return ValueFromName(FdtOperationPhaseTable, name, value);
}
