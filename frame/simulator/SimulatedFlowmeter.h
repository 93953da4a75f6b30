#pragma once
// CSimulatedFlowmeter: the "Varnok Thermal Mass Flowmeter" behind the simulated DP-V1 channel, as a PROFIBUS
// PA slave answers acyclic DP-V1 reads and writes: records addressed by slot and index with their lengths,
// read and write rights and value ranges, seeded from the device parameter table of the dataset (with a few
// values of its own, so that an upload has something to bring in), and live process values that change over
// time: mass flow, temperature and the totalizer, each a float with a PA status byte.
//
// DP-V1 errors as the device gives them (Error_Decode 0x80, Error_Code_1, Error_Code_2 0): invalid slot
// 80B200, invalid index 80B000, write length 80B100, access denied 80B600, invalid range 80B700, and resource
// busy 80C200 while a test keeps the device busy.
//
// A plain C++ object owned by the channel (or a test); one thread at a time.
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "frame/simulator/SimulatorCodec.h"

// Error_Code_1 of the DP-V1 errors the device answers with; 0 means success.
enum class Dpv1DeviceError : BYTE {
    None = 0,
    InvalidIndex = 0xB0,
    WriteLength = 0xB1,
    InvalidSlot = 0xB2,
    AccessDenied = 0xB6,
    InvalidRange = 0xB7,
    Busy = 0xC2,
};
// The three error bytes of a DP-V1 error (Error_Decode 0x80 for DP-V1, Error_Code_2 0).
SimBytes Dpv1ErrorBytes(Dpv1DeviceError error);

struct SimulatedRecord {
    std::wstring name;
    VARTYPE type = VT_EMPTY;  // VT_ARRAY|VT_UI1, VT_BSTR or a number type
    SimBytes bytes;           // the content; its length is the record's length
    bool readable = true;
    bool writable = false;
    std::vector<ULONG> allowedCodes;  // an enumeration's codes; empty when any value goes
    double minimum = 0, maximum = 0;  // a range when minimum < maximum
};

class CSimulatedFlowmeter {
public:
    // The DP-V1 addresses of the live values (value and status, 5 octets each).
    static constexpr std::pair<BYTE, BYTE> kMassFlowTransducer{1, 83};
    static constexpr std::pair<BYTE, BYTE> kMassFlowOut{1, 26};
    static constexpr std::pair<BYTE, BYTE> kTotalizerOut{2, 26};
    static constexpr std::pair<BYTE, BYTE> kTemperatureOut{3, 26};
    // A good value: GOOD_NON_CASCADE, limits ok.
    static constexpr BYTE kStatusGood = 0x80;
    static constexpr BYTE kDefaultStationAddress = 126;

    CSimulatedFlowmeter();

    BYTE StationAddress() const { return stationAddress_; }
    void SetStationAddress(BYTE address) { stationAddress_ = address; }

    // DP-V1 read of a record: its octets in `data`, or the error.
    Dpv1DeviceError Read(BYTE slot, BYTE index, SimBytes* data);
    // DP-V1 write: the record takes `data` when it is writable, of its length and in its range.
    Dpv1DeviceError Write(BYTE slot, BYTE index, const SimBytes& data);

    // The next `requests` reads and writes answer "resource busy".
    void SetBusyFor(int requests) { busyRequests_ = requests; }

    // Process values move with the clock; a test freezes them and moves time itself.
    void SetFrozen(bool frozen) { frozen_ = frozen; }
    void AdvanceTime(DWORD milliseconds);
    double MassFlow() const { return massFlow_; }        // kg/h
    double Temperature() const { return temperature_; }  // degrees Celsius
    double Totalizer() const { return totalizer_; }      // kg

    SimulatedRecord* FindRecord(BYTE slot, BYTE index);
    const std::map<std::pair<BYTE, BYTE>, SimulatedRecord>& Records() const { return records_; }
    int ReadCount() const { return reads_; }
    int WriteCount() const { return writes_; }

private:
    void SeedFromParameterTable();
    void AddLiveRecords();
    void ApplyDeviceValues();
    void CatchUpWithClock();
    void UpdateLiveRecords();
    bool HasSlot(BYTE slot) const;

    std::map<std::pair<BYTE, BYTE>, SimulatedRecord> records_;
    BYTE stationAddress_ = kDefaultStationAddress;
    int busyRequests_ = 0;
    int reads_ = 0;
    int writes_ = 0;
    bool frozen_ = false;
    ULONGLONG lastTick_ = 0;
    double elapsedSeconds_ = 0;
    double massFlow_ = 0;
    double temperature_ = 0;
    double totalizer_ = 0;
};
