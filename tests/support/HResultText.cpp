#include "tests/support/HResultText.h"

#include <cstdio>

namespace vtest {

namespace {

// The codes the system meets, named by their own spelling.
// clang-format off
#define VTEST_HRESULTS(NAMED)                                                                       \
    NAMED(S_OK) NAMED(S_FALSE) NAMED(E_UNEXPECTED) NAMED(E_NOTIMPL) NAMED(E_OUTOFMEMORY)            \
    NAMED(E_INVALIDARG) NAMED(E_NOINTERFACE) NAMED(E_POINTER) NAMED(E_HANDLE) NAMED(E_ABORT)        \
    NAMED(E_FAIL) NAMED(E_ACCESSDENIED) NAMED(DISP_E_UNKNOWNINTERFACE) NAMED(DISP_E_MEMBERNOTFOUND) \
    NAMED(DISP_E_PARAMNOTFOUND) NAMED(DISP_E_TYPEMISMATCH) NAMED(DISP_E_UNKNOWNNAME)                \
    NAMED(DISP_E_BADVARTYPE) NAMED(DISP_E_EXCEPTION) NAMED(DISP_E_OVERFLOW) NAMED(DISP_E_BADINDEX)  \
    NAMED(DISP_E_ARRAYISLOCKED) NAMED(DISP_E_BADPARAMCOUNT) NAMED(DISP_E_PARAMNOTOPTIONAL)          \
    NAMED(CLASS_E_NOAGGREGATION) NAMED(CLASS_E_CLASSNOTAVAILABLE) NAMED(REGDB_E_CLASSNOTREG)        \
    NAMED(REGDB_E_READREGDB) NAMED(REGDB_E_WRITEREGDB) NAMED(CO_E_CLASSSTRING)                      \
    NAMED(CO_E_NOTINITIALIZED) NAMED(RPC_E_CHANGED_MODE) NAMED(RPC_E_WRONG_THREAD)                  \
    NAMED(STG_E_MEDIUMFULL) NAMED(TYPE_E_ELEMENTNOTFOUND) NAMED(TYPE_E_LIBNOTREGISTERED)            \
    NAMED(TYPE_E_CANTLOADLIBRARY)
// clang-format on
#define VTEST_NAMED(code) {code, #code},
struct NamedCode {
    HRESULT code;
    const char* name;
};
const NamedCode kNames[] = {VTEST_HRESULTS(VTEST_NAMED){HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
                                                        "HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)"}};
#undef VTEST_NAMED
#undef VTEST_HRESULTS

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

}  // namespace

std::string HResultName(HRESULT hr) {
    for (const NamedCode& named : kNames) {
        if (named.code == hr) return named.name;
    }
    return Hex(hr);  // the parser's 0xC00CE5xx codes and 0x800C0006 read best as numbers
}

void PrintTo(const Hr& hr, std::ostream* os) {
    const std::string name = HResultName(hr.value);
    *os << name;
    if (name[0] != '0') *os << " (" << Hex(hr.value) << ")";
}

}  // namespace vtest
