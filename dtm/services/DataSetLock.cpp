#include "dtm/services/DataSetLock.h"

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/SelfHold.h"
#include "dtm/QuelkDtm.h"
#include "dtm/services/QuelkLocalization.h"
#include "dtm/services/ToolkitMessages.h"

namespace {

// Reported when the translation document has no message 2004.
constexpr wchar_t kRefusedReleaseText[] = L"The frame application did not release the data set lock.";

}  // namespace

HRESULT CDataSetLock::Take() noexcept {
    if (!host_.Lifecycle().DataLocked() && !host_.Lifecycle().FrameLocked()) {
        const ql::ComPtr<IFrameContainer> frame(host_.Lifecycle().Frame());
        ql::Bstr tag;
        if (!frame || FAILED(host_.Lifecycle().SystemTag().CopyTo(tag.Put()))) return S_FALSE;
        const ql::SelfHold hold(host_.ControllingUnknown());
        VARIANT_BOOL granted = VARIANT_FALSE;
        if (FAILED(frame->LockDataSet(tag.Get(), &granted))) return S_FALSE;
        host_.Lifecycle().SetFrameLocked(granted != VARIANT_FALSE);
    }
    ++holders_;
    return S_OK;
}

void CDataSetLock::Release() noexcept {
    if (holders_ == 0) return;
    --holders_;
    if (holders_ != 0 || !host_.Lifecycle().FrameLocked()) return;

    const ql::ComPtr<IFrameContainer> frame(host_.Lifecycle().Frame());
    ql::Bstr tag;
    if (!frame || FAILED(host_.Lifecycle().SystemTag().CopyTo(tag.Put()))) return;
    const ql::SelfHold hold(host_.ControllingUnknown());
    VARIANT_BOOL released = VARIANT_FALSE;
    if (FAILED(frame->UnlockDataSet(tag.Get(), &released))) return;
    if (released == VARIANT_FALSE) ReportRefusedRelease();
    host_.Lifecycle().SetFrameLocked(false);
}

void CDataSetLock::ReportRefusedRelease() noexcept {
    ql::Bstr text;
    bool found = false;
    // Without a translation the built-in text below is used.
    if (FAILED(TranslateToolkitMessage(&host_.Localization(), kMessageLockReleaseRefused, text, found)) ||
        !found) {
        if (FAILED(text.Assign(kRefusedReleaseText))) return;
    }
    // The text is the message itself, not a format.
    host_.Lifecycle().MessageSink()->DeliverMessage(text.Get());
}
