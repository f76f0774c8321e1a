// Sound files named by the metronome's sample sets.
#include "audio/SampleFile.h"
#include "fuzz/FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::InputFile file(data, size, "click.wav");
    std::vector<float> samples;
    LoadSampleFile(file.Path(), samples, 250.0f, 44100);
    return 0;
}
