// The parameterization window's start-up upload: online, on the first tick of the start-up timer, every
// device parameter of the DTM's dataset is read from the device once, with progress in the frame
// application, so that the pages show the device's values.
#include "classlib/Variant.h"
#include "controls/sync/AccessWordMark.h"
#include "dataset/VariableFields.h"
#include "dataset/VariantArguments.h"
#include "ui/frame/TreeFrame.h"
#include "ui/frame/TreeFrameConstants.h"

using namespace treeframe;

LRESULT CTreeFrame::OnTimer(UINT, WPARAM timerId, LPARAM, BOOL& handled) noexcept {
    if (timerId != reinterpret_cast<UINT_PTR>(this)) {
        handled = FALSE;
        return 0;
    }
    if (const HWND window = WindowHandle()) ::KillTimer(window, reinterpret_cast<UINT_PTR>(this));
    RunStartUpUpload();
    return 0;
}

void CTreeFrame::RunStartUpUpload() noexcept {
    // Once, online only, and only with a DTM (a failed Init leaves none).
    if (uploadStarted_ || frameMode_ != kOnlineMode || !Variables()) return;
    uploadStarted_ = true;
    // The reads pump messages: a close request may arrive and let the window go meanwhile.
    const ql::ComPtr<IUnknown> self(ControllingUnknown());
    const ql::ComPtr<IQuelkVariables> dtm(Variables());
    ql::ComPtr<IQuelkVariableFields> fields;
    ql::ComPtr<IDtmObject> progress;
    if (FAILED(ql::QueryInterfaceTo(dtm.Get(), fields)) || !fields) return;
    if (FAILED(ql::QueryInterfaceTo(dtm.Get(), progress)) || !progress) return;
    ql::Variant countValue;
    ULONG count = 0;
    if (FAILED(fields->GetCountVariant(countValue.Put())) || FAILED(VariantToUInt32(*countValue, &count)))
        count = 0;
    const ql::Bstr title(L"Parameter Upload");
    for (ULONG index = 0; index < count; ++index) {
        if (uploadStop_) return;
        ql::Variant at;
        at.SetUI4(index);
        ql::Variant id;
        if (FAILED(fields->GetVariableAtVariant(*at, id.Put()))) continue;
        ql::Variant flag;
        ULONG deviceFlag = 0;
        if (FAILED(fields->GetVariableField(*id, *I4(kFieldIsDeviceParameter), flag.Put())) ||
            FAILED(VariantToUInt32(*flag, &deviceFlag)) || deviceFlag != 1) {
            continue;
        }
        ULONG numericId = 0;
        if (FAILED(VariantToUInt32(*id, &numericId))) continue;
        ULONG access = 0;
        if (!AccessWordMark::ReadWord(dtm.Get(), numericId, access)) continue;
        {
            AccessWordMark mark(dtm.Get(), numericId, access | kAccessOnlineTransferMark,
                                access & ~kAccessOnlineTransferMark);
            if (uploadStop_) return;
            VARIANT_BOOL done = VARIANT_FALSE;
            // The start-up upload fills the pages as far as the device answers; a parameter that is not read
            // keeps its value, and the DTM reports the failure.
            (void)dtm->ReadFromDevice(*id, &done);
        }
        if (uploadStop_) return;
        // Progress is a notice.
        (void)progress->ShowProgressValue(static_cast<LONG>(index), static_cast<LONG>(count), title.Get());
    }
    // Progress is a notice.
    (void)progress->ShowProgressValue(0, 0, ql::Bstr(L"").Get());
}
