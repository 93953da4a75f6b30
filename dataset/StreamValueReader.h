#pragma once
// CStreamValueReader: reads the items of the dataset image from a stream without trusting it. A project
// file may be damaged or forged, so every byte count is checked against what the stream still holds before
// anything is allocated, a short read fails, and no value can create an object.
//
// Borrows the stream for its lifetime; used on the caller's thread. The stream must be able to tell its
// size (Seek), as the frame's storage streams and streams on memory do.
#include <windows.h>
#include <objidl.h>
#include <oleauto.h>

#include "classlib/Bstr.h"
#include "classlib/Variant.h"

class CStreamValueReader {
public:
    explicit CStreamValueReader(IStream* stream) noexcept : stream_(stream) {}
    CStreamValueReader(const CStreamValueReader&) = delete;
    CStreamValueReader& operator=(const CStreamValueReader&) = delete;

    // Measures what the stream holds from its current position on; every read below needs it first.
    HRESULT Start() noexcept;
    // Bytes between the read position and the end of the stream.
    ULONGLONG Remaining() const noexcept { return remaining_; }

    // E_FAIL when the stream ends before `size` bytes.
    HRESULT ReadBytes(void* data, ULONG size) noexcept;
    HRESULT ReadUInt32(ULONG* number) noexcept;
    // A counted text (N = 0: null). E_FAIL for an odd byte count, one beyond the stream, or a text that
    // does not end in its zero.
    HRESULT ReadText(ql::Bstr& text) noexcept;
    // ReadValueFromStream: the VARTYPE, then its value; a text is converted back to the VARTYPE.
    // DISP_E_BADVARTYPE for a type the image never carries (objects among them); `value` is written only
    // on success.
    HRESULT ReadValue(ql::Variant& value) noexcept;

    // The read position, and a return to one taken earlier.
    ULONGLONG Position() const noexcept { return position_; }
    HRESULT Rewind(ULONGLONG position) noexcept;

private:
    IStream* stream_;
    bool started_ = false;
    ULONGLONG position_ = 0;
    ULONGLONG end_ = 0;
    ULONGLONG remaining_ = 0;
};
