// A DTM created through its class factory while memory runs out: each allocation of one creation fails in
// turn. Every creation either fails with a failure code, leaving nothing behind, or succeeds with the whole
// dataset and all its user-interface functions; none crashes. The parameter table's definition, which the
// process's first creation runs, is failed the same way first.
#include <algorithm>
#include <string>
#include <vector>

#include "FailingAllocations.h"
#include "classlib/ClassFactory.h"
#include "classlib/ComModule.h"
#include "classlib/ComPtr.h"
#include "classlib/Utf8.h"
#include "dataset/ParameterTable.h"
#include "dtm/DtmObject.h"
#include "dtm/DtmObjectFactory.h"
#include "tests/support/ComTest.h"
#include "tests/support/TestVariants.h"

namespace dtmtest {
namespace {

using vtest::Describe;

// Every field of a record that the table defines, as text. Of the name only whether there is one: the
// translations give the names and descriptions, and a DTM whose translations cannot be loaded keeps the
// built-in texts by design.
std::string RecordText(const CQuelkVariable& record) {
    auto text = [](const ql::SharedBstr& field) {
        return field.IsNull() ? std::string("null") : ql::Utf8FromWide(field.CStr());
    };
    return std::to_string(record.Id()) + (record.Name.IsEmpty() ? " unnamed" : " named") + " '" +
           text(record.ExportGroup) + "' type " + std::to_string(record.DataType) + " access " +
           std::to_string(record.Access) + " address " + Describe(*record.Address) + " value " +
           Describe(*record.Value) + " min " + Describe(*record.MinValue) + " max " +
           Describe(*record.MaxValue) + " default " + Describe(*record.DefaultValue) + " entries " +
           Describe(*record.EnumerationEntries) + " display " + Describe(*record.DisplayAttribute) +
           " rule " + Describe(*record.UpdateRule);
}

// What tells `created` from `whole`: the first records that differ, each as "whole -> created".
std::string Differences(const std::vector<std::string>& whole, const std::vector<std::string>& created) {
    std::string differences;
    if (whole.size() != created.size()) {
        differences = std::to_string(created.size()) + " records of " + std::to_string(whole.size()) + "\n";
    }
    int shown = 0;
    for (size_t i = 0; i < whole.size() && shown < 3; ++i) {
        const std::string mine = i < created.size() ? created[i] : std::string("(missing)");
        if (mine == whole[i]) continue;
        differences += whole[i] + "\n  -> " + mine + "\n";
        ++shown;
    }
    return differences;
}

struct Attempt {
    HRESULT hr = E_UNEXPECTED;
    size_t allocations = 0;
    std::vector<std::string> dataset;  // of a created DTM
    size_t functions = 0;              // its user-interface functions
};

class CreationMemoryTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_HR(S_OK, ql::ClassFactory::Create(&CreateDtmObject, IID_IClassFactory, factory_.PutVoid()));
        locksBefore_ = ql::ComModule::Instance().LockCount();
    }

    // One creation whose `failAt`-th allocation fails (0: none).
    Attempt Create(size_t failAt) {
        Attempt attempt;
        ql::ComPtr<IUnknown> object;
        FailingAllocations::Arm(failAt);
        attempt.hr = factory_->CreateInstance(nullptr, IID_IUnknown, object.PutVoid());
        attempt.allocations = FailingAllocations::Disarm();
        if (FAILED(attempt.hr)) {
            EXPECT_FALSE(object) << "a failed creation handed out an object";
            EXPECT_EQ(locksBefore_, ql::ComModule::Instance().LockCount())
                << "a failed creation left an object";
            return attempt;
        }
        EXPECT_HR(S_OK, attempt.hr);
        ql::ComPtr<CDtmObject> dtm;
        EXPECT_HR(S_OK, ql::ObjectFromUnknown(object.Get(), dtm));
        if (!dtm) return attempt;
        const CQuelkVariableList& list = dtm->Store().Variables();
        for (ULONG i = 0; i < list.Count(); ++i) {
            attempt.dataset.push_back(RecordText(*list.At(static_cast<int>(i))));
        }
        attempt.functions =
            dtm->Functions().FunctionTable().HasTable() ? dtm->Functions().FunctionTable().Rows().size() : 0;
        ULONG state = 0;
        EXPECT_HR(S_OK, dtm->GetState(&state));
        EXPECT_EQ(1u, state);
        return attempt;
    }

    ql::ComPtr<IClassFactory> factory_;
    LONG locksBefore_ = 0;
};

// The process's first dataset also defines the table every later one copies: while memory runs out the
// definition fails as a whole, with E_OUTOFMEMORY, and the next one defines it again. Runs first, before any
// DTM of the program has defined the table.
TEST(ParameterTableMemoryTest, DefiningTheTableFailsAsAWholeUntilItHasTheMemory) {
    const ParameterTableView table = DeviceParameterTable();
    size_t largest = 0;  // the allocations of the definitions that failed
    for (size_t n = 1;; ++n) {
        CQuelkVariableList list;
        ULONG count = 0xFFFF;
        FailingAllocations::Arm(n);
        const HRESULT hr = DefineDeviceParameters(&list, &count, nullptr);
        const size_t allocations = FailingAllocations::Disarm();
        SCOPED_TRACE(testing::Message() << "allocation " << n << " of " << allocations);
        if (allocations < n) {
            ASSERT_HR(S_OK, hr);
            EXPECT_EQ(table.count, count);
            EXPECT_EQ(table.count, list.Count());
            // The last failure came after the table was defined: this is a copy, which allocates less.
            EXPECT_LT(allocations, largest) << "the table was defined before this test";
            return;
        }
        ASSERT_HR(E_OUTOFMEMORY, hr);
        EXPECT_EQ(0u, count);
        largest = std::max(largest, allocations);
    }
}

TEST_F(CreationMemoryTest, ACreationEitherFailsOrHasTheWholeDataset) {
    const ParameterTableView table = DeviceParameterTable();
    ASSERT_EQ(121u, table.count);
    const Attempt whole = Create(0);
    ASSERT_HR(S_OK, whole.hr);
    ASSERT_EQ(table.count, whole.dataset.size());
    ASSERT_GT(whole.functions, 0u);

    int outOfMemory = 0;
    for (size_t n = 1; n <= whole.allocations; ++n) {
        const Attempt attempt = Create(n);
        SCOPED_TRACE(testing::Message() << "allocation " << n << " of " << attempt.allocations);
        if (attempt.hr == E_OUTOFMEMORY) ++outOfMemory;
        if (SUCCEEDED(attempt.hr)) {
            EXPECT_EQ("", Differences(whole.dataset, attempt.dataset));
            EXPECT_EQ(whole.functions, attempt.functions) << "the DTM lacks user-interface functions";
        }
        if (HasFailure()) break;
    }
    // The dataset cannot do without its allocations (the translations and the shared caches can).
    EXPECT_GT(outOfMemory, 0) << "no allocation failure reached the caller";
}

}  // namespace
}  // namespace dtmtest
