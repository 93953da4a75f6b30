#pragma once
// Registration of one in-process class under HKEY_CLASSES_ROOT\CLSID.
//
// In the project's Wine prefix the class ids already belong to Wine's msxml3.dll. Registering takes the
// InprocServer32 entry over and keeps the server it replaced beside it, so that unregistering gives the class
// back to that server instead of leaving it with none. Only what this module wrote is removed: an entry that
// names another server by then is left alone.
#include <windows.h>

namespace msxml_standin {

HRESULT UpdateInprocServerRegistration(const CLSID& clsid, const wchar_t* description,
                                       bool doRegister) noexcept;

}  // namespace msxml_standin
