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

// Zeros that several arrays lend as their static data: destroying such an array clears its elements and
// zeroes what it counts, which leaves them zeros. Wide enough for 128 VARIANTs.
void* SharedZeros() {
    alignas(16) static BYTE zeros[4096] = {};
    return zeros;
}

// The platform's feature for elements of `type`, where it owns them.
USHORT OwningFeature(VARTYPE type) {
    switch (type) {
        case VT_BSTR:
            return FADF_BSTR;
        case VT_VARIANT:
            return FADF_VARIANT;
        default:
            return 0;
    }
}

// A descriptor of `count` elements of `type` as SafeArrayCreate would make it, without its data.
ql::SafeArray DescriptorOf(VARTYPE type, ULONG count) {
    ql::SafeArray array;
    EXPECT_EQ(S_OK, ::SafeArrayAllocDescriptorEx(type, 1, array.Put()));
    if (!array.Get()) return array;
    array.Get()->fFeatures |= OwningFeature(type);
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

    values.push_back({"no data", Claiming(claimed, DescriptorOf(claimed, count))});

    const VARTYPE ownedType = claimed == VT_VARIANT ? VT_VARIANT : VT_BSTR;
    ql::SafeArray narrow = DescriptorOf(ownedType, count);
    if (narrow.Get()) {
        narrow.Get()->fFeatures |= FADF_STATIC;
        narrow.Get()->cbElements = 1;
        narrow.Get()->pvData = SharedZeros();
    }
    values.push_back({"narrow owned elements", Claiming(claimed, std::move(narrow))});

    // Two owning features over zeros as wide as the first one's elements: the platform copies such an array
    // by one feature and frees it by the other.
    const struct {
        const char* name;
        USHORT features;
        ULONG width;
    } twoFeatures[] = {{"texts and VARIANTs", FADF_BSTR | FADF_VARIANT, sizeof(BSTR)},
                       {"texts and objects", FADF_BSTR | FADF_UNKNOWN, sizeof(BSTR)},
                       {"VARIANTs and objects", FADF_VARIANT | FADF_DISPATCH, sizeof(VARIANT)}};
    for (const auto& shape : twoFeatures) {
        ql::SafeArray owned = UntypedArray(shape.width, count);
        if (owned.Get()) {
            owned.Get()->fFeatures = shape.features | FADF_STATIC;
            owned.Get()->pvData = SharedZeros();
        }
        values.push_back({shape.name, Claiming(claimed, std::move(owned))});
    }

    ql::SafeArray flat = DescriptorOf(claimed, 1);
    if (flat.Get()) {
        flat.Get()->fFeatures |= FADF_STATIC;
        flat.Get()->cDims = 0;
        flat.Get()->pvData = SharedZeros();
    }
    values.push_back({"no dimensions", Claiming(claimed, std::move(flat))});
    return values;
}

const char* FormName(ArrayForm form) {
    switch (form) {
        case ArrayForm::kDirect:
            return "as it is";
        case ArrayForm::kArrayReference:
            return "its array by reference";
        case ArrayForm::kVariantReference:
            return "by reference";
        case ArrayForm::kVectorElement:
            return "in a vector";
        case ArrayForm::kNestedVectorElement:
            return "in a vector in a vector";
    }
    return "";
}

FormedArray::FormedArray(ql::Variant array, ArrayForm form)
    : form_(form), held_(std::make_unique<ql::Variant>()) {
    switch (form) {
        case ArrayForm::kDirect:
            *held_ = std::move(array);
            break;
        case ArrayForm::kArrayReference:
            *held_ = std::move(array);
            reference_ = MakeReference(held_->Type(), &V_ARRAY(held_->Get()));
            break;
        case ArrayForm::kVariantReference:
            *held_ = std::move(array);
            reference_ = MakeReference(VT_VARIANT, held_->Get());
            break;
        case ArrayForm::kVectorElement:
            *held_ = MakeVariantArray(std::move(array));
            break;
        case ArrayForm::kNestedVectorElement:
            *held_ = MakeVariantArray(MakeVariantArray(std::move(array)));
            break;
    }
}

const VARIANT& FormedArray::operator*() const {
    const bool byReference = form_ == ArrayForm::kArrayReference || form_ == ArrayForm::kVariantReference;
    return byReference ? *reference_ : **held_;
}

LentVector::LentVector(const std::vector<VARIANT>& elements) {
    ql::SafeArray vector;
    EXPECT_EQ(S_OK, vector.Create(VT_VARIANT, static_cast<ULONG>(elements.size())));
    if (vector.Get() && !elements.empty()) {
        std::memcpy(vector.Get()->pvData, elements.data(), elements.size() * sizeof(VARIANT));
    }
    vector_.AttachArray(VT_VARIANT, vector.Detach());
}

LentVector::~LentVector() {
    SAFEARRAY* vector = V_ARRAY(vector_.Get());
    if (vector)
        std::memset(vector->pvData, 0, static_cast<size_t>(ql::ElementCount(*vector)) * sizeof(VARIANT));
}

ql::Variant LetterBytes(size_t count) {
    std::vector<BYTE> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<BYTE>(0x41 + i);
    return MakeBytes(bytes);
}

}  // namespace vtest
