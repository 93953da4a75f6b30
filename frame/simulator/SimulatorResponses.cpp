#include "frame/simulator/SimulatorResponses.h"

namespace {

const wchar_t kHead[] =
    L"<?xml version=\"1.0\"?>\n"
    L"<FDT xmlns=\"x-schema:FDTProfibusDPV1CommunicationSchema.xml\" "
    L"xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">\n";
const wchar_t kTail[] = L"\n</FDT>";

std::wstring Attribute(const wchar_t* name, const std::wstring& value) {
    return std::wstring(L" ") + name + L"=\"" + XmlAttributeText(value) + L"\"";
}

std::wstring Document(const std::wstring& body) { return kHead + (L"\t" + body) + kTail; }

}  // namespace

std::wstring XmlAttributeText(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
            case L'&':
                escaped += L"&amp;";
                break;
            case L'<':
                escaped += L"&lt;";
                break;
            case L'>':
                escaped += L"&gt;";
                break;
            case L'"':
                escaped += L"&quot;";
                break;
            case L'\'':
                escaped += L"&apos;";
                break;
            default:
                escaped.push_back(c);
        }
    }
    return escaped;
}

std::wstring ConnectResponseXml(const SimBytes& errorCode, const std::wstring* reference, BYTE api,
                                BYTE busAddress) {
    std::wstring element = L"<ConnectResponse" + Attribute(L"errorCode", HexFromBytes(errorCode));
    if (reference) {
        element += Attribute(L"communicationReference", *reference) +
                   Attribute(L"api", std::to_wstring(api)) +
                   Attribute(L"busAddress", std::to_wstring(busAddress));
    }
    return Document(element + L"/>");
}

std::wstring DisconnectResponseXml(const SimBytes& errorCode, const std::wstring& reference, BYTE api,
                                   BYTE busAddress) {
    return Document(L"<DisconnectResponse" + Attribute(L"errorCode", HexFromBytes(errorCode)) +
                    Attribute(L"communicationReference", reference) +
                    Attribute(L"api", std::to_wstring(api)) +
                    Attribute(L"busAddress", std::to_wstring(busAddress)) + L"/>");
}

std::wstring ReadResponseXml(const SimBytes& errorCode, const std::wstring& reference, const SimBytes* data) {
    std::wstring element = L"<ReadResponse" + Attribute(L"errorCode", HexFromBytes(errorCode)) +
                           Attribute(L"communicationReference", reference);
    if (!data) return Document(element + L"/>");
    return Document(element + L">\n\t\t<fdt:CommunicationData" +
                    Attribute(L"byteArray", HexFromBytes(*data)) + L"/>\n\t</ReadResponse>");
}

std::wstring WriteResponseXml(const SimBytes& errorCode, const std::wstring& reference) {
    return Document(L"<WriteResponse" + Attribute(L"errorCode", HexFromBytes(errorCode)) +
                    Attribute(L"communicationReference", reference) + L"/>");
}

std::wstring CommunicationErrorXml(const SimBytes& errorCode, const std::wstring& descriptor) {
    return Document(L"<fdt:CommunicationError" + Attribute(L"errorCode", HexFromBytes(errorCode)) +
                    Attribute(L"descriptor", descriptor) + L"/>");
}

std::wstring MalformedResponseXml() {
    return kHead + std::wstring(L"\t<ReadResponse errorCode=\"000000\"\n</FDT");
}

std::wstring SchemaInvalidResponseXml(const std::wstring& reference) {
    return Document(L"<ReadResponse" + Attribute(L"communicationReference", reference) +
                    Attribute(L"quality", L"bad") + L"/>");
}
