#pragma once
// CStreamValueReader: reads the items of the dataset image from a stream without trusting it. A project
// file may be damaged or forged, so every byte count is checked against what the stream still holds before
// anything is allocated, a short read fails, and no value can create an object.
//
// The image is read from the stream in blocks and taken apart in memory: a stream call per item cost more
// than the items. The stream is left where an item-by-item reading would have left it, right behind the
// last item read (or begun and cut short): HandBack puts it there before anyone else reads the stream, and
// the destructor does it for a reading that stopped early. A frame that keeps other data behind the image
// reads it from there.
//
// Borrows the stream for its lifetime; used on the caller's thread. The stream must be able to tell its
// size and go back (Seek), as the frame's storage streams and streams on memory do.
#include <windows.h>
#include <objidl.h>
#include <oleauto.h>

#include <vector>

#include "classlib/Bstr.h"
#include "classlib/Variant.h"

class CStreamValueReader {
public:
    explicit CStreamValueReader(IStream* stream) noexcept : stream_(stream) {}
    CStreamValueReader(const CStreamValueReader&) = delete;
    CStreamValueReader& operator=(const CStreamValueReader&) = delete;
    ~CStreamValueReader();

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

    // Puts the stream's own position at the read position; due before the stream is read by anyone else.
    HRESULT HandBack() noexcept;

private:
    // Makes the next `size` bytes available at Next(); S_FALSE when the stream ends before them (what it
    // still gives is there), a failure of the stream.
    HRESULT Fill(ULONG size) noexcept;
    const BYTE* Next() const noexcept { return block_.data() + (position_ - blockStart_); }
    ULONGLONG Available() const noexcept { return blockStart_ + block_.size() - position_; }
    void Advance(ULONGLONG bytes) noexcept;
    // Puts the stream itself at `position` and drops what was read ahead: the block starts there, empty.
    HRESULT SeekStream(ULONGLONG position) noexcept;

    IStream* stream_;
    bool started_ = false;
    ULONGLONG position_ = 0;
    ULONGLONG end_ = 0;
    ULONGLONG remaining_ = 0;
    // Bytes of the stream from blockStart_ on, read ahead; the stream itself stands behind them.
    std::vector<BYTE> block_;
    ULONGLONG blockStart_ = 0;
    bool streamEnded_ = false;  // a read gave less than asked: nothing more comes
};
