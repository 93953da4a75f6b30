#pragma once
// Arrays that do not hold what their VARIANT claims, as a broken or hostile caller may pass them: the shapes
// that a reader of a caller's array must refuse before it reads anything. Each comes as a VARIANT of
// VT_ARRAY|`claimed` (VT_VARIANT or VT_UI1 are the claims the readers meet) with `count` elements, element
// i standing for `texts`[i % texts.size()]:
// - "elements the caller owns": an array made by SafeArrayAllocDescriptorEx + SafeArrayAllocData, which
//   records its element type but owns none of its elements; they are the texts themselves, as VARIANTs
//   holding them where VARIANTs are claimed and as texts otherwise;
// - "DECIMALs": an array of DECIMALs whose bytes spell VARIANTs holding the texts;
// - "wide elements": elements of 1024 bytes, each starting with a VARIANT that holds a text;
// - "empty elements": elements 0 bytes wide, whose data lies on a page that is only reserved, so that any
//   read of it faults;
// - "texts": an array of texts the platform owns, copies of the texts;
// - "no data": a descriptor of the claimed elements (their width, the platform's feature for them) that
//   counts them but has no data;
// - "narrow owned elements": elements one byte wide that carry the platform's feature for VARIANTs (where
//   VARIANTs are claimed) or texts (otherwise), over zeros: the platform's copy would write whole VARIANTs
//   or text pointers into one byte each;
// - "texts and VARIANTs", "texts and objects", "VARIANTs and objects": an array that carries two of the
//   platform's owning features, without a recorded type, over zeros as wide as the first feature's elements;
// - "no dimensions": a descriptor of the claimed elements without a dimension, over zeros.
// Clearing the VARIANT frees only what the platform owns, never `texts` themselves, which must not be empty.
// `count` is at most 128.
#include <windows.h>
#include <oleauto.h>

#include <memory>
#include <vector>

#include "tests/support/TestVariants.h"

namespace vtest {

std::vector<NamedValue> HostileArrays(VARTYPE claimed, const std::vector<BSTR>& texts, ULONG count);

// The forms in which an array reaches a reader that copies a caller's value: as it is, by reference to its
// array, by reference to the VARIANT that holds it, as the element of a sound vector of VARIANTs, and as the
// element of a vector that is itself such an element.
enum class ArrayForm { kDirect, kArrayReference, kVariantReference, kVectorElement, kNestedVectorElement };
constexpr ArrayForm kArrayForms[] = {ArrayForm::kDirect, ArrayForm::kArrayReference,
                                     ArrayForm::kVariantReference, ArrayForm::kVectorElement,
                                     ArrayForm::kNestedVectorElement};
const char* FormName(ArrayForm form);

// `array` (a VARIANT of VT_ARRAY|type) in `form`. The value keeps what its references refer to; the array is
// moved into a vector, never copied.
class FormedArray {
public:
    FormedArray(ql::Variant array, ArrayForm form);
    const VARIANT& operator*() const;

private:
    ArrayForm form_;
    std::unique_ptr<ql::Variant> held_;  // the array itself, or the vector that holds it (at a fixed address)
    ql::Variant reference_;              // into *held_, for the forms by reference
};

// A sound vector of VARIANTs that holds `elements` as they stand, neither copied nor owned: a test lends a
// caller's values inside it for a call. When it goes it leaves the elements to their owners.
class LentVector {
public:
    explicit LentVector(const std::vector<VARIANT>& elements);
    LentVector(const LentVector&) = delete;
    LentVector& operator=(const LentVector&) = delete;
    ~LentVector();
    const VARIANT& operator*() const { return *vector_; }

private:
    ql::Variant vector_;
};

// A sound byte string for the same readers: `count` bytes 0x41, 0x42, ... ("ABC...").
ql::Variant LetterBytes(size_t count);

}  // namespace vtest
