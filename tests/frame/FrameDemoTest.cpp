// The demo of framehost.exe: the registered DTM, found by its ProgID, through the whole road.
#include <cstdio>

#include "FrameTestSupport.h"
#include "frame/DtmSession.h"
#include "frame/FrameDemo.h"
#include "frame/FrameDocuments.h"

namespace frametest {
namespace {

using FrameDemoTest = FrameTest;

std::string ReadFileText(const std::wstring& path) {
    std::string text;
    if (std::FILE* file = ::_wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, read);
        std::fclose(file);
    }
    return text;
}

TEST_F(FrameDemoTest, TheRegisteredDtmIsFoundByItsProgId) {
    CDtmSession session;
    ASSERT_HR(S_OK, session.CreateByProgId(L"VarnokP3.DtmObject"));
    EXPECT_EQ(1u, session.State());
    EXPECT_HR(CO_E_CLASSSTRING, session.CreateByProgId(L"VarnokP3.NoSuchClass"));
}

TEST_F(FrameDemoTest, RunsEveryStepAndSaysSoInPlainWords) {
    const std::wstring outputPath = TempPath(L"demo.txt");
    FrameDemoSettings settings;
#ifdef VARNOK_MODULE_FILE
    settings.ModulePath = WindowsPathFromBuildPath(VARNOK_MODULE_FILE);
#endif
    settings.ProjectPath = TempPath(L"demo.varnok");
    settings.SchemaFolder = SourceTreeSchemaFolder();
    std::FILE* out = ::_wfopen(outputPath.c_str(), L"wb");
    ASSERT_NE(nullptr, out);
    const int exitCode = CFrameDemo(out, settings).Run();
    std::fclose(out);
    const std::string text = ReadFileText(outputPath);
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
