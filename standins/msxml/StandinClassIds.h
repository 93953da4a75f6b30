#pragma once
// The MSXML class ids this server answers (and the one the benchmark compares against). <msxml2.h> declares
// no externs for them; their definitions come from varnok_msxml_guids.
#include <windows.h>

extern "C" {
// DOMDocument, version independent: {F6D90F11-9C73-11D3-B32E-00C04F990BB4}
extern const CLSID CLSID_DOMDocument2;
// XMLSchemaCache, version independent: {373984C9-B845-449B-91E7-45AC83036ADE}
extern const CLSID CLSID_XMLSchemaCache;
// DOMDocument30, Wine's own msxml3 keeps it: {F5078F32-C551-11D3-89B9-0000F81FE221}
extern const CLSID CLSID_DOMDocument30;
}
