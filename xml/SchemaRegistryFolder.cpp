#include "xml/SchemaRegistryFolder.h"

#include <cstring>

#include "values/AnsiText.h"

HRESULT ReadRegistrySchemaFolder(ql::Bstr& folder) noexcept {
    folder.Reset();
    // RegGetValue opens the key for querying only: a user who may not write HKEY_LOCAL_MACHINE still
    // gets the folder. Only string values are taken; anything else counts as absent.
    char text[kSchemaPathsMaxBytes] = "";
    DWORD size = sizeof(text);
    const LSTATUS status = ::RegGetValueA(HKEY_LOCAL_MACHINE, kSchemaPathsKey, kSchemaPathsValue,
                                          RRF_RT_REG_SZ, nullptr, text, &size);
    if (status != ERROR_SUCCESS || size > sizeof(text)) return S_FALSE;
    // A value stored without its terminating zero must not run on into whatever follows: what was read
    // ends where the data ends, and a full buffer without a zero is a value that does not fit.
    if (std::memchr(text, '\0', size) == nullptr) {
        if (size == sizeof(text)) return S_FALSE;
        text[size] = '\0';
    }
    return AnsiToBstr(text, folder);
}
