// Scales samples by a gain relative to a limit, so that gains up to the
// limit map onto 0..1 of full scale and larger gains leave samples as they
// are: x * min(gain, limit) / limit.
#pragma once

struct GainLimit {
    float gain;
    float limit = 30.0f;

    void Apply(float& sample) const
    {
        if (gain <= limit)
            sample = sample / limit * gain;
    }
};
