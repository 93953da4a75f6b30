// A project image kept in the repository, written by an earlier build: the 32-bit and the 64-bit DTM must
// read it into the same dataset and save it back byte for byte, since a project moves between 32-bit and
// 64-bit frames and its format must not depend on the bitness of the DTM that wrote it.
#include <sstream>

#include "ImageTestSupport.h"
#include "tests/support/TestPaths.h"

namespace dtmtest {
namespace {

// Every persistent record holds a value other than its default, of each data type the table uses (texts
// outside the ANSI code page, byte strings with bytes above 0x7F, fractional and negative floats).
constexpr char kImageFile[] = "tests/data/dtm/project.varnok";
// The dataset that image holds, as Snapshot() writes it, one record a line.
constexpr char kDatasetFile[] = "tests/data/dtm/project-dataset.txt";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class StoredImageTest : public DtmTest {};

TEST_F(StoredImageTest, LoadsIntoTheStoredDatasetAndSavesBackUnchanged) {
    const std::string stored = SourceFileBytes(kImageFile);
    ASSERT_FALSE(stored.empty()) << kImageFile;
    const Bytes image(stored.begin(), stored.end());
    const std::vector<std::string> dataset = Lines(SourceFileBytes(kDatasetFile));
    ASSERT_FALSE(dataset.empty()) << kDatasetFile;

    ASSERT_NO_FATAL_FAILURE(LoadImage(image));
    EXPECT_EQ(dataset, Snapshot(dtm_->Store()));
    ASSERT_NO_FATAL_FAILURE(Environment());
    ASSERT_NO_FATAL_FAILURE(Configure());
    EXPECT_EQ(image, SaveStreamImage());
}

}  // namespace
}  // namespace dtmtest
