#pragma once
// HRESULTs in test expectations: compared exactly (S_FALSE is no S_OK) and printed with their names, so a
// failure says what came back. EXPECT_HR(S_FALSE, hr) shows "S_OK (0x00000000)" when S_OK came.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace vtest {

// "E_INVALIDARG" for the codes the system meets, otherwise the code in hexadecimal ("0xC00CE56D").
std::string HResultName(HRESULT hr);

struct Hr {
    HRESULT value;
    bool operator==(const Hr& other) const { return value == other.value; }
    bool operator!=(const Hr& other) const { return value != other.value; }
};
void PrintTo(const Hr& hr, std::ostream* os);

}  // namespace vtest

#define EXPECT_HR(expected, actual) \
    EXPECT_EQ(::vtest::Hr{static_cast<HRESULT>(expected)}, ::vtest::Hr{static_cast<HRESULT>(actual)})
#define ASSERT_HR(expected, actual) \
    ASSERT_EQ(::vtest::Hr{static_cast<HRESULT>(expected)}, ::vtest::Hr{static_cast<HRESULT>(actual)})
