#pragma once
// The two frequencies every tuning display shows: the measured one (the
// pitch tracker's, analysing a new window first) and the desired one (the
// application state's reference frequency).
#include "app/vis/ValueSource.h"

ScalarSource MeasuredFrequencySource();
ScalarSource DesiredFrequencySource();
