// User level with the administrator right, write rights of the parameters, operation phase and language.
#include <vector>

#include "ServicesTestSupport.h"
#include "classlib/Variant.h"
#include "dataset/ParameterTable.h"
#include "dataset/VariableFields.h"
#include "dtm/DtmState.h"

namespace svctest {
namespace {

class UserSettingsTest : public ServicesTest {
protected:
    LONG UserLevel() {
        LONG level = 0;
        EXPECT_HR(S_OK, Query<IUserInfo>()->GetUserLevel(&level));
        return level;
    }
    std::vector<LONG> UserLevelNotifications(const CFakeControl& control) {
        std::vector<LONG> levels;
        for (const auto& n : control.NotificationsWith(kNotifyUserLevel)) {
            EXPECT_EQ(VT_UI4, n.type);
            levels.push_back(n.number);
        }
        return levels;
    }
    // Every record's write right: its table's right, taken away when the table's write level is above
    // `effectiveLevel`.
    void ExpectWriteRights(ULONG effectiveLevel) {
        const ParameterTableView table = DeviceParameterTable();
        const ql::ComPtr<IQuelkVariableFields> fields = Query<IQuelkVariableFields>();
        for (size_t i = 0; i < table.count; ++i) {
            const ParameterDefinition& row = table.rows[i];
            SCOPED_TRACE(row.Id);
            ql::Variant access;
            ASSERT_HR(S_OK, fields->GetVariableField(*vtest::MakeUI4(row.Id), *vtest::MakeUI4(kFieldAccess),
                                                     access.Get()));
            ASSERT_HR(S_OK, access.ChangeType(VT_UI4));
            const ULONG word = V_UI4(access.Get());
            const bool expected = (row.Access & kAccessWritable) && row.WriteLevel <= effectiveLevel;
            EXPECT_EQ(expected, (word & kAccessWritable) != 0);
            EXPECT_EQ(row.Access & ~kAccessWritable, word & ~kAccessWritable) << "only bit 0x01 changes";
        }
    }
};

struct ConfigCase {
    const char* name;
    const wchar_t* keyword;
    const wchar_t* administrator;  // null: no attribute
    ULONG level;
    ULONG writeLimit;  // the level the write rights follow
    std::vector<LONG> notifications;
};

TEST_F(UserSettingsTest, ConfigSetsTheLevelAndTheWriteRights) {
    const ConfigCase cases[] = {
        {"maintenance", L"maintenance", nullptr, 4, 4, {4}},
        {"administrator keeps the observer's limits", L"observer", L"1", 0x10000, 1, {1, 0x10000}},
        {"administrator planning engineer", L"planningEngineer", L"1", 0x10000, 8, {8, 0x10000}},
    };
    for (const ConfigCase& c : cases) {
        SCOPED_TRACE(c.name);
        CreateDtm(SourceDataFolder().c_str());
        DriveToInitialised();
        ql::ComPtr<CFakeControl> control = MakeControl(L"open-view", 0, false);
        control->states.clear();

        ql::Bstr information(UserInformation(c.keyword, c.administrator));
        VARIANT_BOOL result = VARIANT_FALSE;
        ASSERT_HR(S_OK, Dtm()->Config(information.Get(), &result));
        EXPECT_EQ(VARIANT_TRUE, result);
        EXPECT_EQ(static_cast<LONG>(c.level), UserLevel());
        EXPECT_EQ(c.notifications, UserLevelNotifications(*control.Get()));
        EXPECT_EQ((std::vector<ULONG>{kStateConfigured, kStateConfigured}), control->states);
        ExpectWriteRights(c.writeLimit);
        ASSERT_HR(S_OK, Unregister(L"open-view"));
    }
}

// A document that names no level the DTM knows, or whose right the schema did not check, must not leave
// the DTM at the level it starts with (the highest).
TEST_F(UserSettingsTest, ConfigRefusesAnUnknownLevelAndAnUncheckedRight) {
    const struct {
        const char* name;
        std::wstring document;
    } cases[] = {
        {"guest", UserInformation(L"guest", nullptr)},
        {"Observer", UserInformation(L"Observer", nullptr)},
        {"observer and a blank", UserInformation(L"observer ", nullptr)},
        {"empty level", UserInformation(L"", nullptr)},
        {"administrator 2", UserInformation(L"observer", L"2")},
        {"outside the namespace",
         L"<?xml version=\"1.0\"?><FDT><FDTUserInformation userLevel=\"observer\" "
         L"administrator=\"2\"/></FDT>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CreateDtm(SourceDataFolder().c_str());
        DriveToInitialised();
        ql::Bstr information(c.document);
        VARIANT_BOOL result = VARIANT_TRUE;
        EXPECT_HR(S_FALSE, Dtm()->Config(information.Get(), &result));
        EXPECT_EQ(VARIANT_FALSE, result);
        EXPECT_EQ(kStateInitialised, State());
        EXPECT_EQ(8, UserLevel());
    }
}

TEST_F(UserSettingsTest, SetLanguageTranslatesBroadcastsAndTellsTheFrame) {
    CreateDtm(SourceDataFolder().c_str());
    DriveToConfigured();
    ql::ComPtr<CFakeControl> control = MakeControl(L"open-view", 0, false);
    control->notifications.clear();
    frame_->ClearCalls();

    VARIANT_BOOL accepted = VARIANT_FALSE;
    ASSERT_HR(S_OK, Dtm()->SetLanguage(1031, &accepted));
    EXPECT_EQ(VARIANT_TRUE, accepted);
    EXPECT_EQ(L"Physikalischer Block - Blockobjekt", ParameterName(15));
    EXPECT_EQ(L"AI-Funktionsblock (Summenz\u00E4hler) - Kanal", ParameterName(95));
    const auto languages = control->NotificationsWith(kNotifyLanguage);
    ASSERT_EQ(1u, languages.size());
    EXPECT_EQ(VT_I4, languages[0].type);
    EXPECT_EQ(1031, languages[0].number);
    ASSERT_EQ(1u, frame_->CountCalls(L"NotifyFunctionsChanged"));
    EXPECT_EQ(Text(systemTag_.Get()), frame_->LastCall(L"NotifyFunctionsChanged")->Arguments[0]);
    ULONG language = 0;
    EXPECT_HR(S_OK, QuelkDtm()->GetLanguage(&language));
    EXPECT_EQ(1031u, language);

    // The same language again changes nothing and tells nobody.
    control->notifications.clear();
    EXPECT_HR(S_OK, Dtm()->SetLanguage(1031, &accepted));
    EXPECT_EQ(VARIANT_TRUE, accepted);
    EXPECT_TRUE(control->notifications.empty());
    EXPECT_EQ(1u, frame_->CountCalls(L"NotifyFunctionsChanged"));

    // And back: the English names return.
    EXPECT_HR(S_OK, Dtm()->SetLanguage(1033, &accepted));
    EXPECT_EQ(L"Physical Block - BlockObject", ParameterName(15));
    EXPECT_HR(S_OK, Unregister(L"open-view"));
}

}  // namespace
}  // namespace svctest
