#pragma once
// The fixture of the dataset image's tests: a COM apartment (the device type text is read as XML), a fresh
// store holding the device's table with a recording host, and the device type a DTM would keep beside it.
// Loading reads the whole image first and applies it only when it read, as the DTM's persistence does.
#include "DatasetTestSupport.h"
#include "classlib/Bstr.h"
#include "dataset/DatasetImage.h"
#include "dataset/DatasetImageBag.h"
#include "tests/dataset/ImageTestSupport.h"
#include "tests/support/ComTest.h"
#include "tests/support/MemoryPropertyBag.h"

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

    // Where a frame keeps the image: a stream, or the property "DTM_DATA" of a property bag.
    enum class Medium { Stream, Bag };

    // Reads `image` and, when it read, applies its values and device type.
    HRESULT Load(const Bytes& image, Medium medium = Medium::Stream) {
        LoadedDatasetImage loaded;
        if (medium == Medium::Bag) {
            ql::ComPtr<vtest::MemoryPropertyBag> bag;
            QL_RETURN_IF_FAILED(ql::MakeObject(bag));
            bag->properties[L"DTM_DATA"] = vtest::MakeBytes(image);
            QL_RETURN_IF_FAILED(CDatasetImageBag::Read(bag.Get(), nullptr, nullptr, loaded));
        } else {
            QL_RETURN_IF_FAILED(CDatasetImage::Read(StreamOn(image).Get(), nullptr, loaded));
        }
        QL_RETURN_IF_FAILED(CQuelkValuesImage::Assign(Store(), loaded.Values));
        deviceType_ = std::move(loaded.DeviceType);
        return S_OK;
    }

    // The image of the store with the device type it holds.
    Bytes Save(Medium medium = Medium::Stream) {
        if (medium == Medium::Bag) {
            ql::ComPtr<vtest::MemoryPropertyBag> bag;
            EXPECT_HR(S_OK, ql::MakeObject(bag));
            EXPECT_HR(S_OK, CDatasetImageBag::Write(bag.Get(), deviceType_.Get(), Store(), nullptr));
            return vtest::Elements<BYTE>(*bag->properties[L"DTM_DATA"]);
        }
        ql::ComPtr<IStream> stream = StreamOn({});
        EXPECT_HR(S_OK, CDatasetImage::Write(stream.Get(), deviceType_.Get(), Store(), nullptr));
        return StreamBytes(stream.Get());
    }

    // Loads `image` into a fresh store and expects a refusal that changes nothing.
    void ExpectRefused(const Bytes& image, Medium medium = Medium::Stream) {
        ASSERT_NO_FATAL_FAILURE(NewStore());
        const auto before = Snapshot(Store());
        const HRESULT hr = Load(image, medium);
        EXPECT_TRUE(FAILED(hr)) << "a refused load is a failure, not " << vtest::HResultName(hr);
        EXPECT_EQ(before, Snapshot(Store()));
        EXPECT_TRUE(deviceType_.IsNull());
    }

    ql::ComPtr<CTestStoreObject> object_;
    RecordingHost host_;
    ql::Bstr deviceType_;
};

}  // namespace imagetest
