#pragma once
// CStreamValueWriter: writes the items of the dataset image (numbers, counted texts, VARIANTs) into a
// stream. Every write must go through completely: a stream that takes fewer bytes than offered (a full
// disk, a broken medium) fails the write, so a truncated image is never taken for a saved one.
//
// Borrows the stream for its lifetime; used on the caller's thread.
#include <windows.h>
#include <objidl.h>
#include <oleauto.h>

class CStreamValueWriter {
public:
    explicit CStreamValueWriter(IStream* stream) noexcept : stream_(stream) {}
    CStreamValueWriter(const CStreamValueWriter&) = delete;
    CStreamValueWriter& operator=(const CStreamValueWriter&) = delete;

    HRESULT WriteBytes(const void* data, ULONG size) noexcept;
    HRESULT WriteUInt32(ULONG number) noexcept;
    // A counted text; null writes the byte count 0 alone, an empty text the count 2 and its zero.
    // E_INVALIDARG, with nothing written, for a text of an odd byte count (IsWholeText), which no reader
    // could take back.
    HRESULT WriteText(BSTR text) noexcept;
    // WriteValueToStream: the VARTYPE, then the value in its encoding (StreamValueFormat.h).
    // DISP_E_BADVARTYPE for a value that the image cannot carry (objects, arrays, references); E_INVALIDARG,
    // with nothing written, for a text that WriteText refuses.
    HRESULT WriteValue(const VARIANT& value) noexcept;

private:
    IStream* stream_;
};
