// A DTM created through its class factory while memory runs out: each allocation of one creation fails in
// turn. Every creation either fails with a failure code, leaving nothing behind, or succeeds with the whole
// dataset; none crashes.
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
    size_t failedAt = 0;               // the allocation that failed
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
        for (ULONG i = 0; i < list.Count(); ++i)
            attempt.dataset.push_back(RecordText(*list.At(static_cast<int>(i))));
        ULONG state = 0;
        EXPECT_HR(S_OK, dtm->GetState(&state));
        EXPECT_EQ(1u, state);
        return attempt;
    }

    // Fails allocation n = 1, 2, ... of one creation each; the run ends at the first creation that made
    // fewer allocations than n, or after `last` when it is given. Answers the whole datasets created.
    void FailEachAllocation(size_t last, std::vector<Attempt>& created, int* failures) {
        for (size_t n = 1; last == 0 || n <= last; ++n) {
            const Attempt attempt = Create(n);
            SCOPED_TRACE(testing::Message() << "allocation " << n << " of " << attempt.allocations);
            if (FAILED(attempt.hr)) {
                ++*failures;
            } else if (attempt.allocations >= n) {
                created.push_back(attempt);
                created.back().failedAt = n;
            }
            if (HasFailure() || (last == 0 && attempt.allocations < n)) return;
        }
    }

    ql::ComPtr<IClassFactory> factory_;
    LONG locksBefore_ = 0;
};

TEST_F(CreationMemoryTest, ACreationEitherFailsOrHasTheWholeDataset) {
    const ParameterTableView table = DeviceParameterTable();
    ASSERT_EQ(121u, table.count);
    std::vector<Attempt> created;  // creations that succeeded although an allocation failed
    int failures = 0;

    // The process's first creation also defines the table that every later one copies: it fails until one
    // run gets through without running out of memory.
    FailEachAllocation(0, created, &failures);
    ASSERT_FALSE(HasFailure());
    const Attempt whole = Create(0);
    ASSERT_HR(S_OK, whole.hr);
    ASSERT_EQ(table.count, whole.dataset.size());
    // The copies of the defined table.
    FailEachAllocation(whole.allocations, created, &failures);

    EXPECT_GT(failures, 0) << "no allocation failure reached the caller";
    for (const Attempt& attempt : created) {
        EXPECT_EQ("", Differences(whole.dataset, attempt.dataset))
            << "created although allocation " << attempt.failedAt << " failed";
    }
}

}  // namespace
}  // namespace dtmtest
