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

// The diagnosis view: the page's groups, boxes and overlays, and its Close button (IDOK).
#define IDD_DIAGNOSIS 214

// The measured-values view. Each group shows one value with its PA status; the unit combos are hidden and
// only turn a unit code into its text, which the unit static shows.
#define IDD_MEASUREDVALUES 211
#define IDC_MV_MASSFLOW_UNIT_COMBO 6018
#define IDC_MV_TOTAL_UNIT_COMBO 6019
#define IDC_MV_FLOW_UNIT_COMBO 6020
#define IDC_MV_MASSFLOW_GROUP 6130
#define IDC_MV_MASSFLOW_QUALITY 6026
#define IDC_MV_MASSFLOW_VALUE 6027
#define IDC_MV_MASSFLOW_SUBSTATUS 6028
#define IDC_MV_MASSFLOW_LIMITS 6029
#define IDC_MV_MASSFLOW_UNIT 6176
#define IDC_MV_MASSFLOW_OVERLAY 6186
#define IDC_MV_FLOW_GROUP 6194
#define IDC_MV_FLOW_VALUE 6006
#define IDC_MV_FLOW_QUALITY 6346
#define IDC_MV_FLOW_SUBSTATUS 6347
#define IDC_MV_FLOW_LIMITS 6348
#define IDC_MV_FLOW_UNIT 6208
#define IDC_MV_FLOW_OVERLAY 6189
#define IDC_MV_TOTAL_GROUP 6196
#define IDC_MV_TOTAL_QUALITY 6013
#define IDC_MV_TOTAL_VALUE 6014
#define IDC_MV_TOTAL_SUBSTATUS 6015
#define IDC_MV_TOTAL_LIMITS 6016
#define IDC_MV_TOTAL_UNIT 6215
#define IDC_MV_TOTAL_OVERLAY 6191
#define IDC_MV_TEMP_GROUP 6195
#define IDC_MV_TEMP_UNIT 6159
#define IDC_MV_TEMP_OVERLAY 6190

// The trend view: the chart and the check boxes of its three pens.
#define IDD_TREND 220
#define IDC_TREND_CHART 6510
#define IDC_TREND_PEN1 6019
#define IDC_TREND_PEN2 6020
#define IDC_TREND_PEN3 6021
