// Resource ids of Orbilon.scr's own resources (100-199; the dialog and the button have theirs).
#pragma once

#define ORBILON_PREVIEW_BITMAP 101
