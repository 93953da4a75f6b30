// Resource ids of the parameterization window's dialog (the module's resource script includes its template).
#pragma once

#define IDD_TREEFRAME 107
#define IDC_TF_TREE 6001
#define IDC_TF_APPLY 6002
#define IDC_TF_HELP 6003
#define IDC_TF_PAGE_AREA 6004
#define IDC_TF_DEVICE_ID 6005
#define IDC_TF_SERIAL 6007
#define IDC_TF_TAG 6008
#define IDC_TF_CLEAR 6009
#define IDC_TF_VSCROLL 6010
#define IDC_TF_HSCROLL 6011
#define IDC_TF_DEVICE_MESSAGE 6012
#define IDC_TF_CONNECTED 6013
#define IDC_TF_DISCONNECTED 6014
#define IDC_TF_PASSWORD 6015
#define IDC_TF_ONLINE_MODE 6016
#define IDC_TF_OFFLINE_MODE 6017
#define IDC_TF_MESSAGE_LABEL 6018
#define IDC_TF_DEVICE_ID_LABEL 6505
#define IDC_TF_SERIAL_LABEL 6506
#define IDC_TF_TAG_LABEL 6507
#define IDC_TF_HEADER_BOX 6509
#define IDC_TF_LOGO 6519

// Bitmaps: the connection and mode indicators, the tree's images and the header's logo.
#define IDB_TF_CONNECTED 202
#define IDB_TF_DISCONNECTED 203
#define IDB_TF_TREE_DEVICE 204
#define IDB_TF_TREE_ITEM 206
#define IDB_TF_OFFLINE_MODE 210
#define IDB_TF_ONLINE_MODE 211
#define IDB_TF_LOGO 214
