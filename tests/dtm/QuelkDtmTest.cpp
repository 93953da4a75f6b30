// The DTM object as created: its members, its interface table and aggregation, and the toolkit main
// interface IQuelkDtm.
#include "DtmTestSupport.h"
#include "classlib/Variant.h"
#include "dtm/DtmObjectFactory.h"

namespace dtmtest {
namespace {

using QuelkDtmTest = DtmTest;

TEST_F(QuelkDtmTest, CreationBuildsTheDatasetAndEntersStateOne) {
    EXPECT_EQ(1u, State());
    ULONG count = 0;
    EXPECT_HR(S_OK, dtm_->GetCount(&count));
    EXPECT_EQ(121u, count);
    ULONG language = 0;
    EXPECT_HR(S_OK, dtm_->GetLanguage(&language));
    EXPECT_EQ(0x400u, language);
}

TEST_F(QuelkDtmTest, MembersStartAsTheToolkitLeavesThem) {
    EXPECT_EQ(8u, dtm_->UserLevel());
    EXPECT_EQ(0u, dtm_->OperationPhase());
    EXPECT_FALSE(dtm_->DataLocked());
    EXPECT_FALSE(dtm_->FrameLocked());
    // Fields the toolkit leaves unset start at zero here.
    EXPECT_EQ(0u, dtm_->PrivateDialogsEnabled());
    EXPECT_TRUE(dtm_->TransferInvokeId().IsNull());
    EXPECT_TRUE(dtm_->DeviceType().IsNull());
    EXPECT_EQ(nullptr, dtm_->Frame());
    EXPECT_EQ(nullptr, dtm_->FrameEvents());
    EXPECT_EQ(nullptr, dtm_->Channel());
    EXPECT_EQ(1000u, dtm_->CancelPause());
    EXPECT_TRUE(dtm_->AutoConnect());
    EXPECT_FALSE(dtm_->StateEvent().IsSet());
    EXPECT_FALSE(dtm_->CommunicationSetEvent().IsSet());
}

}  // namespace
}  // namespace dtmtest
