#include "dtm/services/DtmUserSettings.h"

#include <string_view>
#include <utility>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "dataset/QuelkVariableList.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/VariableFields.h"
#include "dtm/DtmState.h"
#include "dtm/QuelkDtm.h"
#include "dtm/services/QuelkLocalization.h"

namespace {

struct Keyword {
    const wchar_t* text;
    ULONG value;
};

// Compared in this order; the first match wins.
const Keyword kUserLevels[] = {
    {L"observer", kUserLevelObserver},
    {L"operator", kUserLevelOperator},
    {L"maintenance", kUserLevelMaintenance},
    {L"planningEngineer", kUserLevelPlanningEngineer},
};

const Keyword kOperationPhases[] = {
    {L"notSupported", 0},
    {L"engineering", 1},
    {L"commissioning", 2},
    {L"runtime", 4},
};

// The booleans of an XML document.
const Keyword kBooleans[] = {
    {L"0", 0},
    {L"1", 1},
    {L"false", 0},
    {L"true", 1},
};

constexpr wchar_t kUserInformationPath[] = L"*/FDTUserInformation";
constexpr wchar_t kUserInformationNamespace[] = L"x-schema:FDTUserInformationSchema.xml";

template <size_t N>
const Keyword* FindKeyword(const Keyword (&table)[N], BSTR text) noexcept {
    const std::wstring_view keyword(text ? text : L"", ::SysStringLen(text));
    for (const Keyword& entry : table) {
        if (keyword == entry.text) return &entry;
    }
    return nullptr;
}

}  // namespace

HRESULT CDtmUserSettings::Config(BSTR userInformation, VARIANT_BOOL* result) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, result == nullptr);
    *result = VARIANT_FALSE;
    // Checked before anything changes: a document that names no level the DTM knows would otherwise leave
    // the level as it was (at start the highest), and one the schema did not check could grant anything.
    bool administrator = false;
    ql::ComPtr<IXMLDOMDocument2> checked;
    const HRESULT read = ReadUserInformation(userInformation, administrator, checked);
    if (read != S_OK) return read;

    const HRESULT configured = host_.Lifecycle().ConfigureLifecycle(userInformation, checked.Get(), result);
    if (configured != S_OK || *result != VARIANT_TRUE) return configured;
    if (!administrator) return S_OK;
    host_.Lifecycle().SetUserLevelWord(kUserLevelAdministrator);
    // Nothing lies above the administrator's level, so this pass clears nothing: the write limits of the
    // keyword's level stay.
    QL_RETURN_IF_FAILED(ApplyWriteRights());
    NotifyUserLevel();
    return S_OK;
}

HRESULT CDtmUserSettings::ReadUserInformation(BSTR userInformation, bool& administrator,
                                              ql::ComPtr<IXMLDOMDocument2>& document) noexcept {
    administrator = false;
    if (!userInformation) return S_FALSE;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(host_.Lifecycle().LoadXMLDocument(userInformation, document.Put(), &loaded)) ||
        loaded != VARIANT_TRUE) {
        return S_FALSE;
    }
    ql::Bstr elementPath(kUserInformationPath);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, elementPath.IsNull());
    ql::ComPtr<IXMLDOMNode> element;
    if (FAILED(document->selectSingleNode(elementPath.Get(), element.Put())) || !element) return S_FALSE;
    // Only a document of the user-information schema was validated while it loaded.
    ql::Bstr namespaceUri;
    if (FAILED(element->get_namespaceURI(namespaceUri.Put())) ||
        namespaceUri.View() != kUserInformationNamespace) {
        return S_FALSE;
    }

    ql::ComPtr<IXMLDOMElement> attributes;
    QL_RETURN_IF_FAILED(element->QueryInterface(IID_IXMLDOMElement, attributes.PutVoid()));
    ql::Bstr levelName(L"userLevel"), administratorName(L"administrator");
    QL_RETURN_HR_IF(E_OUTOFMEMORY, levelName.IsNull() || administratorName.IsNull());
    ql::Variant level, flag;
    if (attributes->getAttribute(levelName.Get(), level.Put()) != S_OK || level.Type() != VT_BSTR ||
        !FindKeyword(kUserLevels, V_BSTR(level.Get()))) {
        return S_FALSE;
    }
    const HRESULT hasFlag = attributes->getAttribute(administratorName.Get(), flag.Put());
    QL_RETURN_IF_FAILED(hasFlag);
    if (hasFlag != S_OK || flag.Type() != VT_BSTR) return S_OK;  // no administrator attribute
    const Keyword* right = FindKeyword(kBooleans, V_BSTR(flag.Get()));
    if (!right) return S_FALSE;
    administrator = right->value != 0;
    return S_OK;
}

