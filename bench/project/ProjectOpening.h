#pragma once
// The frame's side of opening a plant project: every device's DTM created through COM, its stored image
// loaded, the environment handed over and the user's configuration given, with the time of each step and,
// just before each device, the platform's floor: a bare CoCreateInstance (and release) of a trivial
// in-process object; and closing it again (PrepareToRelease, then the frame's last references).
#include <windows.h>

#include <string>
#include <vector>

#include "FdtInterfaces.h"
#include "bench/BenchTiming.h"
#include "classlib/ComPtr.h"
#include "frame/FrameHost.h"

struct OpeningTimes {
    double create = 0;
    double load = 0;
    double environment = 0;
    double config = 0;
    std::vector<double> devices;  // each device's whole time
    std::vector<double> floors;   // the bare creation timed just before each device
    double Total() const noexcept { return create + load + environment + config; }
};

class CProjectOpening {
public:
    // `floorClass` is the trivial object whose bare creation is the floor.
    CProjectOpening(const CLSID& dtmClass, const CLSID& floorClass, CFrameHost& frame) noexcept
        : dtmClass_(dtmClass), floorClass_(floorClass), frame_(frame) {}

    // The image a configured DTM of the project saves (IPersistStreamInit::Save).
    HRESULT MakeStoredImage() noexcept;
    // Opens `count` more devices from the stored image; `times` receives each step's seconds summed over
    // them, and each device's time with its floor (none without `withFloors`: the bare creations leave
    // memory of the platform's behind, which a measure of the DTMs' memory must not count).
    HRESULT Open(size_t count, OpeningTimes& times, bool withFloors = true) noexcept;
    // PrepareToRelease and release of every open device; the seconds it took.
    HRESULT Close(double& seconds) noexcept;
    size_t OpenCount() const noexcept { return devices_.size(); }

private:
    struct Device {
        ql::ComPtr<IUnknown> object;
        ql::ComPtr<IDtm> dtm;
    };
    HRESULT OpenOne(const std::wstring& tag, OpeningTimes& times, bool withFloor) noexcept;
    // The seconds of one bare CoCreateInstance and release of the floor's class.
    HRESULT TimeBareCreation(double& seconds) noexcept;

    CLSID dtmClass_;
    CLSID floorClass_;
    CFrameHost& frame_;
    std::vector<BYTE> image_;
    std::vector<Device> devices_;
};
