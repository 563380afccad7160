#pragma once
// Resource identifiers shared by the .rc file and the code.
#define IDI_APP 1
// The five tray images are named resources: "icon", "icon2" ... "icon5".
