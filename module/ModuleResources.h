// Resource ids of the module. The registry scripts are resources of type "REGISTRY", one per class; the
// type library is TYPELIB 1. Used by the resource script and by the object map.
#pragma once

#define IDR_DTMOBJECT 101
#define IDR_BASEORVO 103
#define IDR_TREEFRAME 106
#define IDR_P1_ROOT 109
#define IDR_P2_PBDEVINFO 115
#define IDR_P3_PBDIAGNOSIS 121
#define IDR_P4_TBMASSFLOW 127
#define IDR_P5_TBTEMP 133
#define IDR_P8_TBEXTTS 154
#define IDR_P9_TBOUTPUT 160
#define IDR_Q1_AIFBFLOW 166
#define IDR_Q2_AIFBTEMP 172
#define IDR_Q3_AIFBTOTAL 178
#define IDR_P6_TBCAL1 190
#define IDR_P7_TBCAL2 196
#define IDR_MEASUREDVALUES 210
#define IDR_DIAGNOSIS 213
#define IDR_SRVLOGIN 216
#define IDR_TREND 219
#define IDR_TBEXTRA 222
