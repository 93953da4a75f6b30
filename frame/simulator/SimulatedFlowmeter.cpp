#include "frame/simulator/SimulatedFlowmeter.h"

#include <oleauto.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dataset/ParameterTable.h"

namespace {

constexpr BYTE kDpv1ErrorDecode = 0x80;
// The slots of the device: physical block 0, transducer and flow AI 1, totalizer 2, temperature AI 3.
constexpr BYTE kSlotCount = 4;
constexpr double kPi = 3.14159265358979323846;

// Records the parameter table defines without a value: their length as the PA profile gives it.
struct EmptyRecordLength {
    std::pair<BYTE, BYTE> address;
    size_t length;
};
constexpr EmptyRecordLength kEmptyRecordLengths[] = {
    {{0, 23}, 8},                                            // alarm summaries
    {{1, 69}, 8}, {{1, 23}, 8}, {{2, 23}, 8}, {{1, 83}, 5},  // values with status
    {{1, 26}, 5}, {{1, 27}, 8},                              // PV scale: two floats
};

// The PV scale of the flow AI block: 100 % at 100.0, 0 % at 0.0.
constexpr std::pair<BYTE, BYTE> kFlowPvScale{1, 27};
// The unit of the transducer's mass flow: kg/h (PA unit code 1324), the unit the live flow is kept in.
constexpr std::pair<BYTE, BYTE> kMassFlowUnit{1, 84};
constexpr double kUnitKilogramPerHour = 1324;
// The totalizer command (SET_TOT): 1 resets the total.
constexpr std::pair<BYTE, BYTE> kSetTotalizer{2, 29};
constexpr ULONG kSetTotalizerReset = 1;

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (const char* c = text; c && *c; ++c) wide.push_back(static_cast<unsigned char>(*c));
    return wide;
}

std::vector<ULONG> EnumerationCodes(const char* const* entries) {
    std::vector<ULONG> codes;
    for (const char* const* entry = entries; entry && **entry; ++entry)
        codes.push_back(std::strtoul(*entry, nullptr, 10));
    return codes;
}

SimBytes PaddedText(const char* text, size_t length) {
    SimBytes bytes = BytesFromText(text);
    bytes.resize(length, ' ');
    return bytes;
}

}  // namespace

SimBytes Dpv1ErrorBytes(Dpv1DeviceError error) {
    if (error == Dpv1DeviceError::None) return SimBytes(3, 0);
    return SimBytes{kDpv1ErrorDecode, static_cast<BYTE>(error), 0};
}

CSimulatedFlowmeter::CSimulatedFlowmeter() {
    SeedFromParameterTable();
    AddLiveRecords();
    ApplyDeviceValues();
    lastTick_ = ::GetTickCount64();
    massFlow_ = 120.0;
    temperature_ = 21.5;
    totalizer_ = 1234.5;
    UpdateLiveRecords();
}

void CSimulatedFlowmeter::SeedFromParameterTable() {
    const ParameterTableView table = DeviceParameterTable();
    for (size_t i = 0; i < table.count; ++i) {
        const ParameterDefinition& definition = table.rows[i];
        if (definition.IsDeviceParameter != 1 || definition.Address < 0) continue;
        const std::pair<BYTE, BYTE> address{static_cast<BYTE>(definition.Address >> 16),
                                            static_cast<BYTE>(definition.Address & 0xFF)};
        SimulatedRecord record;
        record.name = Widen(definition.Name);
        record.type = definition.DataType;
        record.readable = (definition.Access & kAccessReadable) != 0;
        record.writable = (definition.Access & kAccessDeviceWritable) != 0;
        switch (definition.Kind) {
            case ParameterKind::Text:
                if (definition.DataType == VT_BSTR) {
                    record.bytes = BytesFromText(definition.ValueText);
                } else if (!BytesFromHex(std::string_view(definition.ValueText), &record.bytes) ||
                           record.bytes.empty()) {
                    for (const EmptyRecordLength& empty : kEmptyRecordLengths) {
                        if (empty.address == address) record.bytes.assign(empty.length, 0);
                    }
                }
                break;
            case ParameterKind::Numeric:
                record.bytes = EncodePaNumber(definition.ValueNumber, definition.DataType);
                record.minimum = definition.MinNumber;
                record.maximum = definition.MaxNumber;
                break;
            case ParameterKind::Enumeration:
                record.bytes = EncodePaNumber(definition.ValueCode, definition.DataType);
                record.allowedCodes = EnumerationCodes(definition.Entries);
                break;
        }
        records_.emplace(address, std::move(record));
    }
}

void CSimulatedFlowmeter::AddLiveRecords() {
    // The temperature AI block is not part of the DTM's dataset; the device has it all the same.
    SimulatedRecord blockObject;
    blockObject.name = L"AI Function Block (Temperature) - BlockObject";
    blockObject.type = VT_ARRAY | VT_UI1;
    (void)BytesFromHex(std::string_view("000101FA00000000000040020300000023003301"), &blockObject.bytes);
    records_.emplace(std::make_pair(BYTE{3}, BYTE{16}), std::move(blockObject));
    SimulatedRecord temperature;
    temperature.name = L"AI Function Block (Temperature) - OUT";
    temperature.type = VT_ARRAY | VT_UI1;
    temperature.bytes.assign(5, 0);
    records_.emplace(kTemperatureOut, std::move(temperature));
}

