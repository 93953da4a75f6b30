// framehost.exe: our FDT frame on the command line.
//   framehost.exe demo    creates and configures a VarnokP3 DTM, takes it online to the simulated flowmeter,
//                         uploads, shows the key values, writes the tag, downloads, saves, goes offline,
//                         releases and reloads it, step by step
//   framehost.exe ui <function id> [script]
//                         sets up a new DTM and opens the user interface of its function (1 is the offline
//                         parameterization) in a window until it is closed, or drives it by the script
//   framehost.exe open <ProgID|{class id}> [script]
//                         sets up a new DTM online with the simulated flowmeter and opens that control with
//                         it in a window of its own, as frames open controls that are no DTM function;
//                         without a script it runs until the window is closed, with one it drives the
//                         control by the script's commands (frame/UiScript.h) and closes it
//   framehost.exe page <ProgID|{class id}> [script]
//                         the same for a property page: the DTM online and uploaded, the page hosted alone
//                         as the parameterization window hosts it, working on the device
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "classlib/Utf8.h"
#include "classlib/ComApartment.h"
#include "frame/FrameDemo.h"
#include "frame/FrameDocuments.h"
#include "frame/FunctionUi.h"
#include "frame/UiScript.h"

namespace {

// The folder of this program, ending in a backslash.
std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

int Usage() {
    ql::WriteUtf8(stderr,
                  L"usage: framehost.exe demo\n       framehost.exe ui <function id> [script]\n"
                  L"       framehost.exe open <ProgID|{class id}> [script]\n"
                  L"       framehost.exe page <ProgID|{class id}> [script]\n");
    return 2;
}

std::wstring Wide(const char* text) {
    std::wstring wide;
    for (; *text; ++text) wide.push_back(static_cast<unsigned char>(*text));
    return wide;
}

// The script file's text (ASCII commands), "" when it cannot be read.
std::wstring ReadScript(const char* path) {
    std::wstring text;
    if (std::FILE* file = std::fopen(path, "rb")) {
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
            text.push_back(static_cast<wchar_t>(c));
        std::fclose(file);
    }
    return text;
}

// The frame's own steps go to stderr: stdout holds only what the script prints.
int OpenUserInterface(const FrameDemoSettings& settings, const char* control, const char* scriptPath,
                      bool page) {
    CFrameDemo frame(stderr, settings);
    const std::wstring script = scriptPath ? ReadScript(scriptPath) : std::wstring();
    const std::wstring* steps = scriptPath ? &script : nullptr;
    return page ? frame.RunPage(Wide(control), steps, stdout)
                : frame.RunControl(Wide(control), steps, stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const bool runDemo = argc == 2 && std::strcmp(argv[1], "demo") == 0;
    const bool open = (argc == 3 || argc == 4) && std::strcmp(argv[1], "open") == 0;
    const bool page = (argc == 3 || argc == 4) && std::strcmp(argv[1], "page") == 0;
    const bool ui = (argc == 3 || argc == 4) && std::strcmp(argv[1], "ui") == 0;
    if (!runDemo && !open && !page && !ui) return Usage();
    ql::ComApartment apartment;
    if (FAILED(apartment.Status())) {
        ql::PrintUtf8(stderr, L"framehost: COM could not be initialised (0x%08lX)\n",
                      static_cast<unsigned long>(apartment.Status()));
        return 1;
    }
    FrameDemoSettings settings;
    const std::wstring folder = ProgramFolder();
    // The build tree keeps the module beside the frame host's folder.
    settings.ModulePath = folder + L"..\\module\\VarnokP3.dll";
    settings.ProjectPath = folder + L"demo-project.varnok";
    settings.SchemaFolder = SourceTreeSchemaFolder();
    if (open || page) return OpenUserInterface(settings, argv[2], argc == 4 ? argv[3] : nullptr, page);
    if (ui && argc == 4) {
        // The frame's own steps go to stderr: stdout holds only what the script prints.
        CFrameDemo frame(stderr, settings);
        const std::wstring script = ReadScript(argv[3]);
        return frame.RunFunctionUi(std::atol(argv[2]), &script, stdout);
    }
    CFrameDemo demo(stdout, settings);
    return ui ? demo.RunFunctionUi(std::atol(argv[2])) : demo.Run();
}
