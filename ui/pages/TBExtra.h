#pragma once
// CTBExtra: the page of the maker's extension of the transducer block: the maker's flow unit, the lower and
// upper sensor limits and the input range, each labelled with the unit that applies (the maker's or the
// profile's). Enter in a field writes that field at once; a new maker unit of the other measuring system
// converts the pipe dimensions between mm and inch as the mass flow page does. It reads nothing cyclically.
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "VarnokP3.h"
#include "classlib/Variant.h"
#include "ui/pages/EditableBlockPage.h"

class CTBExtra final : public ql::ComObjectBase<CTBExtra>, public CEditableBlockPage {
    QL_INTERFACE_TABLE(CTBExtra, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CEditableBlockPage))

public:
    QL_BEGIN_MSG_MAP(CTBExtra)
    QL_CHAIN_MSG_MAP(CEditableBlockPage)
    QL_END_MSG_MAP()

    CTBExtra() noexcept;
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }

    HRESULT ShowValueById(ULONG id, VARIANT value) noexcept override;
    HRESULT ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept override;

protected:
    // The field's commit, then the pipe dimensions after a committed maker unit.
    void CommitControl(HWND control) noexcept override;

private:
    void ShowUnitLabels(bool makerUnit) noexcept;
    // The device's value in the comparing frame mode, the dataset's otherwise; a read that failed (or an
    // empty value) is a failure.
    HRESULT CurrentValue(ULONG id, ql::Variant& value) noexcept;
    // Converts the pipe dimensions when the maker unit changed measuring system against the size unit
    // (null when it could not be read before the commit).
    void CoupleMakerUnit(const ql::Variant* sizeUnitBefore) noexcept;
};
