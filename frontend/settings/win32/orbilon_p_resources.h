// Resource ids of the settings dialog (200-299; the launcher and the button use their own).
#pragma once

#define IDB_ORBILON_P_ICON 200
#define IDB_ORBILON_P_MARK_OFF 201
#define IDB_ORBILON_P_MARK_ON 202
#define IDR_ORBILON_P_DESIGN 203
