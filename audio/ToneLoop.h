// The length of a reference tone that loops without a click: a sine cut at
// a sample that lies near zero on a rising slope repeats seamlessly.
#pragma once

constexpr int kToneRate = 44100;
constexpr int kToneMaxSamples = 441000;

// The largest length up to maxSamples at which a sine of frequency f
// (computed in double precision) crosses zero within tolerance on a rising
// slope, so that a buffer of that length repeats without a step; 0 if none.
int LastRisingZeroCrossing(float frequency, int sampleRate, float tolerance, int maxSamples);

// The duration in milliseconds to generate the reference tone of f for
// (1000 / 44100 ms per sample): the longest buffer up to 10 s that ends on a
// rising zero crossing, so that the repeated buffer is one unbroken sine at
// exactly f, whatever f; 10 s when there is none.
float ReferenceToneDuration(float frequency);
