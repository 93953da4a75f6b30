#include "dtm/documents/PaRecordEncoders.h"

#include "dtm/documents/PaRecordBytes.h"

HRESULT EncodeScaleRecord(VARIANT* out, float valueAt100, float valueAt0, USHORT unitsIndex,
                          BYTE decimalPlaces) noexcept {
    BYTE bytes[11];
    WriteBigEndian32(BitsFromFloat(valueAt100), bytes);
    WriteBigEndian32(BitsFromFloat(valueAt0), bytes + 4);
    WriteBigEndian16(unitsIndex, bytes + 8);
    bytes[10] = decimalPlaces;
    return MakePaRecord(bytes, sizeof bytes, out);
}

HRESULT MakeByteArray8(VARIANT* out, ULONG first, ULONG second) noexcept {
    BYTE bytes[8];
    WriteBigEndian32(first, bytes);
    WriteBigEndian32(second, bytes + 4);
    return MakePaRecord(bytes, sizeof bytes, out);
}

HRESULT BuildByteArrayRecord(VARIANT* out, BYTE first, ULONG word, BYTE last) noexcept {
    BYTE bytes[6];
    bytes[0] = first;
    WriteBigEndian32(word, bytes + 1);
    bytes[5] = last;
    return MakePaRecord(bytes, sizeof bytes, out);
}
