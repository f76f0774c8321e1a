#include "app/vis/PowerCalcFunctor.h"

#include "audio/AppState.h"
#include "audio/AudioDevice.h"
#include "audio/LatestBlock.h"
#include "audio/SignalLevel.h"

#include <cmath>

PowerCalcFunctor::PowerCalcFunctor()
    : PowerCalcFunctor([]() -> std::vector<float>& { return LatestBlock::Instance().Get(); },
                       [] { return float(AudioDevice::Instance().GetInputFullScale()); })
{
}

PowerCalcFunctor::PowerCalcFunctor(BlockSource block, ScalarSource fullScale)
    : block_(std::move(block))
    , fullScale_(std::move(fullScale))
{
}

float PowerCalcFunctor::operator()()
{
    const std::vector<float>& block = block_();
    if (block.empty())
        return -INFINITY;
    const AppState& state = AppState::Instance();
    return LevelDb(block, fullScale_(), float(state.LevelRangeDb.load()), float(state.LevelOffsetDb.load()));
}
