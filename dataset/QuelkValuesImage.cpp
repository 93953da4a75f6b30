#include "dataset/QuelkValuesImage.h"

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "dataset/QuelkVariable.h"
#include "dataset/VariableFields.h"
#include "values/HexText.h"
#include "values/VariantConversion.h"

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
    // A value that does not convert is written as it is.
    ql::Variant typed;
    QL_RETURN_IF_FAILED(record.TypedValue(typed));
    if (record.DataType == kByteArrayType) {
        // A byte array is written as its hexadecimal text; anything else in its place as an empty text.
        ql::Bstr hex;
        QL_RETURN_IF_FAILED(BytesToHexBstr(typed.Get(), hex.Put(), TRUE));
        if (hex.IsNull()) QL_RETURN_IF_FAILED(hex.Assign(L""));
        out.AttachBstr(hex.Detach());
        return S_OK;
    }
    out = std::move(typed);
    return S_OK;
}

HRESULT ReadUInt32Value(CStreamValueReader& reader, ULONG* number) noexcept {
    ql::Variant value;
    QL_RETURN_IF_FAILED(reader.ReadValue(value));
    // The writer's own VT_UI4 stays as it is; any other type is judged by the platform's conversion.
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
ULONG WithCheckVerdict(const CQuelkVariableStore& store, const CQuelkVariable& record, const VARIANT& value,
                       ULONG access) noexcept {
    ULONG flags = 0;
    if (FAILED(store.CheckRecordValue(record, value, &flags))) return access & ~kAccessRejected;
    return (access & ~kCheckVerdictBits) | (flags & kCheckVerdictBits);
}

// What a load writes into one record: its access word, and its value when the entry's converts.
struct StagedRecord {
    int Index = 0;
    ULONG Access = 0;
    bool HasValue = false;
    ql::Variant Value;
};

// Drops every entry whose id an earlier entry has, keeping the order of the rest.
void DropRepeatedIds(std::vector<LoadedValue>& entries) {
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return entries[a].Id != entries[b].Id ? entries[a].Id < entries[b].Id : a < b;
    });
    std::vector<bool> repeated(entries.size(), false);
    bool any = false;
    for (size_t i = 1; i < order.size(); ++i) {
        if (entries[order[i]].Id == entries[order[i - 1]].Id) repeated[order[i]] = any = true;
    }
    if (!any) return;
    size_t kept = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!repeated[i]) entries[kept++] = std::move(entries[i]);
    }
    entries.resize(kept);
}

// The entries that go into `store`, met in list order. A values part this system wrote holds them in the
// list's order, leaving out the records that are not kept, so a record's entry is the next one or none; an
// entry out of that order (and a record without one) is looked up by id in an index made once per load,
// which leaves the next one where it was.
// `Entries` is a vector of LoadedValue, const when its values must stay.
template <class Entries>
class EntryFinder {
public:
    using Entry = std::remove_reference_t<decltype(std::declval<Entries&>()[0])>;

    explicit EntryFinder(Entries& entries) noexcept : entries_(entries) {}

    // The entry of record `id` (the first of its id), null when the image has none. May throw bad_alloc.
    Entry* Find(ULONG id) {
        if (next_ < entries_.size() && entries_[next_].Id == id) return &entries_[next_++];
        if (byId_.empty() && !entries_.empty()) {
            byId_.reserve(entries_.size());
            for (Entry& entry : entries_) byId_.push_back(&entry);
            // Equal ids keep the image's order, so the first of them is found.
            std::sort(byId_.begin(), byId_.end(),
                      [](Entry* a, Entry* b) { return a->Id != b->Id ? a->Id < b->Id : a < b; });
        }
        const auto found = std::lower_bound(byId_.begin(), byId_.end(), id,
                                            [](Entry* entry, ULONG key) { return entry->Id < key; });
        return found == byId_.end() || (*found)->Id != id ? nullptr : *found;
    }

private:
    Entries& entries_;
    size_t next_ = 0;
    std::vector<Entry*> byId_;  // every entry, by id and then image order
};

// `entry`'s value as `type`, into `out`; false when it does not convert.
bool ValueAsType(const LoadedValue& entry, VARTYPE type, ql::Variant& out) noexcept {
    return SUCCEEDED(out.CopyFrom(*entry.Value.Get())) &&
           SUCCEEDED(out.ChangeType(type, LOCALE_USER_DEFAULT, 0)) && out.Type() == type;
}

// The same, taking the value over when it already has the type: a conversion to its own type would copy
// it unchanged.
bool ValueAsType(LoadedValue& entry, VARTYPE type, ql::Variant& out) noexcept {
    if (entry.Value.Type() != type) return ValueAsType(static_cast<const LoadedValue&>(entry), type, out);
    out = std::move(entry.Value);
    return true;
}

template <class Entries>
HRESULT AssignEntries(CQuelkVariableStore& store, Entries& entries) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        EntryFinder<Entries> finder(entries);
        // Everything is converted before the first record changes.
        CQuelkVariableList& list = store.Variables();
        std::vector<StagedRecord> staged;
        staged.reserve(entries.size());
        for (ULONG index = 0; index < list.Count(); ++index) {
            // Read in place: only the id, the access word and the data type are needed.
            const CQuelkVariable* record = list.At(static_cast<int>(index));
            QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
            auto* entry = finder.Find(record->Id());
            if (!entry) continue;  // a record the image lacks keeps what it has
            StagedRecord& change = staged.emplace_back();
            change.Index = static_cast<int>(index);
            const ULONG access = (record->Access & ~(kStoredAccessBits | kTransferMarks)) |
                                 (entry->Access & kStoredAccessBits);
            // The image's own data type is not compared: the record's decides.
            change.HasValue = ValueAsType(*entry, record->DataType, change.Value);
            // A value that converts, but into no whole value of the record's type, could be neither saved
            // nor read back: the entry is damaged, and the image with it.
            QL_RETURN_HR_IF(E_FAIL, change.HasValue && !IsWholeValue(*change.Value));
            const VARIANT& value = change.HasValue ? *change.Value : *record->Value;
            change.Access = WithCheckVerdict(store, *record, value, access);
        }
        for (StagedRecord& change : staged) {
            QL_RETURN_IF_FAILED(list.SetValueAndAccessAt(
                change.Index, change.HasValue ? &change.Value : nullptr, change.Access));
        }
        return S_OK;
    });
}

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
        entries.reserve(count);
        for (ULONG i = 0; i < count; ++i) {
            LoadedValue entry;
            QL_RETURN_IF_FAILED(ReadUInt32Value(reader, &entry.Id));
            QL_RETURN_IF_FAILED(ReadUInt32Value(reader, &entry.DataType));
            QL_RETURN_IF_FAILED(reader.ReadValue(entry.Value));
            if (entry.DataType == kByteArrayType) QL_RETURN_IF_FAILED(TextToBytes(entry.Value));
            QL_RETURN_IF_FAILED(ReadUInt32Value(reader, &entry.Access));
            entries.push_back(std::move(entry));
        }
        DropRepeatedIds(entries);
        return S_OK;
    });
}

HRESULT CQuelkValuesImage::Assign(CQuelkVariableStore& store,
                                  const std::vector<LoadedValue>& entries) noexcept {
    return AssignEntries(store, entries);
}

HRESULT CQuelkValuesImage::Assign(CQuelkVariableStore& store, std::vector<LoadedValue>&& entries) noexcept {
    return AssignEntries(store, entries);
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
    // The stream goes on right behind the values part, as if it had been read value by value.
    QL_RETURN_IF_FAILED(reader.HandBack());
    return Assign(store, std::move(entries));
}
