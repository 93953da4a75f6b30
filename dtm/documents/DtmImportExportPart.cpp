#include "dtm/documents/DtmImportExportPart.h"

#include <string>
#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "dataset/ParameterListExport.h"
#include "dataset/ParameterListImport.h"
#include "dtm/documents/DocumentConditions.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/VariableFields.h"
#include "dtm/QuelkDtm.h"
#include "classlib/Utf8.h"
#include "values/MessageFormat.h"
#include "values/XmlDocumentBytes.h"

namespace {

constexpr ULONG kReadChunkBytes = 64 * 1024;

// Reads exactly `count` bytes; false when the stream fails or ends before.
bool ReadExactly(IStream* stream, void* data, ULONG count) noexcept {
    BYTE* next = static_cast<BYTE*>(data);
    while (count > 0) {
        ULONG read = 0;
        const HRESULT hr = stream->Read(next, count < kReadChunkBytes ? count : kReadChunkBytes, &read);
        if (FAILED(hr) || read == 0 || read > count) return false;
        next += read;
        count -= read;
    }
    return true;
}

// Writes exactly `count` bytes; false when the stream fails or takes fewer.
bool WriteExactly(IStream* stream, const void* data, ULONG count) noexcept {
    if (count == 0) return true;
    ULONG written = 0;
    return SUCCEEDED(stream->Write(data, count, &written)) && written == count;
}

void PutLittleEndian32(ULONG value, BYTE* bytes) noexcept {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(value >> (8 * i));
}

ULONG GetLittleEndian32(const BYTE* bytes) noexcept {
    return static_cast<ULONG>(bytes[0]) | (static_cast<ULONG>(bytes[1]) << 8) |
           (static_cast<ULONG>(bytes[2]) << 16) | (static_cast<ULONG>(bytes[3]) << 24);
}

}  // namespace

bool CDtmImportExportPart::Accepts(IStream* stream) noexcept {
    return stream != nullptr && host_.Lifecycle().State() == kStateConfigured &&
           IsAboveObserver(host_.Lifecycle().UserLevel());
}

HRESULT CDtmImportExportPart::Export(IStream* stream, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    if (!Accepts(stream)) return S_FALSE;

    ql::Bstr document;
    if (FAILED(ExportParameters(host_.Store(), &listHost_, document.Put()))) return S_FALSE;
    std::string text;
    if (FAILED(ql::GuardComCall([&]() -> HRESULT {
            text = ql::Utf8FromWide(document.View());
            return S_OK;
        }))) {
        return S_FALSE;
    }
    if (text.size() > kMaxParameterListBytes) return S_FALSE;

    const ULONG size = static_cast<ULONG>(text.size());
    BYTE count[4];
    PutLittleEndian32(size, count);
    if (!WriteExactly(stream, count, sizeof count) || !WriteExactly(stream, text.data(), size))
        return S_FALSE;
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CDtmImportExportPart::Import(IStream* stream, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    if (!Accepts(stream)) return S_FALSE;

    // A list refused as a whole tells the frame why, once; a document that does not load has told it
    // through the loader's parse error.
    CQuelkMessageSink* const sink = host_.Lifecycle().MessageSink();
    BYTE countBytes[4];
    if (!ReadExactly(stream, countBytes, sizeof countBytes)) {
        ReportDtmMessage(sink, "Import: the stream ends before the length of the parameter list");
        return S_FALSE;
    }
    const ULONG size = GetLittleEndian32(countBytes);
    if (size > kMaxParameterListBytes) {
        ReportDtmMessage(
            sink,
            "Import: the parameter list would be %lu bytes long, more than the %lu bytes a list may have",
            size, kMaxParameterListBytes);
        return S_FALSE;
    }

    ParameterListSkips skips;
    enum class Refusal { None, ShortList, UnreadableText } refusal = Refusal::None;
    const HRESULT hr = ql::GuardComCall([&]() -> HRESULT {
        std::string text(size, '\0');
        if (!ReadExactly(stream, text.data(), size)) {
            refusal = Refusal::ShortList;
            return E_FAIL;
        }
        ql::Bstr document;
        if (FAILED(XmlBytesToBstr(text, document))) {
            refusal = Refusal::UnreadableText;
            return E_FAIL;
        }
        // An empty list is an empty document, which does not load.
        if (document.IsNull()) QL_RETURN_IF_FAILED(document.Assign(L""));
        return ImportParameters(host_.Store(), listHost_, document.Get(), skips);
    });
    if (refusal == Refusal::ShortList) {
        ReportDtmMessage(
            sink, "Import: the stream ends before the %lu bytes of the parameter list that its length names",
            size);
    } else if (refusal == Refusal::UnreadableText) {
        ReportDtmMessage(
            sink,
            "Import: the %lu bytes of the parameter list are no text the DTM can read: their encoding is "
            "neither UTF-8, UTF-16 nor a single-byte code page it knows, or they are not valid in the "
            "encoding they name",
            size);
    }
    if (FAILED(hr)) return S_FALSE;
    if (skips.Total() > 0) {
        // The values taken stay; the frame learns what was left and why, and that the list was not applied
        // as a whole.
        ReportDtmMessage(host_.Lifecycle().MessageSink(),
                         "Import: %lu parameters of the list were not taken (%lu not part of the project, "
                         "%lu not writable by the current user, %lu with an unreadable type or value, "
                         "%lu of the wrong length, %lu refused by the value check)",
                         skips.Total(), skips.NotInProject, skips.NotWritable, skips.Unreadable,
                         skips.WrongLength, skips.Refused);
        return S_OK;
    }
    *ok = VARIANT_TRUE;
    return S_OK;
}
