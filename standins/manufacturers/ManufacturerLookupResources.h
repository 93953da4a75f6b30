#pragma once
// Resource ids of the manufacturer-lookup stand-in.
#define IDR_MANUFACTURER_LOOKUP 101
