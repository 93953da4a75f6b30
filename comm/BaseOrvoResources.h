// Resource ids of the DP-V1 test control's dialog (the module's resource script includes its template).
#pragma once

#define IDD_BASEORVO 104
#define IDC_ORVO_STATION_LABEL 1201
#define IDC_ORVO_STATION 1202
#define IDC_ORVO_API_LABEL 1203
#define IDC_ORVO_API 1204
#define IDC_ORVO_SLOT_LABEL 1205
#define IDC_ORVO_SLOT 1206
#define IDC_ORVO_INDEX_LABEL 1207
#define IDC_ORVO_INDEX 1208
#define IDC_ORVO_DATA_LABEL 1209
#define IDC_ORVO_DATA 1210
#define IDC_ORVO_MESSAGES_LABEL 1211
#define IDC_ORVO_MESSAGES 1220
#define IDC_ORVO_CONNECT 1401
#define IDC_ORVO_DISCONNECT 1402
#define IDC_ORVO_READ 1403
#define IDC_ORVO_WRITE 1404
