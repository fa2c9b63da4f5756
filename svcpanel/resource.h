// Resource identifiers shared by the code and svcpanel.rc.
#pragma once

#define IDI_PROGRAM 1
#define IDB_PANEL 101
#define IDB_START 102
#define IDB_STOP 103
