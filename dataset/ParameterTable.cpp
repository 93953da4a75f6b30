#include "dataset/ParameterTable.h"

#include <new>
#include <vector>

#include "classlib/Bstr.h"
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
        if (FAILED(step.message.AssignCopy(text))) failed = true;
        try {
            steps_.push_back(std::move(step));
        } catch (const std::bad_alloc&) {
            failed = true;
        }
    }
    bool failed = false;

private:
    std::vector<DefinitionStep>& steps_;
};

class CDefinedTable {
public:
    CDefinedTable() noexcept {
        try {
            CRecordingSink sink(steps_);
            bool lost = false;
            const ParameterTableView table = DeviceParameterTable();
            for (size_t i = 0; i < table.count; ++i) {
                const ULONG before = records_.Count();
                DefineOne(table.rows[i], &records_, &sink);
                // A second definition of an id adds nothing; a first one that did not make it (no memory)
                // leaves the copy incomplete.
                if (records_.Count() > before) {
                    steps_.push_back({static_cast<int>(before), ql::Bstr()});
                } else if (records_.FindById(table.rows[i].Id) < 0) {
                    lost = true;
                }
            }
            complete_ = !sink.failed && !lost;
            for (const DefinitionStep& step : steps_) hasMessages_ = hasMessages_ || step.record < 0;
        } catch (const std::bad_alloc&) {
            complete_ = false;
        }
    }

    bool Complete() const noexcept { return complete_; }

    void CopyInto(CQuelkVariableList* list, CQuelkMessageSink* sink) const noexcept {
        // A new dataset without messages to repeat (the usual case) takes the records whole.
        if (list && list->IsEmpty() && !hasMessages_ && SUCCEEDED(list->CopyAll(records_))) return;
        for (const DefinitionStep& step : steps_) {
            if (step.record >= 0) {
                const CQuelkVariable* record = records_.At(step.record);
                if (list && record) (void)list->Add(*record);
            } else if (sink) {
                sink->DeliverMessage(step.message.Get());
            }
        }
    }

    static void DefineOne(const ParameterDefinition& definition, CQuelkVariableList* list,
                          CQuelkMessageSink* sink) noexcept {
        switch (definition.Kind) {
            case ParameterKind::Text:
                CQuelkVariableStore::AddStringParameter(list, definition, sink);
                break;
            case ParameterKind::Numeric:
                CQuelkVariableStore::AddNumericParameter(list, definition, sink);
                break;
            case ParameterKind::Enumeration:
                CQuelkVariableStore::AddEnumParameter(list, definition, sink);
                break;
        }
    }

private:
    CQuelkVariableList records_;
    std::vector<DefinitionStep> steps_;
    bool complete_ = false;
    bool hasMessages_ = false;
};

}  // namespace

HRESULT DefineDeviceParameters(CQuelkVariableList* list, ULONG* count, CQuelkMessageSink* sink) noexcept {
    // Made on first use by whichever thread comes first (the language runtime makes the others wait), then
    // only read.
    static const CDefinedTable defined;
    if (defined.Complete()) {
        defined.CopyInto(list, sink);
    } else {
        // Without memory for the shared copy every definition runs for this list, as it always did.
        const ParameterTableView table = DeviceParameterTable();
        for (size_t i = 0; i < table.count; ++i) CDefinedTable::DefineOne(table.rows[i], list, sink);
    }
    if (count) *count = list ? list->Count() : 0;
    return S_OK;
}
