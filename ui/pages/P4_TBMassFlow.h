#pragma once
// CP4_TBMassFlow: the mass flow page of the transducer block: mode, block object, tag, the measured mass
// flow with its status, the flow limits and unit, the pipe or duct dimensions with their unit, low-flow
// cut-off, calibration factor and zero point. A circular pipe is edited by its diameter, a rectangular duct
// by width and length; the page keeps the other form in step (equal cross-section), and a change of the
// flow unit between metric and imperial converts the sizes between mm and inch. While it is shown and the
// DTM is online it reads the mass flow, the static revision and the mode every two seconds.
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include <string>

#include "VarnokP3.h"
#include "classlib/GdiObject.h"
#include "classlib/Variant.h"
#include "ui/pages/EditableBlockPage.h"

class CP4_TBMassFlow final : public ql::ComObjectBase<CP4_TBMassFlow>, public CEditableBlockPage {
    QL_INTERFACE_TABLE(CP4_TBMassFlow, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CEditableBlockPage))

public:
    QL_BEGIN_MSG_MAP(CP4_TBMassFlow)
    QL_CHAIN_MSG_MAP(CEditableBlockPage)
    QL_END_MSG_MAP()

    CP4_TBMassFlow() noexcept;
    HRESULT FinalConstruct() noexcept;

    HRESULT ShowValueById(ULONG id, VARIANT value) noexcept override;
    HRESULT ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept override;
    HRESULT CommitParameter(ULONG id) noexcept override;
    HRESULT LoadParameter(ULONG id) noexcept override;
    // The dimension rows keep the enabling the tube shape gives them, whatever their writable bits say.
    HRESULT SetRowState(UINT row, ULONG flags) noexcept override;
    LRESULT OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept override;
    // Width and length of the equal-area square duct from the diameter, and the diameter back from them.
    void UpdateDuctFromDiameter() noexcept;
    void UpdateDiameterFromDuct() noexcept;

protected:
    // The field's commit, then the dimension and unit follow-ups.
    void CommitControl(HWND control) noexcept override;

private:
    // The unit labels and the static revision's copy are short: at most nine characters of the source
    // arrive.
    static constexpr int kLabelLimit = 9;

    void ShowFlowUnit(const VARIANT& value) noexcept;
    // Diameter editable for a pipe (shape 0), width and length for a duct.
    void ApplyTubeShape(BYTE shape) noexcept;
    // The dataset's shape; a pipe (0) for display when it cannot be read.
    BYTE StoredTubeShape() noexcept;
    HRESULT StoredTubeShape(BYTE& shape) noexcept;
    void AfterShapeCommit() noexcept;
    // `previousSizeUnit` is null when the size unit could not be read before the commit.
    void AfterFlowUnitCommit(const USHORT* previousSizeUnit) noexcept;
    // The device's value with the online parameterization, else the dataset's, in `type`. A read that
    // failed (or an empty value) is a failure, never a number: the follow-ups then store nothing.
    HRESULT CurrentValue(ULONG id, VARTYPE type, ql::Variant& value) noexcept;
    HRESULT CurrentFloat(ULONG id, float& number) noexcept;
    HRESULT CurrentUnit(ULONG id, USHORT& unit) noexcept;
    HRESULT StoredFloat(ULONG id, float& number) noexcept;
    void StoreValue(ULONG id, const VARIANT& value) noexcept;
    void WriteDiameter(const VARIANT& diameter) noexcept;
    // Whether the sizes that follow from the diameter or flow unit in the field of `id` fit their ranges (the
    // user is told when not), against the size unit from before the commit (null when it could not be read).
    bool SizesFollowInRange(ULONG id, const USHORT* sizeUnit) noexcept;
    struct ConvertedSizes {
        ql::Variant diameter, width, length;
    };
    // The current diameter, width and length in `targetUnit`; a failure when one cannot be read.
    HRESULT ConvertSizes(USHORT targetUnit, ConvertedSizes& sizes) noexcept;
    bool SizesFit(const ConvertedSizes& sizes) noexcept;
    void SetRowsState(ULONG id, bool writable) noexcept;

    // The pictures of the pipe and duct dimension groups, kept for the statics that show them.
    ql::Bitmap pipePicture_, ductPicture_;
    // Set while an Enter commit runs: the page's own dimension and unit ids then use the base commit, and
    // the dataset-only ids are not read back from the device.
    bool enterCommit_ = false;
};
