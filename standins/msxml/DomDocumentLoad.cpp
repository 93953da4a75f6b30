// CDomDocument: load, loadXML, save, validate and the parse error.
#include <string>

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "standins/msxml/DomDocument.h"
#include "standins/msxml/DomParseError.h"
#include "standins/msxml/ResourceFile.h"
#include "standins/msxml/SchemaCache.h"
#include "standins/msxml/XmlText.h"
#include "standins/msxml/core/Limits.h"
#include "standins/msxml/core/Writer.h"

namespace msxml_standin {

namespace mc = msxml_core;

namespace {

constexpr LONG kReadyStateComplete = 4;

// Files longer than the core accepts are read one byte past its limit, so the core reports the size.
constexpr size_t kReadLimit = mc::kMaxDocumentBytes + 1;

HRESULT Answer(bool loaded, VARIANT_BOOL* flag) noexcept {
    if (flag) *flag = loaded ? VARIANT_TRUE : VARIANT_FALSE;
    return loaded ? S_OK : S_FALSE;
}

mc::XmlString SystemMessage(HRESULT code) {
    wchar_t buffer[512] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          static_cast<DWORD>(code), 0, buffer, 512, nullptr);
    mc::XmlString text(XmlFromWide(std::wstring_view(buffer, length)));
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r')) text.pop_back();
    text.push_back(u'\n');
    return text;
}

}  // namespace

const mc::ParseError& CDomDocument::LastError() const noexcept {
    return fileErrorActive_ ? fileError_ : document_.LastError();
}

bool CDomDocument::ReadSchemaFile(mc::XmlStringView fileName, std::string& bytes) const {
    // resolveExternals off: nothing is read beyond the attached collection.
    if (!resolveExternals_) return false;
    std::wstring path;
    if (!ResourceFile::ResolvePath(WideFromXml(fileName), baseFolder_, path)) return false;
    // The names come from the document, which may come from anywhere: a name must not make the server open a
    // network share (and hand the user's credentials to it). A folder the application names may be one.
    if (ResourceFile::IsNetworkPath(path) && !ResourceFile::IsNetworkPath(baseFolder_)) return false;
    return SUCCEEDED(ResourceFile::ReadBytes(path, kReadLimit, bytes));
}

template <class LoadFn>
bool CDomDocument::RunLoad(LoadFn&& loadFn) {
    fileErrorActive_ = false;
    // With resolveExternals off and no schema attached there is nothing a namespace could be validated
    // against: the document loads unvalidated, as MSXML loads such a fragment.
    const bool validate = document_.ValidateOnParse();
    const bool nothingToValidateAgainst =
        !resolveExternals_ && (!schemas_ || schemas_->Collection()->Length() == 0);
    if (nothingToValidateAgainst) document_.SetValidateOnParse(false);
    const bool loaded = loadFn();
    document_.SetValidateOnParse(validate);
    return loaded;
}

void CDomDocument::FailFileLoad(HRESULT code, const std::wstring& url) {
    (void)document_.LoadXml({});  // leaves the document empty, as every failed load does
    fileError_.Clear();
    fileError_.errorCode = static_cast<mc::ErrorCode>(code);
    fileError_.url.assign(XmlFromWide(url));
    fileError_.reason = code == static_cast<HRESULT>(mc::codes::kObjectNotFound)
                            ? mc::FormatReason(mc::codes::kObjectNotFound, XmlFromWide(url))
                            : SystemMessage(code);
    fileErrorActive_ = true;
    url_.clear();
}

