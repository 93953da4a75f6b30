#include "dataset/QuelkValuesImage.h"

#include <unordered_map>
#include <unordered_set>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "dataset/QuelkVariable.h"
#include "dataset/VariableFields.h"
#include "values/HexText.h"

namespace {

// The smallest entry a stream can hold: four VARIANTs of one type word and one byte each. A count that
// needs more than the stream holds is refused before anything is read.
constexpr ULONGLONG kSmallestEntryBytes = 4 * (sizeof(VARTYPE) + 1);

// The marks the pages and the compare set around one transfer: they describe the running session, so a
// project never stores them and a stored one is never taken (under a stale compare mark every later device
// result would go to the compare value).
constexpr ULONG kTransferMarks = kAccessOnlineTransferMark | kAccessOfflineStoreMark | kAccessCompareMark;
// The only state of the access word a project carries: the value still waits for the device. Everything
// else (the capabilities, the user's rights, the check's verdict) belongs to the parameter table and the
// running DTM; an image must not make a read-only record writable or hide a write.
constexpr ULONG kStoredAccessBits = kAccessDiffers;
// What the value check says of a value: rejected, or no check possible.
constexpr ULONG kCheckVerdictBits = kAccessRejected | kAccessNoCheck;

HRESULT WriteUInt32Value(CStreamValueWriter& writer, ULONG number) noexcept {
    ql::Variant value;
    value.SetUI4(number);
    return writer.WriteValue(*value.Get());
}

// The value of one record as the image carries it.
HRESULT ImageValueOf(const CQuelkVariable& record, ql::Variant& out) noexcept {
    if (record.DataType == kByteArrayType) {
        // A byte array is written as its hexadecimal text; anything else in its place as an empty text.
        ql::Bstr hex;
        QL_RETURN_IF_FAILED(BytesToHexBstr(record.Value.Get(), hex.Put(), TRUE));
        if (hex.IsNull()) QL_RETURN_IF_FAILED(hex.Assign(L""));
        out.AttachBstr(hex.Detach());
        return S_OK;
    }
    QL_RETURN_IF_FAILED(out.CopyFrom(*record.Value.Get()));
    // A value that does not convert is written as it is.
    (void)out.ChangeType(record.DataType, LOCALE_USER_DEFAULT, 0);
    return S_OK;
}

HRESULT ReadUInt32Value(CStreamValueReader& reader, ULONG* number) noexcept {
    ql::Variant value;
    QL_RETURN_IF_FAILED(reader.ReadValue(value));
    QL_RETURN_IF_FAILED(value.ChangeType(VT_UI4, LOCALE_USER_DEFAULT, 0));
    QL_RETURN_HR_IF(E_FAIL, value.Type() != VT_UI4);
    *number = V_UI4(value.Get());
    return S_OK;
}

HRESULT ReadCount(CStreamValueReader& reader, ULONG* count) noexcept {
    ql::Variant value;
    QL_RETURN_IF_FAILED(reader.ReadValue(value));
    // Only a count this system wrote: an image of zeros reads as VT_EMPTY, which must not load as "no
    // values".
    QL_RETURN_HR_IF(E_FAIL, value.Type() != VT_I4);
    const LONG number = V_I4(value.Get());
    QL_RETURN_HR_IF(E_FAIL, number < 0);
    QL_RETURN_HR_IF(E_FAIL, static_cast<ULONGLONG>(number) * kSmallestEntryBytes > reader.Remaining());
    *count = static_cast<ULONG>(number);
    return S_OK;
}

// The byte array that the hexadecimal text of a loaded byte-array entry writes.
HRESULT TextToBytes(ql::Variant& value) noexcept {
    QL_RETURN_HR_IF(E_FAIL, value.Type() != VT_BSTR);
    ql::Variant bytes;
    QL_RETURN_IF_FAILED(HexBstrToByteArray(bytes.Get(), V_BSTR(value.Get()), TRUE));
    value = std::move(bytes);
    return S_OK;
}

// `access` with the value check's verdict on `value` for record `id`. A loaded value is taken whatever the
// check says, so the pages can show it; the verdict must come with it, or a value the check refuses (written
// by hand, damaged on disk, saved while invalid) would show as valid and reach the device unwarned. A check
// that cannot run rejects nothing, as the data-set verification reads it.
ULONG WithCheckVerdict(const CQuelkVariableStore& store, ULONG id, const VARIANT& value,
                       ULONG access) noexcept {
    ULONG flags = 0;
    if (FAILED(store.CheckValue(id, value, &flags))) return access & ~kAccessRejected;
    return (access & ~kCheckVerdictBits) | (flags & kCheckVerdictBits);
}

// What a load writes into one record.
struct StagedRecord {
    ULONG Id = 0;
    ULONG Mask = 0;
    CQuelkVariable Fields;
};

}  // namespace

