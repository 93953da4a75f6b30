#pragma once
// The fixture of the dataset image's tests: a COM apartment (the device type text is read as XML), a fresh
// store holding the device's table with a recording host, and the device type a DTM would keep beside it.
// Loading reads the whole image first and applies it only when it read, as the DTM's persistence does.
#include "DatasetTestSupport.h"
#include "classlib/Bstr.h"
#include "dataset/DatasetImage.h"
#include "tests/dataset/ImageTestSupport.h"
#include "tests/support/ComTest.h"

namespace imagetest {

class DatasetImageTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(NewStore());
    }

    void NewStore() {
        object_.Reset();
        deviceType_.Reset();
        ASSERT_HR(S_OK, ql::MakeObject(object_));
        Store().AttachHost(&host_);
        ASSERT_HR(S_OK, DefineDeviceParameters(&Store().Variables(), nullptr, nullptr));
    }

    CQuelkVariableStore& Store() { return object_->Store(); }

    // Reads `image` and, when it read, applies its values and device type.
    HRESULT Load(const Bytes& image) {
        ql::ComPtr<IStream> stream = StreamOn(image);
        LoadedDatasetImage loaded;
        QL_RETURN_IF_FAILED(CDatasetImage::Read(stream.Get(), nullptr, loaded));
        QL_RETURN_IF_FAILED(CQuelkValuesImage::Assign(Store(), loaded.Values));
        deviceType_ = std::move(loaded.DeviceType);
        return S_OK;
    }

    // The image of the store with the device type it holds.
    Bytes Save() {
        ql::ComPtr<IStream> stream = StreamOn({});
        EXPECT_HR(S_OK, CDatasetImage::Write(stream.Get(), deviceType_.Get(), Store(), nullptr));
        return StreamBytes(stream.Get());
    }

    // Loads `image` into a fresh store and expects a refusal that changes nothing.
    void ExpectRefused(const Bytes& image) {
        ASSERT_NO_FATAL_FAILURE(NewStore());
        const auto before = Snapshot(Store());
        const HRESULT hr = Load(image);
        EXPECT_TRUE(FAILED(hr)) << "a refused load is a failure, not " << vtest::HResultName(hr);
        EXPECT_EQ(before, Snapshot(Store()));
        EXPECT_TRUE(deviceType_.IsNull());
    }

    ql::ComPtr<CTestStoreObject> object_;
    RecordingHost host_;
    ql::Bstr deviceType_;
};

}  // namespace imagetest