HRESULT CDtmUserSettings::SetUserLevel(const VARIANT& keyword) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, V_VT(&keyword) != VT_BSTR);
    if (const Keyword* level = FindKeyword(kUserLevels, V_BSTR(&keyword)))
        host_.Lifecycle().SetUserLevelWord(level->value);
    QL_RETURN_IF_FAILED(ApplyWriteRights());
    NotifyUserLevel();
    return S_OK;
}

HRESULT CDtmUserSettings::SetOperationPhase(const VARIANT& keyword) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, V_VT(&keyword) != VT_BSTR);
    if (const Keyword* phase = FindKeyword(kOperationPhases, V_BSTR(&keyword))) {
        host_.Lifecycle().SetOperationPhaseWord(phase->value);
    }
    return S_OK;
}

HRESULT CDtmUserSettings::ApplyWriteRights() noexcept {
    CQuelkVariableList& variables = host_.Store().Variables();
    const ULONG level = host_.Lifecycle().UserLevel();
    const ULONG count = variables.Count();
    for (ULONG index = 0; index < count; ++index) {
        // Read in place: only the write level and the access word are needed, and most records keep both.
        const CQuelkVariable* record = variables.At(static_cast<int>(index));
        QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
        // The right is only ever taken away here; a record keeps the right its definition gives it.
        if (level >= record->WriteLevel || !(record->Access & kAccessWritable)) continue;
        QL_RETURN_IF_FAILED(variables.SetValueAndAccessAt(
            static_cast<int>(index), nullptr, record->Access & ~static_cast<ULONG>(kAccessWritable)));
    }
    return S_OK;
}

void CDtmUserSettings::NotifyUserLevel() noexcept {
    ql::Variant level;
    level.SetUI4(host_.Lifecycle().UserLevel());
    // What the user interfaces make of it is theirs.
    (void)host_.Lifecycle().NotifyUis(kNotifyUserLevel, *level.Get());
}

HRESULT CDtmUserSettings::SetLanguage(LCID language, VARIANT_BOOL* accepted) noexcept {
    QL_RETURN_IF_NULL_OUT(accepted);
    *accepted = VARIANT_FALSE;
    if (!IsStateBetween(host_.Lifecycle().State(), kStateInitialised, kStateConnected)) return S_FALSE;
    if (language == host_.Lifecycle().Language()) {
        *accepted = VARIANT_TRUE;
        return S_OK;
    }

    CQuelkLocalization& translation = host_.Localization();
    VARIANT_BOOL selected = VARIANT_FALSE;
    const HRESULT hr = translation.SetLanguage(language, &selected);
    QL_RETURN_IF_FAILED(hr);
    if (selected != VARIANT_TRUE) return hr;
    host_.Lifecycle().SetLanguageWord(language);

    // The language is switched: parameter texts that cannot be translated stay in the previous one, and the
    // user interfaces and the frame are told all the same.
    (void)translation.TranslateParameters(language);
    ql::Variant lcid;
    lcid.SetI4(static_cast<LONG>(language));
    (void)host_.Lifecycle().NotifyUis(kNotifyLanguage, *lcid.Get());

    ql::Bstr tag;
    const ql::ComPtr<IFrameEvents> events(host_.Lifecycle().FrameEvents());
    if (events && SUCCEEDED(host_.Lifecycle().SystemTag().CopyTo(tag.Put()))) {
        const ql::SelfHold hold(host_.ControllingUnknown());
        // A notice: the frame reads the functions again when it can.
        (void)events->NotifyFunctionsChanged(tag.Get());
    }
    *accepted = VARIANT_TRUE;
    return S_OK;
}
