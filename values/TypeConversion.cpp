#include "values/TypeConversion.h"

#include <cstring>
#include <iterator>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "values/ScalarTypes.h"

namespace {

struct ConversionContext {
    LCID lcid;
    ULONG flags;
    ULONG textFlags;
};

using ConversionCell = HRESULT (*)(const void* source, void* destination, const ConversionContext& context);

// Values are read in their own width; the source need not be aligned for the type.
template <class T>
T ReadValue(const void* source) noexcept {
    T value;
    std::memcpy(&value, source, sizeof value);
    return value;
}

// The platform routines come in four families, told apart by their signatures; each overload passes what
// its family takes. A DECIMAL is always passed by address, every other value by value.
template <class Source, class Result>
HRESULT CallPlatform(HRESULT(WINAPI* routine)(Source, Result*), const void* source, void* destination,
                     const ConversionContext&) noexcept {
    return routine(ReadValue<Source>(source), static_cast<Result*>(destination));
}
template <class Result>
HRESULT CallPlatform(HRESULT(WINAPI* routine)(DECIMAL*, Result*), const void* source, void* destination,
                     const ConversionContext&) noexcept {
    return routine(static_cast<DECIMAL*>(const_cast<void*>(source)), static_cast<Result*>(destination));
}
// From an object: the platform converts its default value; the flags are not the routine's.
template <class Source, class Result>
HRESULT CallPlatform(HRESULT(WINAPI* routine)(Source, LCID, Result*), const void* source, void* destination,
                     const ConversionContext& context) noexcept {
    return routine(ReadValue<Source>(source), context.lcid, static_cast<Result*>(destination));
}
// To or from text.
template <class Source, class Result>
HRESULT CallPlatform(HRESULT(WINAPI* routine)(Source, LCID, ULONG, Result*), const void* source,
                     void* destination, const ConversionContext& context) noexcept {
    return routine(ReadValue<Source>(source), context.lcid, context.textFlags,
                   static_cast<Result*>(destination));
}
template <class Result>
HRESULT CallPlatform(HRESULT(WINAPI* routine)(DECIMAL*, LCID, ULONG, Result*), const void* source,
                     void* destination, const ConversionContext& context) noexcept {
    return routine(static_cast<DECIMAL*>(const_cast<void*>(source)), context.lcid, context.textFlags,
                   static_cast<Result*>(destination));
}

template <auto Routine>
HRESULT PlatformCell(const void* source, void* destination, const ConversionContext& context) noexcept {
    return CallPlatform(Routine, source, destination, context);
}
template <auto Routine>
constexpr ConversionCell P = &PlatformCell<Routine>;

// Without VARIANT_ALPHABOOL a boolean becomes the number it stores in text form: "-1" for VARIANT_TRUE and
// "0" for every other value, so that a stored text reads back as the same boolean whatever the language.
HRESULT BooleanTextCell(const void* source, void* destination, const ConversionContext& context) noexcept {
    const VARIANT_BOOL value = ReadValue<VARIANT_BOOL>(source);
    BSTR* result = static_cast<BSTR*>(destination);
    if (context.flags & VARIANT_ALPHABOOL)
        return ::VarBstrFromBool(value, context.lcid, context.textFlags, result);
    ql::Bstr text;
    QL_RETURN_IF_FAILED(text.Assign(value == VARIANT_TRUE ? L"-1" : L"0"));
    *result = text.Detach();
    return S_OK;
}

// VT_INT has the width of VT_I4 on every Windows platform.
HRESULT MachineIntegerCell(const void* source, void* destination, const ConversionContext&) noexcept {
    static_assert(sizeof(INT) == sizeof(LONG), "VT_INT copies into VT_I4 unchanged");
    std::memcpy(destination, source, sizeof(LONG));
    return S_OK;
}

constexpr ConversionCell kEqual = nullptr;  // equal codes never reach the matrix
constexpr ConversionCell kNone = nullptr;   // a pair the system does not convert

constexpr VARTYPE kSourceColumns[] = {VT_I2,   VT_I4,   VT_R4,       VT_R8,   VT_CY,
                                      VT_DATE, VT_BSTR, VT_DISPATCH, VT_BOOL, VT_DECIMAL,
                                      VT_I1,   VT_UI1,  VT_UI2,      VT_UI4,  VT_INT};
constexpr size_t kColumnCount = std::size(kSourceColumns);

struct MatrixRow {
    VARTYPE destination;
    ConversionCell cells[kColumnCount];
};

// Destination by row, source by column in the order of kSourceColumns.
// clang-format off
constexpr MatrixRow kMatrix[] = {
    {VT_I2, {kEqual, P<VarI2FromI4>, P<VarI2FromR4>, P<VarI2FromR8>, P<VarI2FromCy>, P<VarI2FromDate>,
             P<VarI2FromStr>, P<VarI2FromDisp>, P<VarI2FromBool>, P<VarI2FromDec>, P<VarI2FromI1>,
             P<VarI2FromUI1>, P<VarI2FromUI2>, P<VarI2FromUI4>, kNone}},
    {VT_I4, {P<VarI4FromI2>, kEqual, P<VarI4FromR4>, P<VarI4FromR8>, P<VarI4FromCy>, P<VarI4FromDate>,
             P<VarI4FromStr>, P<VarI4FromDisp>, P<VarI4FromBool>, P<VarI4FromDec>, P<VarI4FromI1>,
             P<VarI4FromUI1>, P<VarI4FromUI2>, P<VarI4FromUI4>, MachineIntegerCell}},
    {VT_R4, {P<VarR4FromI2>, P<VarR4FromI4>, kEqual, P<VarR4FromR8>, P<VarR4FromCy>, P<VarR4FromDate>,
             P<VarR4FromStr>, P<VarR4FromDisp>, P<VarR4FromBool>, P<VarR4FromDec>, P<VarR4FromI1>,
             P<VarR4FromUI1>, P<VarR4FromUI2>, P<VarR4FromUI4>, kNone}},
    {VT_R8, {P<VarR8FromI2>, P<VarR8FromI4>, P<VarR8FromR4>, kEqual, P<VarR8FromCy>, P<VarR8FromDate>,
             P<VarR8FromStr>, P<VarR8FromDisp>, P<VarR8FromBool>, P<VarR8FromDec>, P<VarR8FromI1>,
             P<VarR8FromUI1>, P<VarR8FromUI2>, P<VarR8FromUI4>, kNone}},
    {VT_CY, {P<VarCyFromI2>, P<VarCyFromI4>, P<VarCyFromR4>, P<VarCyFromR8>, kEqual, P<VarCyFromDate>,
             P<VarCyFromStr>, P<VarCyFromDisp>, P<VarCyFromBool>, P<VarCyFromDec>, P<VarCyFromI1>,
             P<VarCyFromUI1>, P<VarCyFromUI2>, P<VarCyFromUI4>, kNone}},
    {VT_DATE, {P<VarDateFromI2>, P<VarDateFromI4>, P<VarDateFromR4>, P<VarDateFromR8>, P<VarDateFromCy>, kEqual,
               P<VarDateFromStr>, P<VarDateFromDisp>, P<VarDateFromBool>, P<VarDateFromDec>, P<VarDateFromI1>,
               P<VarDateFromUI1>, P<VarDateFromUI2>, P<VarDateFromUI4>, kNone}},
    {VT_BSTR, {P<VarBstrFromI2>, P<VarBstrFromI4>, P<VarBstrFromR4>, P<VarBstrFromR8>, P<VarBstrFromCy>,
               P<VarBstrFromDate>, kEqual, P<VarBstrFromDisp>, BooleanTextCell, P<VarBstrFromDec>,
               P<VarBstrFromI1>, P<VarBstrFromUI1>, P<VarBstrFromUI2>, P<VarBstrFromUI4>, kNone}},
    {VT_BOOL, {P<VarBoolFromI2>, P<VarBoolFromI4>, P<VarBoolFromR4>, P<VarBoolFromR8>, P<VarBoolFromCy>,
               P<VarBoolFromDate>, P<VarBoolFromStr>, P<VarBoolFromDisp>, kEqual, P<VarBoolFromDec>,
               P<VarBoolFromI1>, P<VarBoolFromUI1>, P<VarBoolFromUI2>, P<VarBoolFromUI4>, kNone}},
    {VT_DECIMAL, {P<VarDecFromI2>, P<VarDecFromI4>, P<VarDecFromR4>, P<VarDecFromR8>, P<VarDecFromCy>,
                  P<VarDecFromDate>, P<VarDecFromStr>, P<VarDecFromDisp>, P<VarDecFromBool>, kEqual,
                  P<VarDecFromI1>, P<VarDecFromUI1>, P<VarDecFromUI2>, P<VarDecFromUI4>, kNone}},
    {VT_I1, {P<VarI1FromI2>, P<VarI1FromI4>, P<VarI1FromR4>, P<VarI1FromR8>, P<VarI1FromCy>, P<VarI1FromDate>,
             P<VarI1FromStr>, P<VarI1FromDisp>, P<VarI1FromBool>, P<VarI1FromDec>, kEqual,
             P<VarI1FromUI1>, P<VarI1FromUI2>, P<VarI1FromUI4>, kNone}},
    {VT_UI1, {P<VarUI1FromI2>, P<VarUI1FromI4>, P<VarUI1FromR4>, P<VarUI1FromR8>, P<VarUI1FromCy>,
              P<VarUI1FromDate>, P<VarUI1FromStr>, P<VarUI1FromDisp>, P<VarUI1FromBool>, P<VarUI1FromDec>,
              P<VarUI1FromI1>, kEqual, P<VarUI1FromUI2>, P<VarUI1FromUI4>, kNone}},
    {VT_UI2, {P<VarUI2FromI2>, P<VarUI2FromI4>, P<VarUI2FromR4>, P<VarUI2FromR8>, P<VarUI2FromCy>,
              P<VarUI2FromDate>, P<VarUI2FromStr>, P<VarUI2FromDisp>, P<VarUI2FromBool>, P<VarUI2FromDec>,
              P<VarUI2FromI1>, P<VarUI2FromUI1>, kEqual, P<VarUI2FromUI4>, kNone}},
    {VT_UI4, {P<VarUI4FromI2>, P<VarUI4FromI4>, P<VarUI4FromR4>, P<VarUI4FromR8>, P<VarUI4FromCy>,
              P<VarUI4FromDate>, P<VarUI4FromStr>, P<VarUI4FromDisp>, P<VarUI4FromBool>, P<VarUI4FromDec>,
              P<VarUI4FromI1>, P<VarUI4FromUI1>, P<VarUI4FromUI2>, kEqual, kNone}},
};
// clang-format on

ConversionCell FindCell(VARTYPE sourceType, VARTYPE destinationType) noexcept {
    for (const MatrixRow& row : kMatrix) {
        if (row.destination != destinationType) continue;
        for (size_t column = 0; column < kColumnCount; ++column) {
            if (kSourceColumns[column] == sourceType) return row.cells[column];
        }
        return kNone;
    }
    return kNone;
}

// Equal types: the value unchanged, with its own copy of what it owns.
HRESULT CopySameType(const void* source, void* destination, VARTYPE type) noexcept {
    const ScalarTypeTraits* traits = FindScalarType(type);
    // Codes outside the scalar table (VT_EMPTY, arrays, by-reference values) have no width to copy.
    QL_RETURN_HR_IF(DISP_E_TYPEMISMATCH, !traits);
    if (type == VT_BSTR) {
        ql::Bstr copy;
        QL_RETURN_IF_FAILED(copy.AssignCopy(ReadValue<BSTR>(source)));
        *static_cast<BSTR*>(destination) = copy.Detach();
        return S_OK;
    }
    if (type == VT_DISPATCH) {
        ql::ComPtr<IDispatch> reference(ReadValue<IDispatch*>(source));
        *static_cast<IDispatch**>(destination) = reference.Detach();
        return S_OK;
    }
    std::memcpy(destination, source, ql::VarTypeWidth(type));
    return S_OK;
}

}  // namespace

