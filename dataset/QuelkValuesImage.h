#pragma once
// CQuelkValuesImage: the values part of the dataset image (the variable store's SaveValues and LoadValues).
//
//   count C   VARIANT VT_I4: the number of persistent records
//   C entries in list order, four VARIANTs each: id VT_UI4, data type VT_UI4, value, access word VT_UI4
//   (without the transfer marks 0x1000, 0x2000 and 0x4000, which belong to the running session)
//
// A byte-array value travels as its hexadecimal text (VT_BSTR, an empty array as an allocated empty text);
// every other value as a copy converted to the record's data type. Loading first reads every entry into a
// list of its own and touches the dataset only when the whole part was read, so a damaged image leaves the
// dataset as it was.
//
// Stateless; used on the DTM object's apartment thread.
#include <windows.h>

#include <vector>

#include "classlib/Variant.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/StreamValueReader.h"
#include "dataset/StreamValueWriter.h"

// One entry of a loaded values part.
struct LoadedValue {
    ULONG Id = 0;
    ULONG DataType = 0;
    ql::Variant Value;
    ULONG Access = 0;
};

class CQuelkValuesImage {
public:
    // Writes the values part of `store`. The first write that fails ends the part with its failure.
    static HRESULT Save(const CQuelkVariableStore& store, CStreamValueWriter& writer) noexcept;

    // Reads a values part into `entries` (a later entry with an id already read is dropped). Fails, with
    // `entries` in an unspecified state, on a stream error, a short read, a count that is not a VT_I4
    // number or cannot fit into what the stream holds, an id, data type or access word that is not a
    // 32-bit number, or a byte-array text that is not hexadecimal.
    static HRESULT Read(CStreamValueReader& reader, std::vector<LoadedValue>& entries) noexcept;

    // AssignValueWithType: every record of `store` whose id was loaded takes the loaded value converted to
    // its data type (the old value stays when it does not convert) and, of the loaded access word, only
    // whether the value still waits for the device (0x02); the value check's verdict on the value (0x04
    // rejected, 0x08 no check possible) is set as the check gives it; the rest of the word stays the
    // record's. E_FAIL, with nothing changed, for an entry whose value converts into no whole value of its
    // record's type (IsWholeValue: a byte string of odd length made a text), which no image could carry.
    static HRESULT Assign(CQuelkVariableStore& store, const std::vector<LoadedValue>& entries) noexcept;
    // The same, moving the values out of `entries` (left in an unspecified state) where no conversion is due.
    static HRESULT Assign(CQuelkVariableStore& store, std::vector<LoadedValue>&& entries) noexcept;

    // The values part alone, from the stream's current position: Save, and Read followed by Assign (a part
    // that does not read completely changes nothing).
    static HRESULT SaveToStream(const CQuelkVariableStore& store, IStream* stream) noexcept;
    static HRESULT LoadFromStream(CQuelkVariableStore& store, IStream* stream) noexcept;
};
