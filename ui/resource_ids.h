#pragma once
// Shared by the C++ sources and the resource script.
#define IDR_APP_ICON 102
#define IDC_EXTRA_VEHICLES 1001
