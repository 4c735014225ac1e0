// Resource identifiers shared by the resource script and the code.
#pragma once

// The progress dialog (template 101) and its controls.
#define IDD_PROGRESS 101
#define IDC_PROGRESS_CANCEL 2 /* IDCANCEL */
#define IDC_PROGRESS_STATUS 103
#define IDC_PROGRESS_SOURCE 104
#define IDC_PROGRESS_TARGET 105
#define IDC_PROGRESS_BAR 1000
#define IDC_PROGRESS_STATUS_LABEL 1005
#define IDC_PROGRESS_TARGET_LABEL 1006
#define IDC_PROGRESS_PERCENT 1009