void CSimulatedFlowmeter::ApplyDeviceValues() {
    // What this particular device holds, so that an upload visibly brings values in.
    if (SimulatedRecord* tag = FindRecord(0, 18)) tag->bytes = PaddedText("FT-101 VARNOK THERMAL MASS", 32);
    if (SimulatedRecord* serial = FindRecord(0, 28)) serial->bytes = BytesFromText("VTM-126-0042");
    if (SimulatedRecord* calibration = FindRecord(1, 70)) calibration->bytes = EncodePaNumber(1.02, VT_R4);
    if (SimulatedRecord* unit = FindRecord(kMassFlowUnit.first, kMassFlowUnit.second)) {
        unit->bytes = EncodePaNumber(kUnitKilogramPerHour, unit->type);
    }
    if (SimulatedRecord* scale = FindRecord(kFlowPvScale.first, kFlowPvScale.second)) {
        scale->bytes = EncodePaNumber(100.0, VT_R4);
        const SimBytes low = EncodePaNumber(0.0, VT_R4);
        scale->bytes.insert(scale->bytes.end(), low.begin(), low.end());
    }
}

SimulatedRecord* CSimulatedFlowmeter::FindRecord(BYTE slot, BYTE index) {
    const auto found = records_.find({slot, index});
    return found == records_.end() ? nullptr : &found->second;
}

bool CSimulatedFlowmeter::HasSlot(BYTE slot) const { return slot < kSlotCount; }

void CSimulatedFlowmeter::AdvanceTime(DWORD milliseconds) {
    const double seconds = milliseconds / 1000.0;
    elapsedSeconds_ += seconds;
    // A flow that swings around 120 kg/h once a minute, a slowly drifting gas temperature, and the total
    // of the flow.
    massFlow_ = 120.0 + 12.0 * std::sin(2 * kPi * elapsedSeconds_ / 60.0);
    temperature_ = 21.5 + 0.8 * std::sin(2 * kPi * elapsedSeconds_ / 300.0);
    totalizer_ += massFlow_ * seconds / 3600.0;
    UpdateLiveRecords();
}

void CSimulatedFlowmeter::CatchUpWithClock() {
    const ULONGLONG now = ::GetTickCount64();
    const ULONGLONG elapsed = now - lastTick_;
    lastTick_ = now;
    if (!frozen_ && elapsed > 0) AdvanceTime(static_cast<DWORD>(elapsed));
}

void CSimulatedFlowmeter::UpdateLiveRecords() {
    const SimBytes flow = EncodeValueWithStatus(static_cast<float>(massFlow_), kStatusGood);
    if (SimulatedRecord* record = FindRecord(kMassFlowTransducer.first, kMassFlowTransducer.second))
        record->bytes = flow;
    if (SimulatedRecord* record = FindRecord(kMassFlowOut.first, kMassFlowOut.second)) record->bytes = flow;
    if (SimulatedRecord* record = FindRecord(kTotalizerOut.first, kTotalizerOut.second)) {
        record->bytes = EncodeValueWithStatus(static_cast<float>(totalizer_), kStatusGood);
    }
    if (SimulatedRecord* record = FindRecord(kTemperatureOut.first, kTemperatureOut.second)) {
        record->bytes = EncodeValueWithStatus(static_cast<float>(temperature_), kStatusGood);
    }
}

Dpv1DeviceError CSimulatedFlowmeter::Read(BYTE slot, BYTE index, SimBytes* data) {
    ++reads_;
    if (busyRequests_ > 0) {
        --busyRequests_;
        return Dpv1DeviceError::Busy;
    }
    if (!HasSlot(slot)) return Dpv1DeviceError::InvalidSlot;
    CatchUpWithClock();
    const SimulatedRecord* record = FindRecord(slot, index);
    if (!record) return Dpv1DeviceError::InvalidIndex;
    if (!record->readable) return Dpv1DeviceError::AccessDenied;
    *data = record->bytes;
    return Dpv1DeviceError::None;
}

Dpv1DeviceError CSimulatedFlowmeter::Write(BYTE slot, BYTE index, const SimBytes& data) {
    ++writes_;
    if (busyRequests_ > 0) {
        --busyRequests_;
        return Dpv1DeviceError::Busy;
    }
    if (!HasSlot(slot)) return Dpv1DeviceError::InvalidSlot;
    SimulatedRecord* record = FindRecord(slot, index);
    if (!record) return Dpv1DeviceError::InvalidIndex;
    if (!record->writable) return Dpv1DeviceError::AccessDenied;
    if (data.size() != record->bytes.size()) return Dpv1DeviceError::WriteLength;
    if (PaNumberWidth(record->type) != 0) {
        const double number = DecodePaNumber(data, record->type);
        if (!record->allowedCodes.empty()) {
            bool allowed = false;
            for (ULONG code : record->allowedCodes) allowed = allowed || code == number;
            if (!allowed) return Dpv1DeviceError::InvalidRange;
        }
        if (record->minimum < record->maximum && (number < record->minimum || number > record->maximum)) {
            return Dpv1DeviceError::InvalidRange;
        }
    }
    record->bytes = data;
    if (std::make_pair(slot, index) == kSetTotalizer &&
        DecodePaNumber(data, record->type) == kSetTotalizerReset) {
        totalizer_ = 0;
        UpdateLiveRecords();
    }
    return Dpv1DeviceError::None;
}
