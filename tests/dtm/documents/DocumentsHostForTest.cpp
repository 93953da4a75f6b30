// The adapter the DTM object uses: every call reaches the part that owns it.
#include "DocumentsTestSupport.h"
#include "dtm/documents/DtmDocumentsHostFor.h"
#include "dtm/services/QuelkUiFunctionTable.h"

namespace doctest {
namespace {

// Stand-ins for the DTM object's toolkit base, persistence and functions parts, with the accessors the
// adapter binds to.
struct FakeToolkit {
    ULONG State() const { return 9; }
    ULONG UserLevel() const { return 4; }
    const ql::Bstr& SystemTag() const { return tag; }
    ql::Bstr& DeviceType() { return deviceType; }
    IFrameContainer* Frame() const { return nullptr; }
    IFrameEvents* FrameEvents() const { return nullptr; }
    CQuelkXMLHandlerImpl& XmlHandler() { return xml; }
    CQuelkMessageSink* MessageSink() { return &sink; }
    bool FrameLocked() const { return true; }
    bool DataLocked() const { return false; }
    bool CompareInitialised() const { return compareInitialised; }
    void SetCompareInitialised(bool initialised) { compareInitialised = initialised; }
    bool CompareRunning() const { return false; }
    void SetCompareRunning(bool) {}
    ql::Bstr& ComparePeerTag() { return peerTag; }
    ql::ComPtr<IQuelkVariableFields>& ComparePeerStore() { return peerStore; }
    bool compareInitialised = false;
    ql::Bstr peerTag;
    ql::ComPtr<IQuelkVariableFields> peerStore;
    ql::Bstr tag{L"tag"};
    ql::Bstr deviceType{L"type"};
    CQuelkXMLHandlerImpl xml;
    RecordingSink sink;
};
struct FakePersist {
    bool Modified() const { return modified; }
    HRESULT SuspendModifiedNotification(bool suspend) {
        suspended = suspend;
        return S_OK;
    }
    bool modified = true;
    bool suspended = false;
};
struct FakeFunctions {
    CQuelkUiFunctionTable& FunctionTable() { return table; }
    CQuelkUiFunctionTable table;
};
struct FakeDtm : FakeToolkit, FakePersist, FakeFunctions {
    IUnknown* GetControllingUnknown() { return nullptr; }
    CQuelkVariableStore& Store() { return store; }
    void ReportTransferProgress(LONG index, LONG count, BSTR title) {
        progress = std::to_string(index) + "/" + std::to_string(count) + " " + Narrow(title);
    }
    CQuelkVariableStore store;
    std::string progress;
};

TEST(DocumentsHostForTest, ForwardsToTheOwningParts) {
    FakeDtm dtm;
    CDtmDocumentsHostFor<FakeDtm, FakeToolkit, FakePersist, FakeFunctions> host(dtm);
    EXPECT_EQ(9u, host.State());
    EXPECT_EQ(4u, host.UserLevel());
    EXPECT_EQ("tag", Narrow(host.SystemTag()));
    EXPECT_EQ("type", Narrow(host.DeviceType()));
    EXPECT_EQ(&dtm.store, &host.Store());
    EXPECT_EQ(&dtm.xml, &host.XmlHandler());
    EXPECT_TRUE(host.DatasetModified());
    EXPECT_HR(S_OK, host.SuspendModifiedNotification(true));
    EXPECT_TRUE(dtm.suspended);
    EXPECT_TRUE(host.FrameLocked());
    EXPECT_FALSE(host.DataLocked());
    host.SetCompareInitialised(true);
    EXPECT_TRUE(dtm.compareInitialised);
    EXPECT_EQ(&dtm.peerTag, &host.ComparePeerTag());
    host.ReportProgress(3, 7, ql::Bstr(L"Export").Get());
    EXPECT_EQ("3/7 Export", dtm.progress);
    // The device's UI-function table has rows 1, 2, 4, 5, 6 and 8.
    for (LONG id : {1L, 2L, 4L, 5L, 6L, 8L}) EXPECT_TRUE(host.HasUiFunction(id)) << id;
    for (LONG id : {0L, 3L, 7L, -1L}) EXPECT_FALSE(host.HasUiFunction(id)) << id;
}

}  // namespace
}  // namespace doctest
