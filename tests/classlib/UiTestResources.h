// Resource ids of the user-interface test server (shared by its resource script and its sources).
#define IDR_UI_TEST_CONTROL 201
#define IDR_UI_TEST_PAGE 202
#define IDD_UI_TEST_CONTROL 101
#define IDD_UI_TEST_PAGE 102
#define IDS_UI_TEST_PAGE_TITLE 301
#define IDC_NAME_EDIT 1001
#define IDC_TAG_EDIT 1002
#define IDC_ENABLED_CHECK 1003
#define IDC_STATUS_TEXT 1004
#define IDC_PAGE_VALUE_EDIT 1101
#define IDC_PAGE_HOSTED_CONTROL 1102
#define IDC_PAGE_APPLIED_TEXT 1103
