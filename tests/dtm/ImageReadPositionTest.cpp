// Where a load leaves the frame's stream: right behind what it read, whether the image was taken or
// refused. A frame that keeps several objects' data in one stream reads the next object from there, so a
// load that read ahead must give back every byte it did not take.
#include "ImageTestSupport.h"

namespace dtmtest {
namespace {

// What the next object of the frame's stream begins with; no load may take any of it.
const Bytes kNextObject = {0x4E, 0x45, 0x58, 0x54, 0x00, 0x00, 0x00, 0x00};

Bytes Join(const Bytes& first, const Bytes& second) {
    Bytes joined = first;
    joined.insert(joined.end(), second.begin(), second.end());
    return joined;
}

ULONGLONG PositionOf(IStream* stream) {
    const LARGE_INTEGER none = {};
    ULARGE_INTEGER here = {};
    EXPECT_HR(S_OK, stream->Seek(none, STREAM_SEEK_CUR, &here));
    return here.QuadPart;
}

// One case: the stream holds `before` (another object's data, already read), then `read` (what the load
// must take) and then `rest`.
struct PositionCase {
    const char* name;
    Bytes read;
    Bytes rest;
    HRESULT expected;  // S_OK, or a failure: the exact code does not matter here
    Bytes before = {};
};

class ImageReadPositionTest : public DtmTest {
protected:
    // The stream of `c`, positioned behind its `before` bytes.
    ql::ComPtr<IStream> StreamOf(const PositionCase& c) {
        ql::ComPtr<IStream> stream = StreamOn(Join(Join(c.before, c.read), c.rest));
        LARGE_INTEGER start;
        start.QuadPart = static_cast<LONGLONG>(c.before.size());
        EXPECT_HR(S_OK, stream->Seek(start, STREAM_SEEK_SET, nullptr));
        return stream;
    }

