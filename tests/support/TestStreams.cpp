#include "tests/support/TestStreams.h"

#include <gtest/gtest.h>

#include "tests/support/HResultText.h"

namespace vtest {

ql::ComPtr<IStream> StreamOn(const Bytes& bytes) {
    ql::ComPtr<IStream> stream;
    EXPECT_HR(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    if (!bytes.empty()) {
        ULONG written = 0;
        EXPECT_HR(S_OK, stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
    }
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return stream;
}

Bytes StreamBytes(IStream* stream) {
    Bytes bytes;
    LARGE_INTEGER start = {};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return bytes;
    BYTE buffer[4096];
    for (;;) {
        ULONG read = 0;
        if (FAILED(stream->Read(buffer, sizeof buffer, &read)) || read == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + read);
    }
    return bytes;
}

}  // namespace vtest
