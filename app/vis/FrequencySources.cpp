#include "app/vis/FrequencySources.h"

#include "audio/AppState.h"
#include "audio/PitchTracker.h"

ScalarSource MeasuredFrequencySource()
{
    PitchTracker::Instance();
    return [] { return PitchTracker::Instance().GetFrequency(); };
}

ScalarSource DesiredFrequencySource()
{
    AppState::Instance();
    return [] { return AppState::Instance().GetReferenceFrequency(); };
}