HRESULT CQuelkValuesImage::Save(const CQuelkVariableStore& store, CStreamValueWriter& writer) noexcept {
    const CQuelkVariableList& list = store.Variables();
    LONG persistent = 0;
    for (ULONG index = 0; index < list.Count(); ++index) {
        CQuelkVariable record;
        QL_RETURN_IF_FAILED(list.GetVariableAt(static_cast<int>(index), &record));
        if (record.Persistent == 1) ++persistent;
    }
    ql::Variant count;
    count.SetI4(persistent);
    QL_RETURN_IF_FAILED(writer.WriteValue(*count.Get()));

    for (ULONG index = 0; index < list.Count(); ++index) {
        CQuelkVariable record;
        QL_RETURN_IF_FAILED(list.GetVariableAt(static_cast<int>(index), &record));
        if (record.Persistent != 1) continue;
        ql::Variant value;
        QL_RETURN_IF_FAILED(ImageValueOf(record, value));
        QL_RETURN_IF_FAILED(WriteUInt32Value(writer, record.Id()));
        QL_RETURN_IF_FAILED(WriteUInt32Value(writer, record.DataType));
        QL_RETURN_IF_FAILED(writer.WriteValue(*value.Get()));
        QL_RETURN_IF_FAILED(WriteUInt32Value(writer, record.Access & ~kTransferMarks));
    }
    return S_OK;
}

HRESULT CQuelkValuesImage::Read(CStreamValueReader& reader, std::vector<LoadedValue>& entries) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        entries.clear();
        ULONG count = 0;
        QL_RETURN_IF_FAILED(ReadCount(reader, &count));
        std::unordered_set<ULONG> seen;
        for (ULONG i = 0; i < count; ++i) {
            LoadedValue entry;
            QL_RETURN_IF_FAILED(ReadUInt32Value(reader, &entry.Id));
            QL_RETURN_IF_FAILED(ReadUInt32Value(reader, &entry.DataType));
            QL_RETURN_IF_FAILED(reader.ReadValue(entry.Value));
            if (entry.DataType == kByteArrayType) QL_RETURN_IF_FAILED(TextToBytes(entry.Value));
            QL_RETURN_IF_FAILED(ReadUInt32Value(reader, &entry.Access));
            if (seen.insert(entry.Id).second) entries.push_back(std::move(entry));
        }
        return S_OK;
    });
}

HRESULT CQuelkValuesImage::Assign(CQuelkVariableStore& store,
                                  const std::vector<LoadedValue>& entries) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        std::unordered_map<ULONG, const LoadedValue*> byId;
        for (const LoadedValue& entry : entries) byId.emplace(entry.Id, &entry);

        // Everything is converted before the first record changes.
        CQuelkVariableList& list = store.Variables();
        std::vector<StagedRecord> staged;
        for (ULONG index = 0; index < list.Count(); ++index) {
            // Read in place: only the id, the access word and the data type are needed.
            const CQuelkVariable* record = list.At(static_cast<int>(index));
            QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
            const auto found = byId.find(record->Id());
            if (found == byId.end()) continue;  // a record the image lacks keeps what it has
            const LoadedValue& entry = *found->second;
            StagedRecord change;
            change.Id = record->Id();
            change.Mask = kFieldAccess;
            change.Fields.Access =
                (record->Access & ~(kStoredAccessBits | kTransferMarks)) | (entry.Access & kStoredAccessBits);
            // The image's own data type is not compared: the record's decides.
            ql::Variant converted;
            if (SUCCEEDED(converted.CopyFrom(*entry.Value.Get())) &&
                SUCCEEDED(converted.ChangeType(record->DataType, LOCALE_USER_DEFAULT, 0)) &&
                converted.Type() == record->DataType) {
                change.Fields.Value = std::move(converted);
                change.Mask |= kFieldValue;
            }
            const VARIANT& value = (change.Mask & kFieldValue) ? *change.Fields.Value : *record->Value;
            change.Fields.Access = WithCheckVerdict(store, record->Id(), value, change.Fields.Access);
            staged.push_back(std::move(change));
        }
        for (const StagedRecord& change : staged) {
            QL_RETURN_IF_FAILED(list.SetVariable(change.Id, change.Mask, change.Fields));
        }
        return S_OK;
    });
}

HRESULT CQuelkValuesImage::SaveToStream(const CQuelkVariableStore& store, IStream* stream) noexcept {
    CStreamValueWriter writer(stream);
    return Save(store, writer);
}

HRESULT CQuelkValuesImage::LoadFromStream(CQuelkVariableStore& store, IStream* stream) noexcept {
    CStreamValueReader reader(stream);
    QL_RETURN_IF_FAILED(reader.Start());
    std::vector<LoadedValue> entries;
    QL_RETURN_IF_FAILED(Read(reader, entries));
    return Assign(store, entries);
}
