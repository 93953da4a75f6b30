#include "dtm/documents/DtmParameterPart.h"

#include <string>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "comm/QuelkDpv1Communication.h"
#include "dataset/ParameterValueXml.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dtm/DtmHost.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/VariableFields.h"
#include "dtm/QuelkDtm.h"
#include "dtm/QuelkPersist.h"
#include "dtm/documents/DocumentConditions.h"
#include "dtm/documents/ParameterDocument.h"
#include "dtm/documents/ParameterDocumentReader.h"
#include "dtm/documents/ToolkitMessage.h"
#include "xml/XmlNodeReads.h"

namespace {

constexpr wchar_t kTagPath[] = L"FDT/DtmDevice/@fdt:tag";
// The doubled slash: parameters at any depth below the first group.
constexpr wchar_t kExportedVariablesPath[] =
    L"FDT/DtmDevice/ExportedVariables/fdt:DtmVariables//fdt:DtmVariable";
constexpr LONG kTagParameterId = 1;

bool IsWritable(const CQuelkVariable& record) noexcept {
    return record.IsDeviceParameter == 1 ? (record.Access & kAccessDeviceWritable) != 0
                                         : (record.Access & kAccessWritable) != 0;
}

}  // namespace

HRESULT CDtmParameterPart::GetParameters(BSTR /*path*/, BSTR* document) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, document == nullptr);
    *document = nullptr;
    if (!IsConfiguredState(host_.Lifecycle().State())) return S_FALSE;
    return BuildParameterDocument(host_, document);
}

HRESULT CDtmParameterPart::SetParameters(BSTR /*path*/, BSTR document, VARIANT_BOOL* result) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, result == nullptr);
    *result = VARIANT_FALSE;
    if (!IsConfiguredState(host_.Lifecycle().State()) || !IsAboveObserver(host_.Lifecycle().UserLevel()))
        return S_FALSE;

    ql::ComPtr<IXMLDOMDocument2> parsed;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT load = host_.Lifecycle().XmlHandler().LoadXMLDocument(document, parsed.Put(), &loaded,
                                                                        host_.Lifecycle().MessageSink());
    if (FAILED(load) || loaded != VARIANT_TRUE || !parsed) return S_FALSE;

    DataSetLock lock = DataSetLock::Refused;
    QL_RETURN_IF_FAILED(LockDataSet(&lock));
    if (lock == DataSetLock::Refused) {
        QL_RETURN_IF_FAILED(SendToolkitMessage(host_, kMessageSetParametersError));
        return S_OK;
    }

    // Suspending the modified notification answers S_OK; resuming at most tells the frame of a change, which
    // answers S_OK or S_FALSE: neither fails.
    (void)host_.Persistence().SuspendModifiedNotification(true);
    const HRESULT applied = ApplyDocument(parsed.Get(), result);
    // Every way out gives back what this call took: the frame's lock only when it was taken here (a lock
    // the open user interfaces hold stays theirs), then the modified notification, which reports once.
    HRESULT unlock = S_OK;
    if (lock == DataSetLock::Taken) {
        VARIANT_BOOL done = VARIANT_FALSE;
        const ql::ComPtr<IFrameContainer> frame(host_.Lifecycle().Frame());
        const ql::SelfHold hold(host_.ControllingUnknown());
        unlock = frame ? frame->UnlockDataSet(host_.Lifecycle().SystemTag().Get(), &done) : E_POINTER;
    }
    (void)host_.Persistence().SuspendModifiedNotification(false);  // as above: does not fail

    if (applied != S_OK) return applied;
    if (*result != VARIANT_TRUE) QL_RETURN_IF_FAILED(SendToolkitMessage(host_, kMessageSetParametersError));
    QL_RETURN_IF_FAILED(unlock);
    return S_OK;
}

