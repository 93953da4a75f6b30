#include "comm/Dpv1RequestDocuments.h"

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "values/MessageFormat.h"

namespace {

// The three lines every request starts with.
#define DPV1_REQUEST_HEAD                                                     \
    L"<?xml version=\"1.0\"?>\n"                                              \
    L"<FDT xmlns     =\"x-schema:FDTProfibusDPV1CommunicationSchema.xml\" \n" \
    L"     xmlns:fdt =\"x-schema:FDTDataTypesSchema.xml\">\n"

constexpr wchar_t kConnectRequestFormat[] = DPV1_REQUEST_HEAD
    L"\t<ConnectRequest\n"
    L"\t\tapi        =\"%d\"\n"
    L"\t\tbusAddress =\"%d\"\n"
    L"\t/>\n"
    L"</FDT>";

constexpr wchar_t kDisconnectRequestFormat[] = DPV1_REQUEST_HEAD
    L"\t <DisconnectRequest\n"
    L"\t\tapi        =\"%d\"\n"
    L"\t\tbusAddress =\"%d\"\n"
    L"\t\tcommunicationReference =\"%ls\"\n"
    L"\t/>\n"
    L"</FDT>";

constexpr wchar_t kReadRequestFormat[] = DPV1_REQUEST_HEAD
    L"\t <ReadRequest\n"
    L"\t\tslot\t\t\t\t   =\"%d\"\n"
    L"\t\tindex\t\t\t\t   =\"%d\"\n"
    L"\t\tcommunicationReference =\"%ls\"\n"
    L"\t/>\n"
    L"</FDT>";

constexpr wchar_t kWriteRequestFormat[] = DPV1_REQUEST_HEAD
    L"\t <WriteRequest\n"
    L"\t\tslot\t\t\t\t   =\"%d\"\n"
    L"\t\tindex\t\t\t\t   =\"%d\"\n"
    L"\t\tcommunicationReference =\"%ls\"\n"
    L"\t>\n"
    L"\t\t<fdt:CommunicationData\n"
    L"\t\t\tbyteArray          = \"%ls\"\n"
    L"\t\t/>\n"
    L"\t</WriteRequest>\n"
    L"</FDT>";

#undef DPV1_REQUEST_HEAD

const wchar_t* TextOrEmpty(BSTR text) noexcept { return text ? text : L""; }

// BstrPrintf reads its format as a BSTR.
template <size_t N, class... Args>
HRESULT Format(const wchar_t (&format)[N], BSTR* document, Args... args) noexcept {
    QL_RETURN_IF_NULL_OUT(document);
    ql::Bstr formatText;
    QL_RETURN_IF_FAILED(formatText.Assign(std::wstring_view(format, N - 1)));
    return BstrPrintf(document, formatText.Get(), args...);
}

}  // namespace

HRESULT BuildConnectRequest(BYTE api, BYTE busAddress, BSTR* document) noexcept {
    return Format(kConnectRequestFormat, document, static_cast<int>(api), static_cast<int>(busAddress));
}

HRESULT BuildDisconnectRequest(BYTE api, BYTE busAddress, BSTR reference, BSTR* document) noexcept {
    return Format(kDisconnectRequestFormat, document, static_cast<int>(api), static_cast<int>(busAddress),
                  TextOrEmpty(reference));
}

HRESULT BuildReadRequest(BYTE slot, BYTE index, BSTR reference, BSTR* document) noexcept {
    return Format(kReadRequestFormat, document, static_cast<int>(slot), static_cast<int>(index),
                  TextOrEmpty(reference));
}

HRESULT BuildWriteRequest(BYTE slot, BYTE index, BSTR reference, BSTR data, BSTR* document) noexcept {
    return Format(kWriteRequestFormat, document, static_cast<int>(slot), static_cast<int>(index),
                  TextOrEmpty(reference), TextOrEmpty(data));
}
