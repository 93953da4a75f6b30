#pragma once
// The module's application object: starts the COM module when the library is loaded and ends it when the
// library goes. One instance, `theApp`, driven by DllMain.
#include <windows.h>

class CModuleApp {
public:
    // Joins the self-registered class entries into the object map and starts the COM module with the type
    // library's id. Runs from DllMain: no COM calls, no loading of other libraries.
    BOOL InitInstance(HINSTANCE instance) noexcept;
    // Releases the class objects, the type library and the module's termination callbacks.
    int ExitInstance() noexcept;
};

extern CModuleApp theApp;
