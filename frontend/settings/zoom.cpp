#include "zoom.h"

int16_t AnchorX = 0;
int16_t AnchorY = 0;
