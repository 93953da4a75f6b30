// framehost.exe: our FDT frame on the command line.
//   framehost.exe demo    creates and configures a VarnokP3 DTM, takes it online to the simulated flowmeter,
//                         uploads, shows the key values, writes the tag, downloads, saves, goes offline,
//                         releases and reloads it, step by step
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "classlib/Utf8.h"
#include "classlib/ComApartment.h"
#include "frame/FrameDemo.h"
#include "frame/FrameDocuments.h"

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
    ql::WriteUtf8(stderr, L"usage: framehost.exe demo\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "demo") != 0) return Usage();
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
    CFrameDemo demo(stdout, settings);
    return demo.Run();
}
