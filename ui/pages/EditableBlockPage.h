#pragma once
// CEditableBlockPage: the layer of the block pages whose fields a person edits and commits one at a time:
// - Enter in a field commits it at once as one action on the device (CQuelkOnlinePage::DeviceAction): the
//   page's CommitControl, by default the field's commit with its message (BlockPageCommit.h); then the key
//   goes on to the dialog, which presses a default button;
// - leaving a field a person edited brings it back in line with the DTM (OnParameterEdited), after the
//   base has taken the notification.
//
// Threading: the frame's user-interface thread (a commit dispatches messages while it waits for the device).
#include <windows.h>

#include "controls/base/QuelkPageKeyboard.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/BlockPage.h"

class CEditableBlockPage : public CBlockPage<CQuelkOnlinePage>, private CQuelkPageKeyboard::EnterHandler {
    QL_INTERFACE_PART_TABLE(CEditableBlockPage, QL_ENTRY_CHAIN(CBlockPage<CQuelkOnlinePage>))

public:
    LRESULT OnControlCommit(UINT code, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept override;
    // The Enter-key commit of the page's child `control`; always S_OK.
    HRESULT ApplyControl(HWND control) noexcept;

protected:
    CEditableBlockPage(UINT dialogId, UINT titleId, const CLSID& classId, const ParameterMap& map,
                       const BlockPageDesign& design) noexcept
        : CBlockPage(dialogId, titleId, classId, map, design) {}

    // What Enter in `control` commits and what the page derives from the committed value; runs inside the
    // action.
    virtual void CommitControl(HWND control) noexcept;
    CQuelkPageKeyboard::EnterHandler* EnterKeyHandler() noexcept override { return this; }

private:
    BOOL OnEnter(HWND page, HWND focusedChild, const MSG& message) noexcept override;
};
