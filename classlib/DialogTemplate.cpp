#include "classlib/DialogTemplate.h"

#include <cstring>

#include "classlib/HResult.h"
#include "classlib/WindowOwner.h"

namespace ql {

namespace {

constexpr WORD kExtendedSignature = 0xFFFF;
constexpr size_t kItemFixedSize = 18;          // DLGITEMTEMPLATE
constexpr size_t kExtendedItemFixedSize = 24;  // DLGITEMTEMPLATEEX up to its id

// Reads a template front to back; every read checks the bounds and sets `failed` instead of reading past.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) noexcept : data_(data), size_(size) {}
    size_t Offset() const noexcept { return offset_; }
    bool Failed() const noexcept { return failed_; }
    WORD Word() noexcept {
        WORD value = 0;
        Copy(&value, sizeof(value));
        return value;
    }
    void Skip(size_t bytes) noexcept {
        if (bytes > size_ - offset_) {
            failed_ = true;
            offset_ = size_;
        } else {
            offset_ += bytes;
        }
    }
    void AlignToDword() noexcept { Skip((4 - offset_ % 4) % 4); }
    // A string-or-ordinal field; `text` receives a string's characters (an ordinal leaves it empty).
    void StringOrOrdinal(std::wstring* text) noexcept {
        const WORD first = Word();
        if (first == 0) return;
        if (first == 0xFFFF) {
            Skip(sizeof(WORD));
            return;
        }
        if (text) text->push_back(static_cast<wchar_t>(first));
        for (WORD c = Word(); c != 0 && !failed_; c = Word())
            if (text) text->push_back(static_cast<wchar_t>(c));
    }

private:
    void Copy(void* out, size_t bytes) noexcept {
        if (bytes > size_ - offset_) {
            failed_ = true;
            offset_ = size_;
            return;
        }
        std::memcpy(out, data_ + offset_, bytes);
        offset_ += bytes;
    }

    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
    bool failed_ = false;
};

template <class T>
T ReadAt(const std::vector<BYTE>& bytes, size_t offset) noexcept {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

template <class T>
void WriteAt(std::vector<BYTE>& bytes, size_t offset, T value) noexcept {
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

void AppendBytes(std::vector<BYTE>& out, const BYTE* data, size_t size) {
    out.insert(out.end(), data, data + size);
}

void AppendString(std::vector<BYTE>& out, const std::wstring& text) {
    for (wchar_t c : text) {
        const WORD unit = static_cast<WORD>(c);
        AppendBytes(out, reinterpret_cast<const BYTE*>(&unit), sizeof(unit));
    }
    const WORD end = 0;
    AppendBytes(out, reinterpret_cast<const BYTE*>(&end), sizeof(end));
}

// Asks for no focus: a dialog whose WM_INITDIALOG answers TRUE takes the keyboard focus from the window that
// has it, and gives it away again when it goes, wherever the window manager then puts it.
INT_PTR CALLBACK MeasuringDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

// One item as the template holds it: the fixed part, the class field, and the rest (title and creation
// data) kept as bytes, each part from its own offset in the template.
struct DialogTemplate::Item {
    size_t fixedOffset = 0;
    size_t classOffset = 0;
    size_t titleOffset = 0;
    size_t endOffset = 0;
    std::wstring className;  // empty for a predefined class given by ordinal
};

HRESULT ParseDialogInit(const BYTE* data, size_t size, std::vector<DialogInitItem>& out) {
    out.clear();
    TemplateReader reader(data, size);
    while (true) {
        const WORD id = reader.Word();
        if (reader.Failed() || id == 0) return S_OK;  // a missing end marker ends the data too
        DialogInitItem item;
        item.controlId = id;
        item.message = reader.Word();
        const WORD low = reader.Word();
        const WORD high = reader.Word();
        const size_t length = MAKELONG(low, high);
        const size_t start = reader.Offset();
        reader.Skip(length);
        if (reader.Failed()) return E_INVALIDARG;
        item.data.assign(data + start, data + start + length);
        out.push_back(std::move(item));
    }
}

HRESULT LoadDialogInit(HINSTANCE module, LPCWSTR id, std::vector<DialogInitItem>& out) {
    out.clear();
    HRSRC resource = ::FindResourceW(module, id, MAKEINTRESOURCEW(kDialogInitResourceType));
    if (!resource) return S_FALSE;
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return HRESULT_FROM_WIN32(::GetLastError());
    return GuardComCall([&] {
        return ParseDialogInit(static_cast<const BYTE*>(data), ::SizeofResource(module, resource), out);
    });
}

HRESULT DialogTemplate::Load(HINSTANCE module, LPCWSTR id) {
    HRSRC resource = ::FindResourceW(module, id, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!resource) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return HRESULT_FROM_WIN32(::GetLastError());
    return Assign(static_cast<const BYTE*>(data), ::SizeofResource(module, resource));
}

HRESULT DialogTemplate::Assign(const BYTE* data, size_t size) {
    return GuardComCall([&] {
        bytes_.assign(data, data + size);
        std::vector<Item> items;
        size_t headerSize = 0;
        return Parse(items, headerSize);
    });
}

bool DialogTemplate::IsExtended() const noexcept {
    return ReadAt<WORD>(bytes_, 0) == 1 && ReadAt<WORD>(bytes_, 2) == kExtendedSignature;
}

DWORD DialogTemplate::Style() const noexcept { return ReadAt<DWORD>(bytes_, IsExtended() ? 12 : 0); }

SIZE DialogTemplate::SizeInDialogUnits() const noexcept {
    const size_t sizeOffset = IsExtended() ? 22 : 14;  // cx, cy follow cdit, x and y
    return SIZE{ReadAt<SHORT>(bytes_, sizeOffset), ReadAt<SHORT>(bytes_, sizeOffset + 2)};
}

HRESULT DialogTemplate::Parse(std::vector<Item>& items, size_t& headerSize) const {
    const bool extended = IsExtended();
    TemplateReader reader(bytes_.data(), bytes_.size());
    reader.Skip(extended ? 16 : 8);  // up to the item count
    const WORD count = reader.Word();
    reader.Skip(4 * sizeof(SHORT));
    reader.StringOrOrdinal(nullptr);  // menu
    reader.StringOrOrdinal(nullptr);  // class
    reader.StringOrOrdinal(nullptr);  // title
    if (Style() & (DS_SETFONT | DS_SHELLFONT)) {
        reader.Skip(extended ? 6 : 2);  // point size (weight, italic, character set)
        reader.StringOrOrdinal(nullptr);
    }
    headerSize = reader.Offset();
    items.clear();
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        Item item;
        item.fixedOffset = reader.Offset();
        reader.Skip(extended ? kExtendedItemFixedSize : kItemFixedSize);
        item.classOffset = reader.Offset();
        reader.StringOrOrdinal(&item.className);
        item.titleOffset = reader.Offset();
        reader.StringOrOrdinal(nullptr);
        reader.Skip(reader.Word());  // creation data
        item.endOffset = reader.Offset();
        if (reader.Failed()) return E_INVALIDARG;
        items.push_back(std::move(item));
    }
    return reader.Failed() ? E_INVALIDARG : S_OK;
}

size_t DialogTemplate::ActiveXItemCount() const {
    std::vector<Item> items;
    size_t headerSize = 0;
    if (FAILED(Parse(items, headerSize))) return 0;
    size_t count = 0;
    for (const Item& item : items)
        if (!item.className.empty() && item.className[0] == L'{') ++count;
    return count;
}

HRESULT DialogTemplate::ReplaceActiveXItems(const wchar_t* hostClass) {
    return GuardComCall([&] {
        std::vector<Item> items;
        size_t headerSize = 0;
        QL_RETURN_IF_FAILED(Parse(items, headerSize));
        std::vector<BYTE> rewritten(bytes_.begin(), bytes_.begin() + headerSize);
        for (const Item& item : items) {
            rewritten.resize((rewritten.size() + 3) & ~size_t{3});
            const BYTE* base = bytes_.data();
            if (item.className.empty() || item.className[0] != L'{') {
                AppendBytes(rewritten, base + item.fixedOffset, item.endOffset - item.fixedOffset);
                continue;
            }
            // The host's window text names the control; the item's own title and creation data go.
            AppendBytes(rewritten, base + item.fixedOffset, item.classOffset - item.fixedOffset);
            AppendString(rewritten, hostClass);
            AppendString(rewritten, item.className);
            const WORD noCreationData = 0;
            AppendBytes(rewritten, reinterpret_cast<const BYTE*>(&noCreationData), sizeof(noCreationData));
        }
        bytes_ = std::move(rewritten);
        return S_OK;
    });
}

HRESULT DialogTemplate::KeepHeaderOnly(DWORD style) {
    return GuardComCall([&] {
        std::vector<Item> items;
        size_t headerSize = 0;
        QL_RETURN_IF_FAILED(Parse(items, headerSize));
        bytes_.resize(headerSize);
        const bool extended = IsExtended();
        WriteAt<DWORD>(bytes_, extended ? 12 : 0, style);
        WriteAt<WORD>(bytes_, extended ? 16 : 8, 0);
        return S_OK;
    });
}

HRESULT DialogSizeInPixels(HINSTANCE module, LPCWSTR id, SIZE& out) {
    out = SIZE{0, 0};
    DialogTemplate measuring;
    QL_RETURN_IF_FAILED(measuring.Load(module, id));
    const SIZE units = measuring.SizeInDialogUnits();
    // A hidden pop-up with the template's font maps the units exactly as the real dialog will.
    QL_RETURN_IF_FAILED(
        measuring.KeepHeaderOnly(WS_POPUP | (measuring.Style() & (DS_SETFONT | DS_SHELLFONT))));
    WindowOwner dialog(
        ::CreateDialogIndirectParamW(module, measuring.Get(), nullptr, MeasuringDialogProc, 0));
    if (!dialog) return HRESULT_FROM_WIN32(::GetLastError());
    RECT rect{0, 0, units.cx, units.cy};
    if (!::MapDialogRect(dialog.Get(), &rect)) return HRESULT_FROM_WIN32(::GetLastError());
    out = SIZE{rect.right - rect.left, rect.bottom - rect.top};
    return S_OK;
}

}  // namespace ql
