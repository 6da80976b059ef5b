// Resource ids of the Command button's six state bitmaps (the button's block is 300-399).
#pragma once

#define IDB_COMMAND_NORMAL 301
#define IDB_COMMAND_HIGHLIGHT 302
#define IDB_COMMAND_PRESSED 303
#define IDB_COMMAND_DISABLE 304
#define IDB_COMMAND_SELECTED 305
#define IDB_COMMAND_HIGHLIGHTSELECT 306
