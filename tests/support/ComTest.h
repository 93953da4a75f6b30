#pragma once
// The fixture of every test that meets COM: one apartment-threaded apartment per test, as the system's
// objects run, ended after the derived fixture's members are gone.
#include <gtest/gtest.h>

#include "classlib/ComApartment.h"
#include "tests/support/HResultText.h"

namespace vtest {

class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HR(S_OK, apartment_.Status()); }

    ql::ComApartment apartment_;
};

}  // namespace vtest
