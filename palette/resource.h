// Resource ids of Kadenza.
#define IDC_STATIC (-1)

#define IDS_TITLE 1
#define IDS_CLASS 3
#define IDS_EDIT 401
#define IDS_HELP 404

#define IDD_ABOUT 103
#define IDD_PALETTE 104
#define IDD_EDIT 105
#define IDD_TEXTENTRY 106
#define IDI_KADENZA 105
#define IDB_KEYBOARD 115

#define IDM_MENU 400
#define IDM_EDIT 401
#define IDM_HELP 402
#define IDM_ABOUT 40003

// Palette button n is IDC_BUTTON1 + n - 1 (1002 to 1039).
#define IDC_BUTTON1 1002
#define IDC_QUIT 1040
#define IDC_EDIT_OK 1042
#define IDC_EDIT_CANCEL 1043
#define IDC_ABOUT_NAME 1050
#define IDC_EDIT_DEFAULT 1053
#define IDC_ENTRY_OK 1055
#define IDC_ENTRY_CANCEL 1056
// The EditDialog's twin of button n is IDC_TWIN1 + n - 1 (1059 to 1096).
#define IDC_TWIN1 1059
#define IDC_ENTRY_TEXT 1098
