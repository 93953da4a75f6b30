#include "comm/QuelkDatasetTransfer.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iterator>
#include <string>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "comm/CommunicationStates.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/QuelkVariableStorePart.h"
#include "values/AnsiText.h"
#include "values/MessageFormat.h"

namespace {

// The stop question: Yes and No buttons, error icon, Yes the default; the answer Yes (6) stops.
constexpr LONG kStopQuestionStyle = 0x14;
constexpr LONG kAnswerYes = 6;

enum class Direction { Read, Write };
enum class Order { Dataset, DownloadOrder };

}  // namespace

struct CQuelkDatasetTransfer::Plan {
    Direction direction;
    Order order;
    ULONG requiredAccess;  // every bit must be set for a parameter to take part
    LONG questionId;
    LONG titleId;
    const wchar_t* progressTitle;
    bool reportsFailures;  // each failure's text goes to the frame
};

HRESULT CQuelkDatasetTransfer::Upload(VARIANT_BOOL* ok) noexcept {
    static const Plan plan = {
        Direction::Read, Order::Dataset, kAccessReadable | kAccessBulkTransfer, 1001, 1002, L"Upload", true};
    return Run(plan, ok);
}

HRESULT CQuelkDatasetTransfer::Download(VARIANT_BOOL* ok) noexcept {
    static const Plan plan = {Direction::Write,
                              Order::DownloadOrder,
                              kAccessDeviceWritable | kAccessBulkTransfer,
                              1003,
                              1004,
                              L"Download to device",
                              false};
    return Run(plan, ok);
}

HRESULT CQuelkDatasetTransfer::DownloadInDatasetOrder(VARIANT_BOOL* ok) noexcept {
    static const Plan plan = {Direction::Write,
                              Order::Dataset,
                              kAccessDeviceWritable | kAccessBulkTransfer,
                              1003,
                              1004,
                              L"Download",
                              true};
    return Run(plan, ok);
}

HRESULT CQuelkDatasetTransfer::Run(const Plan& plan, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, ok == nullptr);
    *ok = VARIANT_FALSE;
    ULONG state = 0;
    QL_RETURN_IF_FAILED(host_->GetState(&state));
    QL_RETURN_HR_IF(E_FAIL, state != kStateConnected);
    // Held for the run: its transfers wait while dispatching messages and it calls the frame.
    const ql::ComPtr<IUnknown> keepAlive(host_->ControllingUnknown());
    IQuelkVariablesEx* const storeInterface = &host_->StorePart();

    CQuelkVariableStore& store = host_->Store();
    store.SetStopRequested(false);
    const LONG count = plan.order == Order::Dataset ? static_cast<LONG>(store.Variables().Count())
                                                    : static_cast<LONG>(std::size(kDownloadOrder));
    bool anyFailed = false;
    bool asked = false;
    store.SetTransferRunning(true);

    for (LONG position = 0; position < count; ++position) {
        if (store.StopRequested()) return EndEarly(E_ABORT);

        ULONG id = 0;
        ULONG isDevice = 0;
        ULONG access = 0;
        ql::Variant value;
        HRESULT valueRead = S_OK;
        if (plan.order == Order::Dataset) {
            if (static_cast<LONG>(store.Variables().Count()) < position + 1) return EndEarly(E_INVALIDARG);
            CQuelkVariable record;
            if (SUCCEEDED(store.Variables().GetVariableAt(position, &record))) {
                id = record.Id();
                isDevice = record.IsDeviceParameter;
                access = record.Access;
                valueRead = value.CopyFrom(*record.Value);
            }
        } else {
            id = kDownloadOrder[position];
            ql::Variant field;
            if (SUCCEEDED(store.GetVariableField(id, kFieldIsDeviceParameter, field.Get())) &&
                SUCCEEDED(field.ChangeType(VT_UI4))) {
                isDevice = V_UI4(field.Get());
            }
            if (SUCCEEDED(store.GetVariableField(id, kFieldAccess, field.Put())) &&
                SUCCEEDED(field.ChangeType(VT_UI4))) {
                access = V_UI4(field.Get());
            }
        }

        if (isDevice == 1 && (access & plan.requiredAccess) == plan.requiredAccess) {
            if (FAILED(host_->GetState(&state)) || state != kStateConnected) return EndEarly(E_FAIL);
            VARIANT_BOOL done = VARIANT_FALSE;
            HRESULT hr = S_OK;
            if (plan.direction == Direction::Read) {
                hr = storeInterface->ReadFromDevice(id, &done);
            } else {
                if (plan.order == Order::DownloadOrder) valueRead = store.GetValue(id, value.Put());
                // A value that could not be read is never written in its place (as an empty one): the
                // parameter fails like any other.
                hr = FAILED(valueRead) ? valueRead : storeInterface->WriteToDevice(id, *value, &done);
            }
            // The thread is shutting down: no further transfer can be waited for, and nobody is left to
            // read a failure text per parameter or to answer a question.
            if (hr == kQuitRequestedResult) return EndEarly(E_ABORT);
            // A write the device answered with an error is one failed parameter of the run: the store's
            // message says why, and the run asks and goes on as for any other.
            if (hr == kDeviceRefusedResult) {
                (void)::SetErrorInfo(0, nullptr);  // the store's text is the run's; nobody asks for this one
                hr = S_OK;
            }
            if (FAILED(hr) || done != VARIANT_TRUE || !store.LastResultOk()) {
                if (plan.reportsFailures) ReportFailure(id, hr, done);
                anyFailed = true;
                if (!asked) {
                    if (UserWantsToStop(plan)) return EndEarly(hr);
                    asked = true;
                }
            }
        }
        ReportProgress(position, count, ql::Bstr(plan.progressTitle).Get());
    }
    // A stop requested during the last parameter's transfer ends the run as one requested earlier would.
    if (store.StopRequested()) return EndEarly(E_ABORT);

    store.SetTransferRunning(false);
    store.SetStopRequested(false);
    HideProgress();
    *ok = anyFailed ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkDatasetTransfer::EndEarly(HRESULT result) noexcept {
    CQuelkVariableStore& store = host_->Store();
    store.SetStopRequested(false);
    store.SetTransferRunning(false);
    HideProgress();
    return result;
}

