#include "dtm/services/QuelkActiveXInfo.h"

#include <shellapi.h>

#include <cwctype>
#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "dtm/services/FunctionCallDocument.h"
#include "dtm/services/FunctionsDocument.h"
#include "dtm/DtmState.h"
#include "values/AnsiText.h"
#include "dtm/QuelkDtm.h"

namespace {

// StringFromGUID2 writes "{" + 36 characters + "}" and a terminating zero.
constexpr int kGuidTextLength = 39;
constexpr size_t kUuidLength = 36;

// ShellExecute reports success with a value above this.
constexpr INT_PTR kShellExecuteSuccessAbove = 32;

}  // namespace

HRESULT CQuelkActiveXInfo::FindCalledRow(BSTR functionCall, QuelkUiFunction** row) noexcept {
    *row = nullptr;
    if (!IsStateBetween(stateCopy_, kStateEnvironmentNew, kStateConnected)) return S_FALSE;
    LONG functionId = 0;
    if (ReadFunctionCallId(host_, functionCall, kFunctionIdBelowFdtRoot, VT_I4, functionId) != S_OK)
        return S_FALSE;
    if (FAILED(table_.FindFunctionRow(static_cast<ULONG>(functionId), row))) return S_FALSE;
    return S_OK;
}

HRESULT CQuelkActiveXInfo::GetActiveXProgId(BSTR functionCall, BSTR* progId) noexcept {
    QL_RETURN_IF_NULL_OUT(progId);
    *progId = nullptr;
    QuelkUiFunction* row = nullptr;
    if (FindCalledRow(functionCall, &row) != S_OK) return S_FALSE;
    const std::string_view name(TextReferenceAsAnsi(row->ProgId));
    if (name.empty()) return S_FALSE;
    ql::Bstr text;
    QL_RETURN_IF_FAILED(AnsiToBstr(name, text));
    *progId = text.Detach();
    return S_OK;
}

HRESULT CQuelkActiveXInfo::GetActiveXGuid(BSTR functionCall, BSTR* classId) noexcept {
    QL_RETURN_IF_NULL_OUT(classId);
    *classId = nullptr;
    if (!IsStateBetween(stateCopy_, kStateEnvironmentNew, kStateConnected)) return S_FALSE;
    ql::Bstr progId;
    if (GetActiveXProgId(functionCall, progId.Put()) != S_OK) return S_FALSE;
    // The class registered on this computer answers, not the one the table names.
    CLSID clsid = {};
    if (FAILED(::CLSIDFromProgID(progId.Get(), &clsid))) return S_FALSE;

    wchar_t braced[kGuidTextLength] = {};
    QL_RETURN_HR_IF(E_FAIL, ::StringFromGUID2(clsid, braced, kGuidTextLength) != kGuidTextLength);
    wchar_t* uuid = braced + 1;
    for (size_t i = 0; i < kUuidLength; ++i) uuid[i] = static_cast<wchar_t>(std::towupper(uuid[i]));
    ql::Bstr text;
    QL_RETURN_IF_FAILED(text.Assign(std::wstring_view(uuid, kUuidLength)));
    *classId = text.Detach();
    return S_OK;
}

HRESULT CQuelkActiveXInfo::OpenDocument(BSTR functionCall, VARIANT_BOOL* opened) noexcept {
    QL_RETURN_IF_NULL_OUT(opened);
    *opened = VARIANT_FALSE;
    QuelkUiFunction* row = nullptr;
    if (FindCalledRow(functionCall, &row) != S_OK) return S_FALSE;
    if (row->Kind != kUiFunctionWithGui && row->Kind != kUiStandardFunction) return S_FALSE;
    // A function with a control is opened by the frame.
    if (row->ClassId) return S_FALSE;

    const std::string_view programName(TextReferenceAsAnsi(row->OpenWith));
    if (programName.empty()) return S_FALSE;
    ql::Bstr program;
    ql::Bstr parameters;
    QL_RETURN_IF_FAILED(AnsiToBstr(programName, program));
    QL_RETURN_IF_FAILED(AnsiToBstr(std::string_view(TextReferenceAsAnsi(row->DocumentPath)), parameters));
    // The shell may dispatch messages while it starts the program.
    const ql::SelfHold hold(host_.ControllingUnknown());
    const HINSTANCE started =
        ::ShellExecuteW(nullptr, L"open", program.Get(), parameters.Get(), L"", SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) > kShellExecuteSuccessAbove) *opened = VARIANT_TRUE;
    return S_OK;
}
