#include "dataset/ParameterTable.h"

#include "dataset/QuelkVariableStore.h"

HRESULT DefineDeviceParameters(CQuelkVariableList* list, ULONG* count, CQuelkMessageSink* sink) noexcept {
    const ParameterTableView table = DeviceParameterTable();
    for (size_t i = 0; i < table.count; ++i) {
        const ParameterDefinition& definition = table.rows[i];
        switch (definition.Kind) {
            case ParameterKind::Text:
                CQuelkVariableStore::AddStringParameter(list, definition, sink);
                break;
            case ParameterKind::Numeric:
                CQuelkVariableStore::AddNumericParameter(list, definition, sink);
                break;
            case ParameterKind::Enumeration:
                CQuelkVariableStore::AddEnumParameter(list, definition, sink);
                break;
        }
    }
    if (count) *count = list ? list->Count() : 0;
    return S_OK;
}