HRESULT CDtmParameterPart::LockDataSet(DataSetLock* lock) noexcept {
    *lock = DataSetLock::Refused;
    if (host_.Lifecycle().DataLocked()) return S_OK;
    if (host_.Lifecycle().FrameLocked()) {
        *lock = DataSetLock::HeldByUserInterface;
        return S_OK;
    }
    const ql::ComPtr<IFrameContainer> frame(host_.Lifecycle().Frame());
    if (!frame) return S_OK;
    const ql::SelfHold hold(host_.ControllingUnknown());
    VARIANT_BOOL granted = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(frame->LockDataSet(host_.Lifecycle().SystemTag().Get(), &granted));
    if (granted == VARIANT_TRUE) *lock = DataSetLock::Taken;
    return S_OK;
}

HRESULT CDtmParameterPart::ApplyDocument(IXMLDOMDocument2* document, VARIANT_BOOL* result) noexcept {
    // Held: the values set below reach the open user interfaces.
    const ql::ComPtr<IUnknown> keepAlive(host_.ControllingUnknown());
    IQuelkVariables& variables = host_.StorePart();
    const HRESULT tag = ApplyTag(document, variables);
    if (tag != S_OK) return tag;

    VARIANT_BOOL busApplied = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(host_.Client().ApplyBusInformation(document, &busApplied));

    QL_RETURN_IF_FAILED(ApplyExportedVariables(document, variables, result));
    // A bus address the value check refused leaves the document not wholly applied, as a refused
    // parameter does; the parameters still go in.
    if (busApplied != VARIANT_TRUE) *result = VARIANT_FALSE;
    return S_OK;
}

HRESULT CDtmParameterPart::ApplyTag(IXMLDOMDocument2* document, IQuelkVariables& variables) noexcept {
    ql::Bstr path(kTagPath);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, path.IsNull());
    ql::Variant tag;
    if (!XmlNodeExists(document, path.Get()) ||
        FAILED(XmlGetNodeValue(document, path.Get(), tag.Put(), VT_BSTR)))
        return S_FALSE;
    ql::Variant id;
    id.SetI4(kTagParameterId);
    QL_RETURN_IF_FAILED(variables.SetValue(*id.Get(), *tag.Get()));
    return S_OK;
}

HRESULT CDtmParameterPart::ApplyExportedVariables(IXMLDOMDocument2* document, IQuelkVariables& variables,
                                                  VARIANT_BOOL* result) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        ql::Bstr allVariables(kExportedVariablesPath);
        QL_RETURN_HR_IF(E_OUTOFMEMORY, allVariables.IsNull());
        ql::ComPtr<IXMLDOMNodeList> nodes;
        QL_RETURN_IF_FAILED(document->selectNodes(allVariables.Get(), nodes.Put()));
        LONG expected = 0;
        if (nodes) QL_RETURN_IF_FAILED(nodes->get_length(&expected));
        if (expected <= 0) {
            *result = VARIANT_TRUE;
            return S_OK;
        }

        const CQuelkVariableList& records = host_.Store().Variables();
        LONG applied = 0;
        for (ULONG i = 0; i < records.Count(); ++i) {
            CQuelkVariable record;
            if (FAILED(records.GetVariableAt(static_cast<int>(i), &record))) continue;
            if (record.ExportKind != kExportDisplay && record.ExportKind != kExportVariant) continue;
            // Found by name at any depth; the group path is not used here.
            std::wstring selection(kExportedVariablesPath);
            selection.append(L"[@name = \"").append(record.Name.View()).append(L"\"]");
            ql::Bstr query(selection);
            QL_RETURN_HR_IF(E_OUTOFMEMORY, query.IsNull());
            ql::ComPtr<IXMLDOMNode> element;
            if (FAILED(document->selectSingleNode(query.Get(), element.Put())) || !element) continue;

            ql::Variant value;
            if (ReadExportedValue(element.Get(), record, value) != S_OK) continue;
            if (!IsWritable(record)) continue;
            ql::Variant id;
            id.SetUI4(record.Id());
            if (variables.SetValue(*id.Get(), *value.Get()) == S_OK) ++applied;
        }
        *result = applied >= expected ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}
