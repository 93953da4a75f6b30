#pragma once
// Resource ids of the service login: its dialog and the two edits of user name and password.
#define IDD_SRVLOGIN 217
#define IDC_LOGIN_USERNAME 6185
#define IDC_LOGIN_PASSWORD 6184
