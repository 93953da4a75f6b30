#pragma once
// Resource ids of the views and the diagnosis page (dialogs, titles and controls).

// The diagnosis page.
#define IDS_P3_PBDIAGNOSIS_TITLE 122
#define IDD_P3_PBDIAGNOSIS 125
// The diagnosis controls: the outer frame, the five bit groups and the overlays laid over them.
#define IDC_DIAG_FRAME 6124
#define IDC_DIAG_FRAME_OVERLAY 6123
#define IDC_DIAG_STATION1 6125
#define IDC_DIAG_STATION2 6126
#define IDC_DIAG_STATION3 6127
#define IDC_DIAG_PROCESS 6128
#define IDC_DIAG_DEVICE 6129
#define IDC_DIAG_STATION1_OVERLAY 6130
#define IDC_DIAG_STATION2_OVERLAY 6131
#define IDC_DIAG_STATION3_OVERLAY 6132
#define IDC_DIAG_PROCESS_OVERLAY 6133
#define IDC_DIAG_DEVICE_OVERLAY 6134
// The first check box of each group; a group's box for bit i is its first id plus i.
#define IDC_DIAG_STATION1_BIT0 6019
#define IDC_DIAG_STATION2_BIT0 6027
#define IDC_DIAG_STATION3_BIT0 6035
#define IDC_DIAG_PROCESS_BIT0 6043
#define IDC_DIAG_DEVICE_BIT0 6051
