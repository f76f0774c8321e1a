#pragma once
// A sound card's mixer held in memory, for the mixer layouts the test rig's
// sound server cannot show (microphone and line-in lines, a source choice).
#include "platform/MixerBackend.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

class FakeMixerBackend : public Platform::MixerBackend {
public:
    struct State {
        std::vector<Platform::MixerElement> elements;
        std::map<std::pair<int, bool>, std::vector<unsigned>> volumes; // (element, capture) -> channels
        std::map<std::pair<int, bool>, bool> switches;
        std::map<int, unsigned> items;
        std::vector<int> changed;
        int writes = 0;
    };

    explicit FakeMixerBackend(std::shared_ptr<State> state) : state_(std::move(state)) {}

    const std::vector<Platform::MixerElement>& Elements() const override { return state_->elements; }
    bool GetVolume(int element, bool capture, int channel, unsigned& value) override
    {
        auto it = state_->volumes.find({element, capture});
        if (it == state_->volumes.end() || channel >= int(it->second.size()))
            return false;
        value = it->second[std::size_t(channel)];
        return true;
    }
    bool SetVolume(int element, bool capture, int channel, unsigned value) override
    {
        auto it = state_->volumes.find({element, capture});
        if (it == state_->volumes.end())
            return false;
        ++state_->writes;
        for (std::size_t c = 0; c < it->second.size(); ++c)
            if (channel < 0 || int(c) == channel)
                it->second[c] = value;
        state_->changed.push_back(element);
        return true;
    }
    bool GetSwitch(int element, bool capture, bool& on) override
    {
        auto it = state_->switches.find({element, capture});
        if (it == state_->switches.end())
            return false;
        on = it->second;
        return true;
    }
    bool SetSwitch(int element, bool capture, bool on) override
    {
        auto it = state_->switches.find({element, capture});
        if (it == state_->switches.end())
            return false;
        ++state_->writes;
        it->second = on;
        state_->changed.push_back(element);
        return true;
    }
    bool GetEnumItem(int element, unsigned& item) override
    {
        auto it = state_->items.find(element);
        if (it == state_->items.end())
            return false;
        item = it->second;
        return true;
    }
    bool SetEnumItem(int element, unsigned item) override
    {
        ++state_->writes;
        state_->items[element] = item;
        state_->changed.push_back(element);
        return true;
    }
    std::vector<int> Poll() override { return std::exchange(state_->changed, {}); }

private:
    std::shared_ptr<State> state_;
};
