#include "dataset/ParameterTable.h"

#include <memory>
#include <new>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/CriticalSection.h"
#include "classlib/HResult.h"
#include "dataset/QuelkVariableStore.h"

namespace {

// What defining the table does, in order: a message for the sink, or a record for the list. Every DTM
// object builds the same records from the same table, converting each definition value again; the
// definitions are therefore run once per process and each dataset gets copies of their records (the
// messages they reported are reported again, at the same points).
struct DefinitionStep {
    int record = -1;  // index into the defined list; -1 for a message
    ql::Bstr message;
};

class CRecordingSink final : public CQuelkMessageSink {
public:
    explicit CRecordingSink(std::vector<DefinitionStep>& steps) noexcept : steps_(steps) {}
    void DeliverMessage(BSTR text) noexcept override {
        DefinitionStep step;
        HRESULT hr = step.message.AssignCopy(text);
        if (SUCCEEDED(hr))
            hr = ql::GuardComCall([&]() -> HRESULT {
                steps_.push_back(std::move(step));
                return S_OK;
            });
        if (FAILED(hr) && SUCCEEDED(result_)) result_ = hr;
    }
    // The first message that could not be recorded: the copy would lack it.
    HRESULT Result() const noexcept { return result_; }

private:
    std::vector<DefinitionStep>& steps_;
    HRESULT result_ = S_OK;
};

class CDefinedTable {
public:
    CDefinedTable() noexcept = default;
    CDefinedTable(const CDefinedTable&) = delete;
    CDefinedTable& operator=(const CDefinedTable&) = delete;

    // Runs every definition of the table; a failure leaves the table unusable.
    HRESULT Build() noexcept {
        CRecordingSink sink(steps_);
        const ParameterTableView table = DeviceParameterTable();
        for (size_t i = 0; i < table.count; ++i) {
            const ULONG before = records_.Count();
            QL_RETURN_IF_FAILED(DefineOne(table.rows[i], &records_, &sink));
            QL_RETURN_IF_FAILED(sink.Result());
            // A second definition of an id adds nothing.
            if (records_.Count() > before) {
                QL_RETURN_IF_FAILED(ql::GuardComCall([&]() -> HRESULT {
                    steps_.push_back({static_cast<int>(before), ql::Bstr()});
                    return S_OK;
                }));
            }
        }
        for (const DefinitionStep& step : steps_) hasMessages_ = hasMessages_ || step.record < 0;
        return S_OK;
    }

    HRESULT CopyInto(CQuelkVariableList* list, CQuelkMessageSink* sink) const noexcept {
        // A new dataset without messages to repeat (the usual case) takes the records whole.
        if (list && list->IsEmpty() && !hasMessages_) return list->CopyAll(records_);
        for (const DefinitionStep& step : steps_) {
            if (step.record >= 0) {
                const CQuelkVariable* record = records_.At(step.record);
                if (list && record) QL_RETURN_IF_FAILED(list->Add(*record));
            } else if (sink) {
                sink->DeliverMessage(step.message.Get());
            }
        }
        return S_OK;
    }

    static HRESULT DefineOne(const ParameterDefinition& definition, CQuelkVariableList* list,
                             CQuelkMessageSink* sink) noexcept {
        switch (definition.Kind) {
            case ParameterKind::Text:
                return CQuelkVariableStore::AddStringParameter(list, definition, sink);
            case ParameterKind::Numeric:
                return CQuelkVariableStore::AddNumericParameter(list, definition, sink);
            case ParameterKind::Enumeration:
                return CQuelkVariableStore::AddEnumParameter(list, definition, sink);
        }
        return E_UNEXPECTED;
    }

private:
    CQuelkVariableList records_;
    std::vector<DefinitionStep> steps_;
    bool hasMessages_ = false;
};

// The table defined once per process, by whichever thread comes first. Only a complete table is kept: a
// build that runs out of memory fails the dataset that asked for it, and the next one builds again.
HRESULT SharedDefinedTable(const CDefinedTable** out) noexcept {
    static ql::CriticalSection lock;
    static std::unique_ptr<const CDefinedTable> shared;
    const ql::CriticalSectionHold hold(lock);
    if (!shared) {
        std::unique_ptr<CDefinedTable> built(new (std::nothrow) CDefinedTable());
        QL_RETURN_HR_IF(E_OUTOFMEMORY, !built);
        QL_RETURN_IF_FAILED(built->Build());
        shared = std::move(built);
    }
    *out = shared.get();
    return S_OK;
}

}  // namespace

HRESULT DefineDeviceParameters(CQuelkVariableList* list, ULONG* count, CQuelkMessageSink* sink) noexcept {
    if (count) *count = 0;
    const CDefinedTable* table = nullptr;
    QL_RETURN_IF_FAILED(SharedDefinedTable(&table));
    QL_RETURN_IF_FAILED(table->CopyInto(list, sink));
    if (count) *count = list ? list->Count() : 0;
    return S_OK;
}
