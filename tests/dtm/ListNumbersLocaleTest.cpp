// The parameter list on a machine whose user reads numbers with a decimal comma. Runs with LC_ALL set to
// de_DE.UTF-8 (see CMakeLists.txt): Wine then gives the process the user locale 0x407 (LANG alone is not
// enough). Overrides of the decimal sign in the prefix's registry and SetThreadLocale do not reach the
// platform's number conversions, which read the user locale's own settings.
#include "ParameterListTestSupport.h"

namespace dtmtest {
namespace {

// A list goes from one machine to another: its numbers have one form whatever the user's locale, and a
// number that does not read back as written is refused rather than read as another number.
using CommaLocaleListTest = ParameterListFileTest;

TEST_F(CommaLocaleListTest, NumbersDoNotDependOnTheUserLocale) {
    ASSERT_NO_FATAL_FAILURE(ConfigureAs(L"planningEngineer"));
    FLOAT probe = 0;
    ASSERT_HR(S_OK, ::VarR4FromStr(const_cast<OLECHAR*>(L"1,5"), LOCALE_USER_DEFAULT, 0, &probe));
    ASSERT_EQ(1.5f, probe) << "the program must run with a decimal-comma user locale";

    auto setNumber = [&](ULONG id, FLOAT number) {
        ql::Variant value;
        value.SetR4(number);
        ASSERT_HR(S_OK, dtm_->Store().SetValue(id, *value.Get()));
    };
    auto numberOf = [&](ULONG id) { return dtm_->Store().Variables().Find(id)->Value->fltVal; };
    setNumber(39, 1.5f);
    setNumber(40, 0.1f);
    const std::string text = Export();
    EXPECT_NE(std::string::npos, text.find("value =\"1.500000\"")) << "the point form of 1.5";
    EXPECT_NE(std::string::npos, text.find("value =\"0.100000\"")) << "the point form of 0.1";

    setNumber(39, 2.0f);
    setNumber(40, 3.0f);
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_HR(S_OK, Import(text, &ok));
    EXPECT_EQ(VARIANT_TRUE, ok);
    EXPECT_EQ(1.5f, numberOf(39));
    EXPECT_EQ(0.1f, numberOf(40));

    EXPECT_HR(S_OK, Import(List("", Entry(39, "VT_R4", "1,5")), &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_EQ(1.5f, numberOf(39));
}

}  // namespace
}  // namespace dtmtest