HRESULT CDomDocument::load(VARIANT source, VARIANT_BOOL* loaded) noexcept {
    if (loaded) *loaded = VARIANT_FALSE;
    const VARIANT* value = &source;
    if (V_VT(value) == (VT_VARIANT | VT_BYREF)) value = V_VARIANTREF(value);
    QL_RETURN_HR_IF(E_INVALIDARG, value == nullptr);
    return ql::GuardComCall([&]() -> HRESULT {
        if (V_VT(value) == (VT_ARRAY | VT_UI1)) {
            // Read only as the bytes it claims: an array of other elements would be read past its data.
            QL_RETURN_HR_IF(E_INVALIDARG, V_ARRAY(value) && !ql::HoldsBytes(*V_ARRAY(value)));
            ql::SafeArrayData<uint8_t> data(V_ARRAY(value));
            QL_RETURN_IF_FAILED(data.Status());
            LONG lower = 0, upper = -1;
            QL_RETURN_IF_FAILED(::SafeArrayGetLBound(V_ARRAY(value), 1, &lower));
            QL_RETURN_IF_FAILED(::SafeArrayGetUBound(V_ARRAY(value), 1, &upper));
            const size_t size = upper >= lower ? static_cast<size_t>(upper - lower + 1) : 0;
            baseFolder_.clear();
            url_.clear();
            return Answer(RunLoad([&] { return document_.LoadBytes(data.Data(), size, {}); }), loaded);
        }
        QL_RETURN_HR_IF(E_INVALIDARG, V_VT(value) != VT_BSTR);
        const std::wstring location(WideFromXml(XmlFromBstr(V_BSTR(value))));
        std::wstring path;
        if (!ResourceFile::ResolvePath(location, {}, path)) {
            FailFileLoad(static_cast<HRESULT>(mc::codes::kObjectNotFound), location);
            return Answer(false, loaded);
        }
        std::string bytes;
        const HRESULT read = ResourceFile::ReadBytes(path, kReadLimit, bytes);
        if (FAILED(read)) {
            FailFileLoad(read, location);
            return Answer(false, loaded);
        }
        // The schema files of a loaded file's "x-schema:" names are looked for beside it.
        baseFolder_ = ResourceFile::FolderOf(path);
        const bool done = RunLoad([&] {
            return document_.LoadBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                       XmlFromWide(location));
        });
        baseFolder_.clear();
        url_ = done ? location : std::wstring();
        return Answer(done, loaded);
    });
}

HRESULT CDomDocument::loadXML(BSTR text, VARIANT_BOOL* loaded) noexcept {
    if (loaded) *loaded = VARIANT_FALSE;
    return ql::GuardComCall([&]() -> HRESULT {
        baseFolder_.clear();
        url_.clear();
        return Answer(RunLoad([&] { return document_.LoadXml(XmlFromBstr(text)); }), loaded);
    });
}

HRESULT CDomDocument::LoadCopyOf(const mc::Tree& tree) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        const bool validate = document_.ValidateOnParse();
        document_.SetValidateOnParse(false);
        const bool loaded = document_.LoadXml(mc::Writer::Xml(tree.DocumentNode()));
        document_.SetValidateOnParse(validate);
        return loaded ? S_OK : E_FAIL;
    });
}

HRESULT CDomDocument::save(VARIANT destination) noexcept {
    const VARIANT* value = &destination;
    if (V_VT(value) == (VT_VARIANT | VT_BYREF)) value = V_VARIANTREF(value);
    QL_RETURN_HR_IF(E_INVALIDARG, value == nullptr || V_VT(value) != VT_BSTR);
    return ql::GuardComCall([&]() -> HRESULT {
        std::wstring path;
        QL_RETURN_HR_IF(E_INVALIDARG,
                        !ResourceFile::ResolvePath(WideFromXml(XmlFromBstr(V_BSTR(value))), {}, path));
        return ResourceFile::WriteBytes(path, document_.Save());
    });
}

HRESULT CDomDocument::get_readyState(LONG* state) noexcept {
    QL_RETURN_IF_NULL_OUT(state);
    *state = kReadyStateComplete;  // every load completes before it returns
    return S_OK;
}

HRESULT CDomDocument::get_parseError(IXMLDOMParseError** out) noexcept {
    return CDomParseError::Create(LastError(), out);
}

HRESULT CDomDocument::get_url(BSTR* out) noexcept { return BstrOrNullFromXml(XmlFromWide(url_), out); }

HRESULT CDomDocument::validate(IXMLDOMParseError** out) noexcept {
    if (out) *out = nullptr;
    return ql::GuardComCall([&]() -> HRESULT {
        fileErrorActive_ = false;
        const bool valid = document_.Validate();
        if (out) QL_RETURN_IF_FAILED(CDomParseError::Create(document_.LastError(), out));
        return valid ? S_OK : S_FALSE;
    });
}

}  // namespace msxml_standin
