// CQuelkFunctions: the broadcasts to every open control (state, notifications, messages).
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "dataset/VariantArguments.h"
#include "dtm/services/QuelkFunctions.h"
#include "dtm/QuelkDtm.h"

namespace {

struct NotificationCall {
    ULONG code;
    const VARIANT* argument;
};

struct MessageCall {
    ULONG id;
    BSTR text;
    const VARIANT* argument;
};

}  // namespace

HRESULT CQuelkFunctions::Broadcast(ControlCall call, void* context) noexcept {
    if (openUis_.Count() == 0) return S_OK;
    const ql::SelfHold hold(host_.ControllingUnknown());
    HRESULT failure = S_OK;
    // A control may register or leave while it is told something: the length is read anew each time and the
    // control is held while it is called.
    for (size_t index = 0; index < openUis_.Count(); ++index) {
        const ql::ComPtr<IUnknown> control = openUis_.At(index).Control;
        ql::ComPtr<IUnknown> identity;
        ql::ComPtr<IQuelkControlCompat> ui;
        if (!control || FAILED(control->QueryInterface(IID_IUnknown, identity.PutVoid())) || !identity ||
            FAILED(identity->QueryInterface(IID_IQuelkControlCompat, ui.PutVoid())) || !ui) {
            // A control that no longer answers is reported, but the ones after it are still served.
            failure = E_UNEXPECTED;
            continue;
        }
        const HRESULT hr = call(ui.Get(), context);
        if (FAILED(hr)) failure = hr;
    }
    return failure;
}

HRESULT CQuelkFunctions::BroadcastState(ULONG state) noexcept {
    stateCopy_ = state;
    return Broadcast(
        [](IQuelkControl* control, void* context) noexcept {
            return control->SetDtmState(*static_cast<const ULONG*>(context));
        },
        &state);
}

HRESULT CQuelkFunctions::BroadcastNotification(ULONG code, VARIANT argument) noexcept {
    NotificationCall notification{code, &argument};
    return Broadcast(
        [](IQuelkControl* control, void* context) noexcept -> HRESULT {
            const auto& call = *static_cast<const NotificationCall*>(context);
            ql::Variant code;
            code.SetUI4(call.code);
            // Each control gets its own copy: what one does with it cannot reach the next.
            ql::Variant argument;
            QL_RETURN_IF_FAILED(argument.CopyFrom(*call.argument));
            return control->NotifyVariant(*code.Get(), *argument.Get());
        },
        &notification);
}

HRESULT CQuelkFunctions::BroadcastMessage(ULONG id, BSTR text, VARIANT argument) noexcept {
    MessageCall message{id, text, &argument};
    return Broadcast(
        [](IQuelkControl* control, void* context) noexcept -> HRESULT {
            const auto& call = *static_cast<const MessageCall*>(context);
            ql::Variant id;
            id.SetUI4(call.id);
            ql::Variant argument;
            QL_RETURN_IF_FAILED(argument.CopyFrom(*call.argument));
            return control->ShowMessageVariant(*id.Get(), call.text, *argument.Get());
        },
        &message);
}

HRESULT CQuelkFunctions::BroadcastNotificationVariant(VARIANT code, VARIANT argument) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(code, &number));
    return BroadcastNotification(number, argument);
}

HRESULT CQuelkFunctions::BroadcastMessageVariant(VARIANT id, BSTR text, VARIANT argument) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return BroadcastMessage(number, text, argument);
}