void CQuelkDatasetTransfer::HideProgress() noexcept {
    ql::Bstr empty;
    // A null title hides the progress just as an empty one does.
    (void)empty.Assign(std::wstring_view());
    ReportProgress(0, 0, empty.Get());
}

void CQuelkDatasetTransfer::ReportProgress(LONG index, LONG count, BSTR title) noexcept {
    if (!host_) return;
    const ql::ComPtr<IFrameEvents> events(host_->FrameEvents());
    if (!events) return;
    const ql::SelfHold hold(host_->ControllingUnknown());
    ql::Bstr systemTag;
    if (FAILED(host_->GetSystemTag(systemTag.Put()))) return;
    if (index == 0) {
        // Progress is a notice: the frame's answer does not change the run.
        (void)events->NotifyProgress(systemTag.Get(), title, 0, VARIANT_FALSE);
        return;
    }
    // Any client may ask (ShowProgressValue): without a positive count there is no percentage to show.
    if (count <= 0 || host_->Store().StopRequested()) return;
    // The frame takes the percentage as a 16-bit integer: an index far outside the count must not wrap.
    const LONGLONG exact = static_cast<LONGLONG>(index) * 100 / count;
    const SHORT percent = static_cast<SHORT>(std::clamp<LONGLONG>(exact, SHRT_MIN, SHRT_MAX));
    // As above: a notice.
    (void)events->NotifyProgress(systemTag.Get(), title, percent, VARIANT_TRUE);
}

bool CQuelkDatasetTransfer::UserWantsToStop(const Plan& plan) noexcept {
    ql::Bstr question, title;
    if (FAILED(host_->GetToolkitMessage(plan.questionId, question.Put())) ||
        FAILED(host_->GetToolkitMessage(plan.titleId, title.Put()))) {
        return false;
    }
    ql::Variant style;
    style.SetI4(kStopQuestionStyle);
    LONG answer = 0;
    const HRESULT hr = host_->ShowFrameMessage(question.Get(), title.Get(), *style, &answer);
    // A DTM without its functions service asks nobody; the run then asks again at the next failure.
    if (hr == E_NOINTERFACE) return false;
    return answer == kAnswerYes;
}

void CQuelkDatasetTransfer::ReportFailure(ULONG id, HRESULT result, VARIANT_BOOL done) noexcept {
    const CQuelkVariable* record = host_->Store().Variables().Find(id);
    std::string name;
    // A name or cause that cannot be converted is reported empty: the message still names the failure.
    if (record) (void)WideToAnsi(record->Name.View(), name);
    // The cause: the store's message when the device or the channel answered with an error; otherwise what
    // kept the answer from arriving, which leaves no message in the store.
    std::string cause;
    if (FAILED(result)) {
        char text[64];
        std::snprintf(text, sizeof text,
                      result == E_ABORT ? "no answer from the device (0x%08lX)" : "0x%08lX",
                      static_cast<unsigned long>(result));
        cause = text;
    } else if (done != VARIANT_TRUE) {
        cause = "the request was not sent";
    } else {
        (void)WideToAnsi(host_->Store().LastResultText().View(), cause);  // as the name above
    }
    ReportDtmMessage(host_->MessageSink(), "%s:%s", name.c_str(), cause.c_str());
}
