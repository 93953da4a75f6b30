#include "ui/login/SrvLogin.h"

#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "controls/base/ControlArguments.h"
#include "ui/login/LoginResources.h"
#include "values/AnsiText.h"

namespace {

// The service pair; the DTM compares the stored pair with the same two texts before it opens anything.
constexpr char kServiceUserName[] = "kvnd";
constexpr char kServicePassword[] = "ozq";
constexpr int kFieldChars = 100;          // at most 99 characters of a field take part
constexpr UINT kForwardMessage = 0x037F;  // WM_FORWARDMSG: a child asked whether it wants the key

const ParameterMap& SrvLoginMap() {
    static const ParameterMap map{
        {kParameterUserName, "Username", 0, IDC_LOGIN_USERNAME, "%s", kAccessDeviceReadWrite,
         kControlDefaultColors},
        {kParameterServicePassword, "Password", 0, IDC_LOGIN_PASSWORD, "%s", kAccessDeviceReadWrite,
         kControlDefaultColors},
    };
    return map;
}

// Whether the text of `item` is `expected`: both through the ANSI code page to UTF-16, compared whole and
// case-sensitive, nothing trimmed. A field that cannot be read counts as different.
bool FieldEquals(HWND dialog, int item, const char* expected) noexcept {
    char typed[kFieldChars] = {};
    ::GetDlgItemTextA(dialog, item, typed, kFieldChars);
    ql::Bstr typedText, expectedText;
    if (FAILED(AnsiToBstr(typed, typedText)) || FAILED(AnsiToBstr(expected, expectedText))) return false;
    if (typedText.IsNull() || expectedText.IsNull()) return false;
    return typedText.View() == expectedText.View();
}

bool IsKeyboardMessage(UINT message) noexcept { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

}  // namespace

CSrvLogin::CSrvLogin() noexcept : CQuelkCompositeControl(IDD_SRVLOGIN, CLSID_SrvLogin, SrvLoginMap()) {}

bool CSrvLogin::IsServiceLogin() noexcept {
    const HWND dialog = DialogWindow();
    // The password is compared only for the service user.
    return dialog && FieldEquals(dialog, IDC_LOGIN_USERNAME, kServiceUserName) &&
           FieldEquals(dialog, IDC_LOGIN_PASSWORD, kServicePassword);
}

LRESULT CSrvLogin::OnOK(WORD, WORD, HWND, BOOL&) noexcept {
    if (!IsServiceLogin()) {
        // The login stays open for another attempt; what was typed stays.
        (void)SendUserMessage("wrong input", "", 0);
        return 0;
    }
    // A pair the dataset does not take is not reported: the DTM then finds no match and opens nothing.
    (void)StoreControlValue(kParameterUserName);
    (void)StoreControlValue(kParameterServicePassword);
    ql::ComPtr<IDtmObject> dtm;
    if (HasDtmLink() && SUCCEEDED(ql::QueryInterfaceTo(DtmLink(), dtm)) && dtm) (void)dtm->ShowTreeActiveX();
    // A close request that cannot be posted leaves the control open; the user can close it again.
    (void)PostCloseRequest();
    return 0;
}

LRESULT CSrvLogin::OnCancel(WORD, WORD, HWND, BOOL&) noexcept {
    // A close request that cannot be posted leaves the control open; the user can close it again.
    (void)PostCloseRequest();
    return 0;
}

HRESULT CSrvLogin::TranslateAccelerator(LPMSG message) noexcept {
    QL_RETURN_IF_NULL_OUT(message);
    const HWND dialog = WindowHandle();
    if (!dialog || !IsKeyboardMessage(message->message)) return S_FALSE;
    // Keys of other windows are the container's.
    if (message->hwnd != dialog && !::IsChild(dialog, message->hwnd)) return S_FALSE;

    HWND target = ::GetFocus();
    if (target && ::IsChild(dialog, target)) {
        while (::GetParent(target) != dialog) target = ::GetParent(target);
    }
    if (target && ::SendMessageW(target, kForwardMessage, 0, reinterpret_cast<LPARAM>(message)) == 1)
        return S_OK;

    const LRESULT dialogCode = ::SendMessageW(message->hwnd, WM_GETDLGCODE, 0, 0);
    if (message->message == WM_KEYDOWN) {
        switch (message->wParam) {
            case VK_CANCEL:
            case VK_EXECUTE:
                return S_FALSE;
            case VK_ESCAPE: {
                BOOL handled = TRUE;
                // The Escape key is taken whatever the close request answers.
                (void)OnCancel(BN_CLICKED, IDCANCEL, nullptr, handled);
                return S_OK;
            }
            default:
                break;
        }
    } else if (message->message == WM_CHAR && dialogCode == 0) {
        return S_FALSE;
    }
    return ::IsDialogMessageW(dialog, message) ? S_OK : S_FALSE;
}
