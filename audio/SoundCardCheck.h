#pragma once
// The start-up check: the mixer of sound device n (0: the "default" device)
// can be opened; it is closed again at once.
bool IsSoundCardPresent(unsigned device = 0);
