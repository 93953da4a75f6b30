// The dataset image in the frame's stream: IQuelkPersistData's stream methods, IPersistStreamInit with the
// class library's version behind the image, and the dataset-modified flag.
#include "dtm/QuelkPersist.h"

#include "VarnokP3.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "dataset/StreamValueReader.h"
#include "dataset/StreamValueWriter.h"
#include "dtm/DtmState.h"
#include "dtm/DtmHost.h"
#include "dtm/QuelkDtm.h"
#include "dtm/documents/DtmParameterPart.h"

namespace {

// The path that asks IDtmParameter for the whole parameter document.
constexpr wchar_t kWholeDocumentPath[] = L"\\";

// A lifecycle step that does not succeed answers S_FALSE, as the frame's calls refused in a state do.
HRESULT AsStateAnswer(HRESULT hr) noexcept { return hr == S_OK ? S_OK : S_FALSE; }

}  // namespace

bool CQuelkPersist::StateAcceptsLoad() const noexcept {
    return IsStateIn(host_.Lifecycle().State(), {kStateCreated, kStatePreparedToDelete});
}

bool CQuelkPersist::StateAcceptsSave() const noexcept {
    return IsStateIn(host_.Lifecycle().State(), {kStateConfigured, kStateCommunicationSet, kStateConnected});
}

// ---- The image ----

HRESULT CQuelkPersist::WriteImage(IStream* stream) noexcept {
    return CDatasetImage::Write(stream, host_.Lifecycle().DeviceType().Get(), host_.Store(),
                                ControllingUnknown());
}

HRESULT CQuelkPersist::ParseDataStream(IStream* stream, LoadedImage& image) noexcept {
    return CDatasetImage::Read(stream, ControllingUnknown(), image);
}

HRESULT CQuelkPersist::CommitImage(LoadedImage& image) noexcept {
    QL_RETURN_IF_FAILED(CQuelkValuesImage::Assign(host_.Store(), std::move(image.Values)));
    host_.Lifecycle().DeviceType() = std::move(image.DeviceType);
    return S_OK;
}

HRESULT CQuelkPersist::WriteDataStream(IStream* stream, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    QL_RETURN_IF_NULL_OUT(stream);
    const HRESULT hr = WriteImage(stream);
    if (hr != S_OK) return hr;
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkPersist::ReadDataStream(IStream* stream, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    QL_RETURN_IF_NULL_OUT(stream);
    LoadedImage image;
    QL_RETURN_IF_FAILED(ParseDataStream(stream, image));
    QL_RETURN_IF_FAILED(CommitImage(image));
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkPersist::InitNewData(VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    host_.Lifecycle().DeviceType().Reset();
    // A new dataset keeps the values of the parameter table.
    VARIANT_BOOL done = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(host_.Store().InitNewValues(&done));
    if (done != VARIANT_TRUE) return S_FALSE;
    *ok = VARIANT_TRUE;
    return S_OK;
}

// ---- The values part alone (the store's slots) ----

HRESULT CQuelkPersist::SaveValuesPart(IStream* stream, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, ok == nullptr || stream == nullptr);
    *ok = VARIANT_TRUE;
    const HRESULT hr = CQuelkValuesImage::SaveToStream(host_.Store(), stream);
    if (FAILED(hr)) *ok = VARIANT_FALSE;
    return hr;
}

HRESULT CQuelkPersist::LoadValuesPart(IStream* stream, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, ok == nullptr || stream == nullptr);
    *ok = VARIANT_TRUE;
    const HRESULT hr = CQuelkValuesImage::LoadFromStream(host_.Store(), stream);
    if (FAILED(hr)) *ok = VARIANT_FALSE;
    return hr;
}

// ---- IQuelkPersistData (streams) ----

HRESULT CQuelkPersist::LoadFromStream(IStream* stream) noexcept {
    VARIANT_BOOL ok = VARIANT_FALSE;
    const HRESULT hr = ReadDataStream(stream, &ok);
    QL_RETURN_IF_FAILED(hr);
    QL_RETURN_HR_IF(E_FAIL, ok != VARIANT_TRUE);
    (void)SetModified(false);
    return hr;
}

HRESULT CQuelkPersist::SaveToStream(IStream* stream) noexcept {
    VARIANT_BOOL ok = VARIANT_FALSE;
    const HRESULT hr = WriteDataStream(stream, &ok);
    QL_RETURN_IF_FAILED(hr);
    QL_RETURN_HR_IF(E_FAIL, ok != VARIANT_TRUE);
    (void)SetModified(false);
    return hr;
}

// ---- IPersist and IPersistStreamInit ----

HRESULT CQuelkPersist::GetClassID(CLSID* classId) noexcept {
    QL_RETURN_IF_NULL_OUT(classId);
    *classId = CLSID_DtmObject;
    return S_OK;
}

