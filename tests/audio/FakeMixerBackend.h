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
        // An opening still on its way; a connection gone (every backend
        // opened on this state).
        bool ready = true;
        bool lost = false;
    };

    explicit FakeMixerBackend(std::shared_ptr<State> state)
        : state_(std::move(state))
    {
    }

    bool Ready() override { return state_->ready; }
    // Once lost, for good: the mixer must be opened anew.
    bool Lost() const override { return lost_ = lost_ || state_->lost; }
    const std::vector<Platform::MixerElement>& Elements() const override { return state_->elements; }
    bool GetVolume(int element, bool capture, int channel, unsigned& value) override
    {
        auto it = state_->volumes.find({element, capture});
        const bool found = it != state_->volumes.end() && channel < int(it->second.size());
        return found && (value = it->second[std::size_t(channel)], true);
    }
    bool SetVolume(int element, bool capture, int channel, unsigned value) override
    {
        if (state_->lost)
            return true; // goes nowhere, as a write to a mixer whose server is gone
        auto it = state_->volumes.find({element, capture});
        if (it == state_->volumes.end())
            return false;
        for (std::size_t c = 0; c < it->second.size(); ++c)
            if (channel < 0 || int(c) == channel)
                it->second[c] = value;
        return Written(element);
    }
    bool GetSwitch(int element, bool capture, bool& on) override
    {
        auto it = state_->switches.find({element, capture});
        return it != state_->switches.end() && (on = it->second, true);
    }
    bool SetSwitch(int element, bool capture, bool on) override
    {
        auto it = state_->switches.find({element, capture});
        return it != state_->switches.end() && (it->second = on, Written(element));
    }
    bool GetEnumItem(int element, unsigned& item) override
    {
        auto it = state_->items.find(element);
        return it != state_->items.end() && (item = it->second, true);
    }
    bool SetEnumItem(int element, unsigned item) override
    {
        state_->items[element] = item;
        return Written(element);
    }
    std::vector<int> Poll() override { return std::exchange(state_->changed, {}); }

private:
    bool Written(int element)
    {
        ++state_->writes;
        state_->changed.push_back(element);
        return true;
    }

    std::shared_ptr<State> state_;
    mutable bool lost_ = false;
};
