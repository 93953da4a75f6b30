#pragma once
// ParameterMapEntry: one row of a user-interface class's parameter map, binding one parameter of the DTM's
// dataset (by id) to one dialog control (by control id), with the format that shows its value, its display
// state and the attributes fetched from the DTM. ParameterMap: a class's static rows followed by the end
// row, built on first use and kept until the module unloads; every control object works on a copy.
//
// A row owns its name only when it loaded it from the string table; otherwise the name is the text the
// map gave (a literal), which is never freed. Every row loop stops at the first row without a name: the
// end row.
//
// Rows are used on the user-interface thread of their control; the static map is built once under the
// language's guard for function-local statics.
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "classlib/Variant.h"
#include "values/DtmVocabulary.h"

// Row state flags; the low bits are the record's access word's, so a row takes the word as it stands.
enum RowState : ULONG {
    kRowWritable = kAccessWritable,
    kRowModified = kAccessDiffers,
    kRowInvalid = kAccessRejected,
    kRowNotLoaded = 0x08,
    kRowReadable = kAccessReadable,
    kRowDeviceWritable = kAccessDeviceWritable,
    kRowBulkTransfer = kAccessBulkTransfer,
    kRowEnabledBeforeLock = 0x80,
};

// Display flags of a row's dialog control, read by the colour handlers.
enum RowControlFlags : ULONG {
    kControlButtonFace = 0x01,           // a writable background shows as button face
    kControlButtonText = 0x02,           // default text in the button-text colour
    kControlComboBox = 0x04,             // the combo box's edit field counts as the control
    kControlProgressBar = 0x08,          // highlight text colour; the bar is coloured by messages
    kControlDefaultColors = 0x80000000,  // the system's own colours: the handlers leave the message
};

constexpr ULONG kEndRowId = 0xFFFFFFFF;
constexpr ULONG kEndRowState = kAccessDeviceReadWrite;
constexpr ULONG kFullStateMask = 0xFFFFFFFF;

struct ParameterMapEntry {
    // Stores every argument; with a non-zero `nameStringId` whose string loads and is not empty, the row
    // takes its own copy of that string as its name.
    ParameterMapEntry(ULONG id, const char* name, ULONG nameStringId, ULONG controlId, const char* format,
                      ULONG state, ULONG controlFlags, HWND controlWindow = nullptr,
                      HWND markerWindow = nullptr, ULONG markerFlag = 0,
                      ULONG stateMask = kFullStateMask) noexcept;
    // The end row.
    ParameterMapEntry() noexcept;
    // A copy owns its own name when the source does; an enumeration that cannot be copied becomes
    // VT_ERROR holding the copy's failure.
    ParameterMapEntry(const ParameterMapEntry& source) noexcept;
    ParameterMapEntry& operator=(const ParameterMapEntry& source) noexcept;
    ~ParameterMapEntry() = default;

    bool OwnsName() const noexcept { return ownedName_ != nullptr; }
    bool IsEndRow() const noexcept { return name == nullptr; }

    ULONG id;
    const char* name;
    ULONG nameStringId;
    ULONG controlId;
    const char* format;  // "" shows the value as an enumeration; null for none
    ULONG state;
    ULONG markerFlag;
    HWND controlWindow;
    HWND markerWindow;
    ULONG controlFlags;
    USHORT enumerationKind = 0;
    ql::Variant enumeration;
    ULONG stateMask;

private:
    void CopyFrom(const ParameterMapEntry& source) noexcept;
    void TakeName(const char* text) noexcept;

    std::unique_ptr<char[]> ownedName_;  // set exactly when `name` points at the row's own copy
};

// A class's static rows and the end row after them.
class ParameterMap {
public:
    ParameterMap(std::initializer_list<ParameterMapEntry> rows);

    // The static rows; `count` (when not null) receives the number of rows before the end row.
    const ParameterMapEntry* GetParamMap(ULONG* count) const noexcept;
    // A copy of every row and the end row after them. E_OUTOFMEMORY leaves `copy` empty.
    HRESULT CopyRows(std::vector<ParameterMapEntry>& copy) const noexcept;

private:
    std::vector<ParameterMapEntry> rows_;  // the end row included
};

// Index of the first row with `id` before the end row; -1 for kEndRowId, an empty map or no match.
int FindParamRow(const ParameterMapEntry* rows, ULONG id) noexcept;
