#include "values/ArrayConversion.h"

#include <utility>
#include <vector>

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "values/ScalarTypes.h"
#include "values/TypeConversion.h"

namespace {

// Reads one element into `element`. Elements are read only when the array holds scalars of the claimed type
// and width (ql::HoldsElementsOf), so an array whose element type is not what its VARIANT claims is never
// read past or misread (eight bytes taken for a text's pointer), nor a caller's text taken as the array's.
HRESULT ReadElement(SAFEARRAY* array, LONG* indices, VARTYPE elementType, ql::Variant& element) noexcept {
    const ScalarTypeTraits* traits = FindScalarType(elementType);
    QL_RETURN_HR_IF(DISP_E_TYPEMISMATCH, !traits || !ql::HoldsElementsOf(*array, elementType));
    VARIANT* storage = element.Put();
    const HRESULT hr = ::SafeArrayGetElement(array, indices, ScalarValueLocation(*storage, elementType));
    V_VT(storage) = SUCCEEDED(hr) ? elementType : static_cast<VARTYPE>(VT_EMPTY);
    return hr;
}

// The array stores its own copy of a string or an object reference; `element` keeps its value.
HRESULT WriteElement(SAFEARRAY* array, LONG* indices, ql::Variant& element) noexcept {
    return ::SafeArrayPutElement(array, indices, ArrayElementArgument(*element.Get()));
}

HRESULT ConvertElement(const ql::Variant& element, VARTYPE resultType, LCID lcid, ULONG flags,
                       ql::Variant& converted) noexcept {
    const VARTYPE elementType = element.Type();
    return ConvertScalarToVariant(ScalarValueLocation(*element.Get(), elementType), elementType, resultType,
                                  lcid, flags, converted);
}

// Steps `index` to the next element in storage order, the first dimension counting fastest.
// False once the last dimension has passed its upper bound.
bool AdvanceIndex(std::vector<LONG>& index, const std::vector<LONG>& lower, const std::vector<LONG>& upper) {
    for (size_t dimension = 0; dimension < index.size(); ++dimension) {
        if (index[dimension] < upper[dimension]) {
            ++index[dimension];
            return true;
        }
        index[dimension] = lower[dimension];
    }
    return false;
}

HRESULT ConvertEveryElement(SAFEARRAY* source, VARTYPE sourceElementType, VARTYPE resultElementType,
                            ql::SafeArray& result) {
    const UINT dimensions = ::SafeArrayGetDim(source);
    QL_RETURN_HR_IF(E_INVALIDARG, dimensions == 0);
    std::vector<LONG> lower(dimensions), upper(dimensions), index(dimensions);
    std::vector<SAFEARRAYBOUND> bounds(dimensions);
    for (UINT dimension = 0; dimension < dimensions; ++dimension) {
        QL_RETURN_IF_FAILED(::SafeArrayGetLBound(source, dimension + 1, &lower[dimension]));
        QL_RETURN_IF_FAILED(::SafeArrayGetUBound(source, dimension + 1, &upper[dimension]));
        bounds[dimension].lLbound = lower[dimension];
        bounds[dimension].cElements =
            static_cast<ULONG>(static_cast<LONGLONG>(upper[dimension]) - lower[dimension] + 1);
        index[dimension] = lower[dimension];
    }
    ql::SafeArray converted(::SafeArrayCreate(resultElementType, dimensions, bounds.data()));
    QL_RETURN_HR_IF(E_OUTOFMEMORY, !converted.Get());

    // The first element is read before any count is looked at: a dimension without elements fails here.
    ql::Variant element, convertedElement;
    do {
        QL_RETURN_IF_FAILED(ReadElement(source, index.data(), sourceElementType, element));
        QL_RETURN_IF_FAILED(ConvertElement(element, resultElementType, 0, 0, convertedElement));
        QL_RETURN_IF_FAILED(WriteElement(converted.Get(), index.data(), convertedElement));
    } while (AdvanceIndex(index, lower, upper));
    result = std::move(converted);
    return S_OK;
}

}  // namespace

HRESULT ConvertSafeArray(SAFEARRAY* source, SAFEARRAY** result, VARTYPE sourceElementType,
                         VARTYPE resultElementType) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !source || !result);
    *result = nullptr;
    ql::SafeArray converted;
    QL_RETURN_IF_FAILED(ql::GuardComCall(
        [&] { return ConvertEveryElement(source, sourceElementType, resultElementType, converted); }));
    *result = converted.Detach();
    return S_OK;
}

HRESULT MakeEmptyArray(VARTYPE elementType, ql::SafeArray& result) noexcept {
    return result.Create(elementType, 0, 0);
}

HRESULT WrapScalarInArray(const VARIANT& value, VARTYPE elementType, LCID lcid, ULONG flags,
                          ql::SafeArray& result) noexcept {
    const VARTYPE valueType = V_VT(&value);
    QL_RETURN_HR_IF(DISP_E_TYPEMISMATCH, !IsArrayWrappableType(valueType));
    ql::SafeArray array;
    QL_RETURN_IF_FAILED(array.Create(elementType, 1, 0));
    ql::Variant converted;
    QL_RETURN_IF_FAILED(ConvertScalarToVariant(ScalarValueLocation(value, valueType), valueType, elementType,
                                               lcid, flags, converted));
    LONG index = 0;
    QL_RETURN_IF_FAILED(WriteElement(array.Get(), &index, converted));
    result = std::move(array);
    return S_OK;
}

HRESULT FirstElementToScalar(SAFEARRAY* array, VARTYPE elementType, VARTYPE wanted, LCID lcid, ULONG flags,
                             ql::Variant& result) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !array);
    const UINT dimensions = ::SafeArrayGetDim(array);
    QL_RETURN_HR_IF(E_INVALIDARG, dimensions == 0);
    return ql::GuardComCall([&]() -> HRESULT {
        std::vector<LONG> first(dimensions);
        for (UINT dimension = 0; dimension < dimensions; ++dimension) {
            QL_RETURN_IF_FAILED(::SafeArrayGetLBound(array, dimension + 1, &first[dimension]));
        }
        ql::Variant element;
        QL_RETURN_IF_FAILED(ReadElement(array, first.data(), elementType, element));
        QL_RETURN_HR_IF(DISP_E_TYPEMISMATCH, !IsArrayWrappableType(wanted));
        return ConvertElement(element, wanted, lcid, flags, result);
    });
}
