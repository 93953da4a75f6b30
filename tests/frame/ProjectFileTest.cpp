// The project file: the DTM's stream image saved and loaded through a stream over the file.
#include <ocidl.h>

#include "FrameTestSupport.h"
#include "classlib/Bstr.h"
#include "dtm/DtmObjectFactory.h"
#include "frame/DtmSession.h"
#include "frame/FrameDocuments.h"
#include "frame/ProjectFile.h"

namespace frametest {
namespace {

class ProjectFileTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        frame_->Script().SchemaFolder = SourceTreeSchemaFolder();
    }
    // A new DTM of this module, created as its class factory does.
    void NewDtm(CDtmSession& session) {
        ql::ComPtr<IUnknown> object;
        ASSERT_HR(S_OK, CreateDtmObject(nullptr, IID_IUnknown, object.PutVoid()));
        ASSERT_HR(S_OK, session.Attach(object.Get()));
    }
    void Configure(CDtmSession& session) {
        ql::ComPtr<IPersistStreamInit> persist;
        ASSERT_HR(S_OK, session.Object()->QueryInterface(IID_IPersistStreamInit, persist.PutVoid()));
        ASSERT_HR(S_OK, persist->InitNew());
        ql::Bstr tag(L"Project/Device"), type(VarnokDeviceTypeDocument()),
            user(UserInformationDocument(L"operator"));
        VARIANT_BOOL result = VARIANT_FALSE;
        ASSERT_HR(S_OK, session.Dtm()->Environment(tag.Get(), frame_.Get(), &result));
        ASSERT_HR(S_OK, session.Dtm()->InitNew(type.Get(), &result));
        ASSERT_HR(S_OK, session.Dtm()->Config(user.Get(), &result));
        ASSERT_EQ(8u, session.State());
    }
};

TEST_F(ProjectFileTest, SavedProjectsLoadIntoANewDtm) {
    CProjectFile project(temp_.File(L"roundtrip.varnok"));
    CDtmSession first;
    NewDtm(first);
    Configure(first);
    ASSERT_HR(S_OK, project.Save(first.Object()));
    std::string bytes;
    ASSERT_HR(S_OK, project.ReadBytes(bytes));
    EXPECT_GT(bytes.size(), 4000u);
    EXPECT_EQ(std::string("\x00\x03\x00\x00", 4), bytes.substr(bytes.size() - 4)) << "ends in the version";
    first.Release();

    CDtmSession second;
    NewDtm(second);
    EXPECT_HR(S_OK, project.Load(second.Object()));
    EXPECT_EQ(5u, second.State());
}

TEST_F(ProjectFileTest, ARefusedSaveLeavesTheProjectAsItWas) {
    CProjectFile project(temp_.File(L"kept.varnok"));
    CDtmSession configured;
    NewDtm(configured);
    Configure(configured);
    ASSERT_HR(S_OK, project.Save(configured.Object()));
    std::string before;
    ASSERT_HR(S_OK, project.ReadBytes(before));

    CDtmSession fresh;  // state 1: saving is refused
    NewDtm(fresh);
    EXPECT_HR(S_FALSE, project.Save(fresh.Object()));
    std::string after;
    ASSERT_HR(S_OK, project.ReadBytes(after));
    EXPECT_EQ(before, after);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((project.Path() + L".saving").c_str()));
}

TEST_F(ProjectFileTest, AMissingProjectDoesNotLoad) {
    CProjectFile project(temp_.File(L"missing.varnok"));
    CDtmSession dtm;
    NewDtm(dtm);
    EXPECT_TRUE(FAILED(project.Load(dtm.Object())));
    EXPECT_EQ(1u, dtm.State());
}

}  // namespace
}  // namespace frametest
