#include "tests/support/HostileArrays.h"

#include <cstring>

namespace vtest {
namespace {

constexpr ULONG kWideElement = 1024;

// The first `width` bytes of a VARIANT that holds `text` (its type, then the text's pointer) at `element`.
void SpellVariant(BSTR text, void* element, size_t width) {
    VARIANT spelled{};
    V_VT(&spelled) = VT_BSTR;
    V_BSTR(&spelled) = text;
    std::memcpy(element, &spelled, width < sizeof spelled ? width : sizeof spelled);
}

// `array` under a VARIANT that claims `claimed` elements.
ql::Variant Claiming(VARTYPE claimed, ql::SafeArray array) {
    ql::Variant value;
    value.AttachArray(claimed, array.Detach());
    return value;
}

// Every element of `array` in storage order, `width` bytes apart, handed to `fill` with its index.
template <class Fill>
void FillElements(const ql::SafeArray& array, size_t width, Fill fill) {
    if (!array.Get()) return;
    const ql::SafeArrayData<BYTE> data(array.Get());
    EXPECT_EQ(S_OK, data.Status());
    if (FAILED(data.Status())) return;
    for (ULONG i = 0; i < array.Count(); ++i) fill(data.Data() + i * width, i);
}

// An array without a recorded type, whose elements are `width` bytes wide.
ql::SafeArray UntypedArray(ULONG width, ULONG count) {
    ql::SafeArray array;
    EXPECT_EQ(S_OK, ::SafeArrayAllocDescriptor(1, array.Put()));
    if (!array.Get()) return array;
    array.Get()->cbElements = width;
    array.Get()->rgsabound[0] = {count, 0};
    return array;
}

// One page for the whole process, reserved and never committed.
void* ReservedPage() {
    static void* const page = ::VirtualAlloc(nullptr, 1, MEM_RESERVE, PAGE_NOACCESS);
    return page;
}

}  // namespace

std::vector<NamedValue> HostileArrays(VARTYPE claimed, const std::vector<BSTR>& texts, ULONG count) {
    const auto text = [&](ULONG i) { return texts[i % texts.size()]; };
    std::vector<NamedValue> values;

    const VARTYPE lentType = claimed == VT_VARIANT ? VT_VARIANT : VT_BSTR;
    ql::SafeArray lent = MakeArrayOwnedBy(ElementOwner::kCaller, lentType, count);
    FillElements(lent, lent.Get() ? lent.Get()->cbElements : 0, [&](BYTE* element, ULONG i) {
        if (lentType == VT_VARIANT) {
            SpellVariant(text(i), element, sizeof(VARIANT));
        } else {
            *reinterpret_cast<BSTR*>(element) = text(i);
        }
    });
    values.push_back({"elements the caller owns", Claiming(claimed, std::move(lent))});

    ql::SafeArray decimals;
    EXPECT_EQ(S_OK, decimals.Create(VT_DECIMAL, count));
    FillElements(decimals, sizeof(DECIMAL),
                 [&](BYTE* element, ULONG i) { SpellVariant(text(i), element, sizeof(DECIMAL)); });
    values.push_back({"DECIMALs", Claiming(claimed, std::move(decimals))});

    ql::SafeArray wide = UntypedArray(kWideElement, count);
    if (wide.Get()) {
        EXPECT_EQ(S_OK, ::SafeArrayAllocData(wide.Get()));
    }
    FillElements(wide, kWideElement,
                 [&](BYTE* element, ULONG i) { SpellVariant(text(i), element, kWideElement); });
    values.push_back({"wide elements", Claiming(claimed, std::move(wide))});

    ql::SafeArray empty = UntypedArray(0, count);
    if (empty.Get()) {
        // Static data is its caller's: destroying the array leaves the page alone.
        empty.Get()->fFeatures = FADF_STATIC;
        empty.Get()->pvData = ReservedPage();
        EXPECT_NE(nullptr, empty.Get()->pvData);
    }
    values.push_back({"empty elements", Claiming(claimed, std::move(empty))});

    ql::SafeArray copies = MakeArrayOwnedBy(ElementOwner::kPlatform, VT_BSTR, count);
    FillElements(copies, sizeof(BSTR), [&](BYTE* element, ULONG i) {
        *reinterpret_cast<BSTR*>(element) = ::SysAllocStringLen(text(i), ::SysStringLen(text(i)));
    });
    values.push_back({"texts", Claiming(claimed, std::move(copies))});
    return values;
}

ql::Variant LetterBytes(size_t count) {
    std::vector<BYTE> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<BYTE>(0x41 + i);
    return MakeBytes(bytes);
}

}  // namespace vtest
