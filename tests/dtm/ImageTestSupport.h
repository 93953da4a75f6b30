#pragma once
// The dataset image helpers of the dataset's tests (hand-made images, expected entries, snapshots), for
// the tests that reach the image through the DTM's persistence interfaces.
#include "DtmTestSupport.h"
#include "tests/dataset/ImageTestSupport.h"

namespace dtmtest {
using namespace imagetest;
}  // namespace dtmtest