ULONG TextFlagsFromConversionFlags(ULONG flags) noexcept {
    ULONG textFlags =
        flags & ~static_cast<ULONG>(VARIANT_NOVALUEPROP | VARIANT_ALPHABOOL | VARIANT_NOUSEROVERRIDE);
    if (flags & VARIANT_NOUSEROVERRIDE) textFlags |= LOCALE_NOUSEROVERRIDE;
    return textFlags;
}

HRESULT ConvertBetweenVarTypes(const void* source, void* destination, VARTYPE sourceType,
                               VARTYPE destinationType, LCID lcid, ULONG flags) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !source || !destination);
    if (sourceType == destinationType) return CopySameType(source, destination, sourceType);
    const ConversionCell cell = FindCell(sourceType, destinationType);
    QL_RETURN_HR_IF(DISP_E_TYPEMISMATCH, !cell);
    const ConversionContext context{lcid, flags, TextFlagsFromConversionFlags(flags)};
    return cell(source, destination, context);
}

HRESULT ConvertScalarToVariant(const void* source, VARTYPE sourceType, VARTYPE destinationType, LCID lcid,
                               ULONG flags, ql::Variant& result) noexcept {
    VARIANT* storage = result.Put();
    const HRESULT hr = ConvertBetweenVarTypes(source, ScalarValueLocation(*storage, destinationType),
                                              sourceType, destinationType, lcid, flags);
    // A DECIMAL result overlays the type field, so the type is written only once the value is complete.
    V_VT(storage) = SUCCEEDED(hr) ? destinationType : static_cast<VARTYPE>(VT_EMPTY);
    return hr;
}
