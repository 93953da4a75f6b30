// The demo of framehost.exe: the registered DTM, found by its ProgID, through the whole road.
#include <cstdio>

#include "FrameTestSupport.h"
#include "frame/DtmSession.h"
#include "frame/FrameDemo.h"
#include "frame/FrameDocuments.h"

namespace frametest {
namespace {

using FrameDemoTest = FrameTest;

TEST_F(FrameDemoTest, TheRegisteredDtmIsFoundByItsProgId) {
    CDtmSession session;
    ASSERT_HR(S_OK, session.CreateByProgId(L"VarnokP3.DtmObject"));
    EXPECT_EQ(1u, session.State());
    EXPECT_HR(CO_E_CLASSSTRING, session.CreateByProgId(L"VarnokP3.NoSuchClass"));
}

TEST_F(FrameDemoTest, RunsEveryStepAndSaysSoInPlainWords) {
    const std::wstring outputPath = temp_.File(L"demo.txt");
    FrameDemoSettings settings;
#ifdef VARNOK_MODULE_FILE
    settings.ModulePath = WindowsPathFromBuildPath(VARNOK_MODULE_FILE);
#endif
    settings.ProjectPath = temp_.File(L"demo.varnok");
    settings.SchemaFolder = SourceTreeSchemaFolder();
    std::FILE* out = ::_wfopen(outputPath.c_str(), L"wb");
    ASSERT_NE(nullptr, out);
    const int exitCode = CFrameDemo(out, settings).Run();
    std::fclose(out);
    const std::string text = temp_.Read(L"demo.txt");
    EXPECT_EQ(0, exitCode) << text;
    for (const char* expected :
         {"state 1: created", "state 4: new dataset", "state 6: environment set", "state 7: initialised",
          "state 8: configured (offline)", "state 2: prepared to release", "state 5: dataset loaded",
          "frame <- GetSchemaFolder()", "every step went as the frame expected"}) {
        EXPECT_NE(std::string::npos, text.find(expected)) << expected << "\n" << text;
    }
}

}  // namespace
}  // namespace frametest
