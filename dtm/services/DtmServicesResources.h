#pragma once
// Resource ids of the DTM services: the DTM information template (RT_HTML, language 1033).
#define IDR_DTM_INFORMATION 2010