    template <class Load>
    void Check(const std::vector<PositionCase>& cases, Load load) {
        for (const PositionCase& c : cases) {
            SCOPED_TRACE(c.name);
            CreateDtm();
            ql::ComPtr<IStream> stream = StreamOf(c);
            const HRESULT hr = load(stream.Get());
            if (c.expected == S_OK) {
                EXPECT_HR(S_OK, hr);
            } else {
                EXPECT_TRUE(FAILED(hr)) << vtest::HResultName(hr);
            }
            EXPECT_EQ(c.before.size() + c.read.size(), PositionOf(stream.Get()));
        }
    }
};

const std::wstring kDeviceType = L"<fdt:DtmDeviceType/>";

// A header and a values part of one entry of record 3 (VT_UI1 42).
Bytes ImageWithEntry() {
    const Bytes value = ImageBuilder().VariantUI1(42).Get();
    return ImageBuilder().Header(&kDeviceType).VariantI4(1).Entry(3, VT_UI1, value, 0x71).Get();
}

Bytes Trailer(ULONG version = 0x300) { return ImageBuilder().U32(version).Get(); }

TEST_F(ImageReadPositionTest, PersistStreamLoadStopsBehindWhatItRead) {
    const Bytes header = ImageBuilder().Header(&kDeviceType).Get();
    const Bytes entryStart = Join(header, ImageBuilder().VariantI4(1).VariantUI4(3).VariantUI4(VT_UI1).Get());
    const std::vector<PositionCase> cases = {
        {"a whole image", Join(ImageWithEntry(), Trailer()), kNextObject, S_OK},
        {"a whole image behind another object's data", Join(ImageWithEntry(), Trailer()), kNextObject, S_OK,
         kNextObject},
        {"an image of an early version (no version items)",
         ImageBuilder().Text(kDeviceType).VariantI4(0).U32(0x300).Get(), kNextObject, S_OK},
        {"a newer property-map version", Join(ImageWithEntry(), Trailer(0x301)), kNextObject, E_FAIL},
        {"no trailer", ImageWithEntry(), Bytes{0x00, 0x03}, E_FAIL},
        {"text of odd length", ImageBuilder().U32(3).Get(), Join({0x41, 0x00, 0x00}, kNextObject), E_FAIL},
        {"text length beyond the stream", ImageBuilder().U32(0x7FFFFFF0).Get(), kNextObject, E_FAIL},
        {"text without terminating zero", ImageBuilder().U32(4).Raw({0x41, 0x00, 0x42, 0x00}).Get(),
         kNextObject, E_FAIL},
        {"a device type text that is no element", ImageBuilder().Text(L"<a/><b/>").Get(),
         Join(Join(ImageBuilder().VariantBstr(L"1.0").VariantBstr(L"1").VariantI4(0).Get(), Trailer()),
              kNextObject),
         E_FAIL},
        {"zeros", Bytes(10, 0), Bytes(54, 0), E_FAIL},
        {"an absurd count", Join(header, ImageBuilder().VariantI4(0x7FFFFFFF).Get()),
         Join(ImageBuilder().Entry(3, VT_UI1, ImageBuilder().VariantUI1(1).Get(), 0x71).Get(), Trailer()),
         E_FAIL},
        {"an object in the image", Join(entryStart, ImageBuilder().U16(VT_UNKNOWN).Get()),
         Join(Bytes(16, 0x11), Trailer()), E_FAIL},
        {"a value cut by the end of the stream", Join(entryStart, ImageBuilder().U16(VT_UI4).Get()),
         Bytes{0x01, 0x02}, E_FAIL},
        {"one entry more than present",
         Join(Join(ImageBuilder().Header(&kDeviceType).VariantI4(2).Get(),
                   ImageBuilder().Entry(3, VT_UI1, ImageBuilder().VariantUI1(1).Get(), 0x71).Get()),
              ImageBuilder().U16(0x0300).Get()),
         Join(ImageBuilder().U16(0).Get(), kNextObject), E_FAIL},
        {"a byte array that is no hexadecimal",
         Join(header, ImageBuilder()
                          .VariantI4(1)
                          .VariantUI4(22)
                          .VariantUI4(VT_ARRAY | VT_UI1)
                          .VariantBstr(L"XY")
                          .Get()),
         Join(ImageBuilder().VariantUI4(0x71).Get(), Trailer()), E_FAIL},
    };
    Check(cases, [this](IStream* stream) { return PersistStream()->Load(stream); });
}

// The toolkit's own loads: the image without the version behind it, and the values part alone.
TEST_F(ImageReadPositionTest, ToolkitLoadsStopBehindWhatTheyRead) {
    const std::vector<PositionCase> images = {
        {"a whole image", ImageWithEntry(), kNextObject, S_OK},
        {"a text beyond the image",
         ImageBuilder().Header(&kDeviceType).VariantI4(1).VariantUI4(3).U16(VT_BSTR).U32(0x100).Get(),
         kNextObject, E_FAIL},
    };
    Check(images, [this](IStream* stream) { return dtm_->Persistence().LoadFromStream(stream); });

    const Bytes entry = ImageBuilder().Entry(3, VT_UI1, ImageBuilder().VariantUI1(42).Get(), 0x71).Get();
    const std::vector<PositionCase> parts = {
        {"a values part", Join(ImageBuilder().VariantI4(1).Get(), entry), kNextObject, S_OK},
        {"a count beyond the part", ImageBuilder().VariantI4(3).Get(), Join(entry, Bytes{0x01}), E_FAIL},
        {"a text count beyond the part",
         ImageBuilder().VariantI4(1).VariantUI4(3).U16(VT_BSTR).U32(0x1000).Get(), kNextObject, E_FAIL},
    };
    Check(parts, [this](IStream* stream) {
        VARIANT_BOOL ok = VARIANT_FALSE;
        const HRESULT hr = dtm_->LoadValues(stream, &ok);
        return SUCCEEDED(hr) && ok != VARIANT_TRUE ? E_FAIL : hr;
    });
}

}  // namespace
}  // namespace dtmtest
