#include "dtm/documents/DocumentationTemplates.h"

const wchar_t* DocumentationFunctionName(LONG functionId) noexcept {
    switch (functionId) {
        case kDocumentOnlineParameterize:
            return L"OnLine Parameterize";
        case kDocumentDiagnosis:
            return L"Diagnosis";
        case kDocumentMeasuredValues:
            return L"Measured Values";
        default:
            return L"OffLine Parameterize";
    }
}
