#pragma once
void UseRealMciLayer();
