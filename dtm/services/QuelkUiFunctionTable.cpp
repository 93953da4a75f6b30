#include "dtm/services/QuelkUiFunctionTable.h"

#include <new>

#include "classlib/HResult.h"

namespace {

// Class ids of the controls that show the functions.
constexpr CLSID kClsidTreeFrame = {
    0xBFC664C7, 0xF499, 0x41DF, {0xAC, 0xA5, 0xDB, 0xD3, 0x3E, 0x10, 0x40, 0x9F}};
constexpr CLSID kClsidMeasuredValues = {
    0x0C7576F9, 0x78A2, 0x4D6F, {0xA9, 0x4F, 0x93, 0xDE, 0xBA, 0x01, 0xB2, 0x04}};
constexpr CLSID kClsidDiagnosis = {
    0xD26A74F5, 0x9231, 0x4D77, {0xAA, 0x60, 0x57, 0x95, 0x18, 0xEF, 0x92, 0x36}};
constexpr CLSID kClsidAboutView = {
    0x6024FEA4, 0x65D3, 0x11D7, {0x80, 0x10, 0x00, 0x01, 0x02, 0x09, 0xF2, 0x2F}};
constexpr CLSID kClsidTrend = {0x7CBC3883, 0x833D, 0x43F1, {0x8A, 0xF1, 0x76, 0x5C, 0xBC, 0xBE, 0x94, 0xB5}};

// FDT application ids, searched in this order.
struct ApplicationIdName {
    const char* keyword;
    ULONG number;
};
const ApplicationIdName kApplicationIds[] = {
    {"fdtAdjustSetValue", 1},       {"fdtAssetManagement", 2}, {"fdtAuditTrail", 3},
    {"fdtConfiguration", 4},        {"fdtDiagnosis", 5},       {"fdtForce", 6},
    {"fdtManagement", 7},           {"fdtObserve", 8},         {"fdtOfflineCompare", 9},
    {"fdtOfflineParameterize", 10}, {"fdtOnlineCompare", 11},  {"fdtOnlineParameterize", 12},
};

// Every function row: enabled, listed for every user level from observer and every operation phase,
// "Help" as help, no icon, the label equal to the name, no handler, not printable, no document.
constexpr QuelkUiFunction Row(ULONG kind, ULONG applicationId, ULONG functionId, const char* name,
                              const char* progId, const CLSID* classId, ULONG resizable) {
    return QuelkUiFunction{kind,    applicationId, functionId, name,    name,    "Help", "", kUiStatusEnabled,
                           1,       0xFFFFFFFF,    0,          nullptr, classId, progId, 0,  resizable,
                           nullptr, nullptr,       nullptr};
}

// "Mesured Value" is the function's name as the frames have always shown it.
const QuelkUiFunction kVarnokRows[] = {
    Row(kUiStandardFunction, 10, 1, "OfflineParameterize", "VarnokP3.TreeFrame", &kClsidTreeFrame, 1),
    Row(kUiStandardFunction, 12, 2, "OnlineParameterize", "VarnokP3.TreeFrame", &kClsidTreeFrame, 1),
    Row(kUiStandardFunction, 8, 5, "Mesured Value", "VarnokP3.MeasuredValues", &kClsidMeasuredValues, 0),
    Row(kUiStandardFunction, 5, 4, "Diagnosis", "VarnokP3.Diagnosis", &kClsidDiagnosis, 1),
    Row(kUiFunctionWithGui, 0, 6, "About", "Quelk.QuelkAboutView2", &kClsidAboutView, 1),
    Row(kUiFunctionWithGui, 0, 8, "Trend", "VarnokP3.Trend", &kClsidTrend, 1),
    QuelkUiFunction{},  // end of table
};

}  // namespace

const QuelkUiFunction* VarnokUiFunctionRows(size_t* count) noexcept {
    if (count) *count = sizeof kVarnokRows / sizeof kVarnokRows[0];
    return kVarnokRows;
}

const char* ApplicationIdKeyword(ULONG applicationId) noexcept {
    for (const ApplicationIdName& entry : kApplicationIds) {
        if (entry.number == applicationId) return entry.keyword;
    }
    return nullptr;
}

CQuelkUiFunctionTable::CQuelkUiFunctionTable() noexcept {
    size_t count = 0;
    const QuelkUiFunction* rows = VarnokUiFunctionRows(&count);
    CopyRows(rows, count);
}

CQuelkUiFunctionTable::CQuelkUiFunctionTable(const QuelkUiFunction* rows, size_t count) noexcept {
    CopyRows(rows, count);
}

void CQuelkUiFunctionTable::CopyRows(const QuelkUiFunction* rows, size_t count) noexcept {
    try {
        for (size_t i = 0; rows && i < count && rows[i].Kind != kUiEndOfTable; ++i) rows_.push_back(rows[i]);
        hasTable_ = true;
    } catch (const std::bad_alloc&) {
        rows_.clear();
        hasTable_ = false;
    }
}

HRESULT CQuelkUiFunctionTable::FindFunctionRow(ULONG functionId, QuelkUiFunction** row) noexcept {
    QL_RETURN_IF_NULL_OUT(row);
    *row = nullptr;
    QL_RETURN_HR_IF(E_FAIL, !hasTable_);
    for (QuelkUiFunction& candidate : rows_) {
        if (candidate.FunctionId == functionId) {
            *row = &candidate;
            return S_OK;
        }
    }
    return E_FAIL;
}
