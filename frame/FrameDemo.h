#pragma once
// CFrameDemo: what `framehost.exe demo` shows. The frame creates the registered DTM by its ProgID, starts
// a new dataset, hands over its environment, the device type and the configuration, saves the project to
// a file and releases the DTM; then it creates a second DTM and loads the saved project into it. Each step
// is printed with the DTM's answer and its lifecycle state in plain words; the frame's side of the
// conversation (what the DTM calls) is printed as it happens.
#include <cstdio>
#include <string>

struct FrameDemoSettings {
    std::wstring ProgId = L"VarnokP3.DtmObject";
    std::wstring ModulePath;    // registered when the ProgID is not known yet
    std::wstring ProjectPath;   // the project file the demo writes
    std::wstring SchemaFolder;  // what the frame names as its schema folder
    std::wstring SystemTag = L"Demo/Varnok Flowmeter 1";
};

class CFrameDemo {
public:
    CFrameDemo(std::FILE* out, FrameDemoSettings settings) : out_(out), settings_(std::move(settings)) {}

    // 0 when every step went as a frame expects, 1 otherwise.
    int Run();

private:
    void Print(const wchar_t* format, ...);

    std::FILE* out_;
    FrameDemoSettings settings_;
};