HRESULT CQuelkPersist::IsDirty() noexcept {
    // A modified dataset needs saving too: a frame that asks before it saves must not lose a change.
    return requiresSave_ || modified_ ? S_OK : S_FALSE;
}

// Only a call refused in the current lifecycle state answers S_FALSE. A save or load that fails answers a
// failure code (the stream's own, or E_FAIL for an image that is not one): a frame that tests FAILED() must
// neither keep a cut image as saved nor go on after a refused load.
HRESULT CQuelkPersist::Load(IStream* stream) noexcept {
    if (!StateAcceptsLoad()) return S_FALSE;
    QL_RETURN_IF_NULL_OUT(stream);
    return ql::GuardComCall([&]() -> HRESULT {
        LoadedImage image;
        QL_RETURN_IF_FAILED(ParseDataStream(stream, image));
        // The version the class library wrote behind the image is checked before anything is taken over.
        CStreamValueReader trailer(stream);
        ULONG version = 0;
        QL_RETURN_IF_FAILED(trailer.Start());
        QL_RETURN_IF_FAILED(trailer.ReadUInt32(&version));
        QL_RETURN_IF_FAILED(trailer.HandBack());
        QL_RETURN_HR_IF(E_FAIL, version > kPropertyMapVersion);
        QL_RETURN_IF_FAILED(CommitImage(image));
        (void)SetModified(false);
        requiresSave_ = false;
        return AsStateAnswer(host_.Lifecycle().SetState(kStateLoaded));
    });
}

HRESULT CQuelkPersist::Save(IStream* stream, BOOL clearDirty) noexcept {
    if (!StateAcceptsSave()) return S_FALSE;
    QL_RETURN_IF_NULL_OUT(stream);
    const HRESULT written = WriteImage(stream);
    QL_RETURN_IF_FAILED(written);
    QL_RETURN_HR_IF(E_FAIL, written != S_OK);
    CStreamValueWriter writer(stream);
    QL_RETURN_IF_FAILED(writer.WriteUInt32(kPropertyMapVersion));
    // Only a complete image counts as saved, and only when the caller asks for it: a frame that saves a
    // copy (clearDirty FALSE) still has the change to save into its project.
    if (clearDirty) {
        (void)SetModified(false);
        requiresSave_ = false;
    }
    return S_OK;
}

HRESULT CQuelkPersist::GetSizeMax(ULARGE_INTEGER* size) noexcept {
    if (size) size->QuadPart = 0;
    return E_NOTIMPL;
}

HRESULT CQuelkPersist::InitNew() noexcept {
    if (!StateAcceptsLoad()) return S_FALSE;
    VARIANT_BOOL ok = VARIANT_FALSE;
    if (InitNewData(&ok) != S_OK || ok != VARIANT_TRUE) return S_FALSE;
    const HRESULT hr = host_.Lifecycle().SetState(kStateNew);
    host_.Lifecycle().DeviceType().Reset();
    return AsStateAnswer(hr);
}

// ---- The dataset-modified flag ----

HRESULT CQuelkPersist::TellFrameModified() noexcept {
    const ql::ComPtr<IFrameContainer> frame(host_.Lifecycle().Frame());
    if (!frame) return S_OK;
    ql::Bstr tag;
    if (FAILED(host_.Lifecycle().GetSystemTag(tag.Put()))) return S_FALSE;
    const ql::SelfHold hold(ControllingUnknown());
    VARIANT_BOOL answer = VARIANT_FALSE;
    (void)frame->SetDirtyFlag(tag.Get(), &answer);  // the frame's answer is not used
    return S_OK;
}

HRESULT CQuelkPersist::TellFrameSaved() noexcept {
    ql::Bstr tag;
    if (FAILED(host_.Lifecycle().GetSystemTag(tag.Put()))) return S_FALSE;
    // The frame receives the dataset as it now stands, when the DTM can write it.
    IUnknown* self = ControllingUnknown();
    const ql::ComPtr<IUnknown> keepAlive(self);
    ql::Bstr path(kWholeDocumentPath);
    ql::Bstr document;
    if (host_.ParameterDocument().GetParameters(path.Get(), document.Put()) != S_OK) return S_OK;
    if (const ql::ComPtr<IFrameEvents> events(host_.Lifecycle().FrameEvents()); events) {
        const ql::SelfHold hold(self);
        (void)events->NotifyParameterDocument(tag.Get(), document.Get());
    }
    return S_OK;
}

HRESULT CQuelkPersist::SetModified(bool modified) noexcept {
    if (modified_ == modified) return S_OK;
    modified_ = modified;
    if (modified_ && !notificationSuspended_) return TellFrameModified();
    return TellFrameSaved();
}

HRESULT CQuelkPersist::SuspendModifiedNotification(bool suspend) noexcept {
    notificationSuspended_ = suspend;
    if (!suspend && modified_) return TellFrameModified();
    return S_OK;
}
