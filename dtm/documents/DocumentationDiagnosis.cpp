#include "dtm/documents/DocumentationDiagnosis.h"

namespace {

struct DiagnosisLine {
    size_t byte;
    BYTE bit;
    const wchar_t* line;
};

// Each line begins with four blanks and ends with one, as the system writes them.
constexpr DiagnosisLine kDiagnosisLines[] = {
    {0, 0x01,
     L"    <DocumentVariable fdt:name=\"Station Status 1\" fdt:display=\"Hardware failure of the "
     L"electronic\"/> "},
    {0, 0x02,
     L"    <DocumentVariable fdt:name=\"Station Status 1\" fdt:display=\"Hardware failure mechanics\"/> "},
    {0, 0x04,
     L"    <DocumentVariable fdt:name=\"Station Status 1\" fdt:display=\"Motor-temperature too high\"/> "},
    {0, 0x08,
     L"    <DocumentVariable fdt:name=\"Station Status 1\" fdt:display=\"Electronic temperature too "
     L"high\"/> "},
    {0, 0x10, L"    <DocumentVariable fdt:name=\"Station Status 1\" fdt:display=\"Memory error\"/> "},
    {0, 0x20,
     L"    <DocumentVariable fdt:name=\"Station Status 1\" fdt:display=\"Failure in measurement\"/> "},
    {0, 0x40,
     L"    <DocumentVariable fdt:name=\"Station Status 1\" fdt:display=\"Device not initialized\"/> "},
    {0, 0x80,
     L"    <DocumentVariable fdt:name=\"Station Status 1\" fdt:display=\"Self-calibration failed\"/> "},
    {1, 0x01,
     L"    <DocumentVariable fdt:name=\"Station Status 2\" fdt:display=\"Zero point error (limit "
     L"position)\"/> "},
    {1, 0x02, L"    <DocumentVariable fdt:name=\"Station Status 2\" fdt:display=\"Power supply failed\"/> "},
    {1, 0x04,
     L"    <DocumentVariable fdt:name=\"Station Status 2\" fdt:display=\"Configuration not valid\"/> "},
    {1, 0x08,
     L"    <DocumentVariable fdt:name=\"Station Status 2\" fdt:display=\"New Startup (warm startup) carried "
     L"out\"/> "},
    {1, 0x10,
     L"    <DocumentVariable fdt:name=\"Station Status 2\" fdt:display=\"Re-startup (cold startup) carried "
     L"out\"/> "},
    {1, 0x20, L"    <DocumentVariable fdt:name=\"Station Status 2\" fdt:display=\"Maintenance required\"/> "},
    {1, 0x40,
     L"    <DocumentVariable fdt:name=\"Station Status 2\" fdt:display=\"Characterization invalid\"/> "},
    {1, 0x80,
     L"    <DocumentVariable fdt:name=\"Station Status 2\" fdt:display=\"Ident number violation\"/> "},
    {3, 0x80,
     L"    <DocumentVariable fdt:name=\"Station Status 3\" fdt:display=\"Extended Diagnostics "
     L"Supported\"/> "},
};

constexpr DiagnosisLine kExtensionLines[] = {
    {0, 0x01, L"    <DocumentVariable fdt:name=\"Process Faults\" fdt:display=\"Above Max A/D\"/> "},
    {0, 0x02, L"    <DocumentVariable fdt:name=\"Process Faults\" fdt:display=\"Below Min A/D\"/> "},
    {0, 0x04, L"    <DocumentVariable fdt:name=\"Process Faults\" fdt:display=\"Below Min Flow\"/> "},
    {0, 0x08,
     L"    <DocumentVariable fdt:name=\"Process Faults\" fdt:display=\"Flow exceeds 120% of full scale\"/> "},
    {0, 0x40, L"    <DocumentVariable fdt:name=\"Process Faults\" fdt:display=\"Above Max Flow\"/> "},
    {0, 0x80,
     L"    <DocumentVariable fdt:name=\"Process Faults\" fdt:display=\"A/D Error - A/D conversion "
     L"error\"/> "},
    {1, 0x01, L"    <DocumentVariable fdt:name=\"Device Faults\" fdt:display=\"Sensor Error\"/> "},
    {1, 0x02, L"    <DocumentVariable fdt:name=\"Device Faults\" fdt:display=\"Over Temp\"/> "},
    {1, 0x04, L"    <DocumentVariable fdt:name=\"Device Faults\" fdt:display=\"Under Temp\"/> "},
    {1, 0x08, L"    <DocumentVariable fdt:name=\"Device Faults\" fdt:display=\"Heater Shorted\"/> "},
    {1, 0x10, L"    <DocumentVariable fdt:name=\"Device Faults\" fdt:display=\"Heater Open\"/> "},
    {1, 0x20, L"    <DocumentVariable fdt:name=\"Device Faults\" fdt:display=\"+20V out of range\"/> "},
    {1, 0x40, L"    <DocumentVariable fdt:name=\"Device Faults\" fdt:display=\"-8V out of range\"/> "},
    {1, 0x80, L"    <DocumentVariable fdt:name=\"Device Faults\" fdt:display=\"Board Temp out of range\"/> "},
};

template <size_t Lines, size_t Bytes>
void AppendSetBits(const DiagnosisLine (&lines)[Lines], const BYTE (&bytes)[Bytes], std::wstring& body) {
    for (const DiagnosisLine& line : lines) {
        if (line.byte < Bytes && (bytes[line.byte] & line.bit)) body.append(line.line);
    }
}

}  // namespace

void AppendDiagnosisLines(const BYTE (&diagnosis)[kDiagnosisBytes],
                          const BYTE (&extension)[kDiagnosisExtensionBytes], std::wstring& body) {
    AppendSetBits(kDiagnosisLines, diagnosis, body);
    AppendSetBits(kExtensionLines, extension, body);
}
