#include "platform/AlsaMixer.h"

#include "platform/Log.h"
#include "platform/PaAdapter.h"
#include "platform/SoundMessages.h"
#include "platform/SoundServerCalls.h"

#include <alsa/asoundlib.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace Platform {
namespace {

// ALSA's own messages go to the log, never to stderr, from the first call
// into it on: what it said is passed on when this goes out of scope.
struct AlsaMessagesToLog {
    AlsaMessagesToLog() { RouteAlsaMessages(); }
    ~AlsaMessagesToLog() { SoundMessages().Flush(); }
};

// Call thread: opens, attaches and loads; null on failure, said to the log
// through the sound libraries' queue.
snd_mixer_t* OpenLoadedNow(const std::string& device)
{
    snd_mixer_t* mixer = nullptr;
    int err = snd_mixer_open(&mixer, 0);
    if (err < 0) {
        SoundMessages().Post(("mixer: cannot open a mixer: " + std::string(snd_strerror(err))).c_str());
        return nullptr;
    }
    const char* step = "attach";
    err = snd_mixer_attach(mixer, device.c_str());
    if (err >= 0) {
        step = "register";
        err = snd_mixer_selem_register(mixer, nullptr, nullptr);
    }
    if (err >= 0) {
        step = "load";
        err = snd_mixer_load(mixer);
    }
    if (err < 0) {
        SoundMessages().Post(
            ("mixer: cannot " + std::string(step) + " the mixer of \"" + device + "\": " + snd_strerror(err)).c_str());
        snd_mixer_close(mixer);
        return nullptr;
    }
    return mixer;
}

const snd_mixer_selem_channel_id_t Channels[] = {
    SND_MIXER_SCHN_FRONT_LEFT, SND_MIXER_SCHN_FRONT_RIGHT,  SND_MIXER_SCHN_REAR_LEFT,
    SND_MIXER_SCHN_REAR_RIGHT, SND_MIXER_SCHN_FRONT_CENTER, SND_MIXER_SCHN_WOOFER,
    SND_MIXER_SCHN_SIDE_LEFT,  SND_MIXER_SCHN_SIDE_RIGHT,   SND_MIXER_SCHN_REAR_CENTER};

int CountChannels(snd_mixer_elem_t* e, bool capture)
{
    int n = 0;
    for (snd_mixer_selem_channel_id_t c : Channels)
        if (capture ? snd_mixer_selem_has_capture_channel(e, c) : snd_mixer_selem_has_playback_channel(e, c))
            ++n;
    return n;
}

// The element's n-th channel that exists (mono elements answer on front left).
snd_mixer_selem_channel_id_t ChannelAt(snd_mixer_elem_t* e, bool capture, int n)
{
    for (snd_mixer_selem_channel_id_t c : Channels) {
        if (capture ? snd_mixer_selem_has_capture_channel(e, c) : snd_mixer_selem_has_playback_channel(e, c)) {
            if (n-- == 0)
                return c;
        }
    }
    return SND_MIXER_SCHN_FRONT_LEFT;
}

unsigned Presented(long raw, long min, long max)
{
    return max > min ? unsigned(std::lround(double(raw - min) * MixerBackend::VolumeMax / double(max - min))) : 0;
}

MixerElement Describe(snd_mixer_elem_t* e)
{
    MixerElement info;
    info.name = snd_mixer_selem_get_name(e);
    info.playbackVolume = snd_mixer_selem_has_playback_volume(e);
    info.captureVolume = snd_mixer_selem_has_capture_volume(e);
    info.playbackSwitch = snd_mixer_selem_has_playback_switch(e);
    info.captureSwitch = snd_mixer_selem_has_capture_switch(e);
    info.captureEnum = snd_mixer_selem_is_enum_capture(e);
    if (info.captureEnum) {
        const int items = snd_mixer_selem_get_enum_items(e);
        for (int i = 0; i < items; ++i) {
            char text[128] = "";
            snd_mixer_selem_get_enum_item_name(e, unsigned(i), sizeof text, text);
            info.enumItems.push_back(text);
        }
    }
    info.playbackChannels = CountChannels(e, false);
    info.captureChannels = CountChannels(e, true);
    return info;
}

// What one element holds, as last read or written: volumes per channel on
// our scale, switches, the chosen item.
struct ElementValues {
    std::vector<unsigned> playback;
    std::vector<unsigned> capture;
    bool playbackSwitch = false;
    bool captureSwitch = false;
    unsigned item = 0;

    bool operator==(const ElementValues& o) const
    {
        return playback == o.playback && capture == o.capture && playbackSwitch == o.playbackSwitch
            && captureSwitch == o.captureSwitch && item == o.item;
    }
    bool operator!=(const ElementValues& o) const { return !(*this == o); }
};

std::vector<unsigned> ReadVolumes(snd_mixer_elem_t* e, bool capture)
{
    long min = 0, max = 0;
    if (capture ? snd_mixer_selem_get_capture_volume_range(e, &min, &max) < 0
                : snd_mixer_selem_get_playback_volume_range(e, &min, &max) < 0)
        return {};
    std::vector<unsigned> out(std::size_t(std::max(1, CountChannels(e, capture))));
    for (std::size_t n = 0; n < out.size(); ++n) {
        long raw = 0;
        const snd_mixer_selem_channel_id_t id = ChannelAt(e, capture, int(n));
        if ((capture ? snd_mixer_selem_get_capture_volume(e, id, &raw)
                     : snd_mixer_selem_get_playback_volume(e, id, &raw))
            >= 0)
            out[n] = Presented(raw, min, max);
    }
    return out;
}

ElementValues ReadValues(snd_mixer_elem_t* e)
{
    ElementValues v;
    int on = 0;
    if (snd_mixer_selem_has_playback_volume(e))
        v.playback = ReadVolumes(e, false);
    if (snd_mixer_selem_has_capture_volume(e))
        v.capture = ReadVolumes(e, true);
    if (snd_mixer_selem_has_playback_switch(e)
        && snd_mixer_selem_get_playback_switch(e, ChannelAt(e, false, 0), &on) >= 0)
        v.playbackSwitch = on != 0;
    if (snd_mixer_selem_has_capture_switch(e) && snd_mixer_selem_get_capture_switch(e, ChannelAt(e, true, 0), &on) >= 0)
        v.captureSwitch = on != 0;
    if (snd_mixer_selem_is_enumerated(e))
        snd_mixer_selem_get_enum_item(e, SND_MIXER_SCHN_FRONT_LEFT, &v.item);
    return v;
}

// One write the window asked for, made on the call thread.
struct Write {
    enum class Kind { Volume, Switch, Item } kind;
    int element;
    bool capture;
    int channel; // volumes: -1 for every channel
    unsigned value;

    bool Replaces(const Write& older) const
    {
        return kind == older.kind && element == older.element && capture == older.capture
            && (channel == older.channel || channel < 0);
    }
};

int Perform(snd_mixer_elem_t* e, const Write& w)
{
    switch (w.kind) {
    case Write::Kind::Volume: {
        long min = 0, max = 0;
        const int err = w.capture ? snd_mixer_selem_get_capture_volume_range(e, &min, &max)
                                  : snd_mixer_selem_get_playback_volume_range(e, &min, &max);
        if (err < 0)
            return err;
        const unsigned value = std::min(w.value, MixerBackend::VolumeMax);
        long raw = min + std::lround(double(value) * double(max - min) / MixerBackend::VolumeMax);
        // On ranges at least as fine as ours, pick the raw value that reads
        // back as exactly the value written.
        for (long candidate : {raw, raw - 1, raw + 1})
            if (candidate >= min && candidate <= max && Presented(candidate, min, max) == value)
                raw = candidate;
        if (w.channel < 0)
            return w.capture ? snd_mixer_selem_set_capture_volume_all(e, raw)
                             : snd_mixer_selem_set_playback_volume_all(e, raw);
        return w.capture ? snd_mixer_selem_set_capture_volume(e, ChannelAt(e, true, w.channel), raw)
                         : snd_mixer_selem_set_playback_volume(e, ChannelAt(e, false, w.channel), raw);
    }
    case Write::Kind::Switch:
        return w.capture ? snd_mixer_selem_set_capture_switch_all(e, w.value ? 1 : 0)
                         : snd_mixer_selem_set_playback_switch_all(e, w.value ? 1 : 0);
    case Write::Kind::Item:
        return snd_mixer_selem_set_enum_item(e, SND_MIXER_SCHN_FRONT_LEFT, w.value);
    }
    return -EINVAL;
}

// What the window's side and the call thread share of one mixer. The call
// thread alone touches the ALSA mixer; the window's side only asks (posts a
// job) and takes what the jobs left here, under the lock, when it polls.
struct Shared {
    enum class State { Opening, Open, Failed, Lost };

    explicit Shared(std::string name)
        : device(std::move(name))
    {
    }

    const std::string device;
    // Call thread only.
    snd_mixer_t* mixer = nullptr;
    std::vector<snd_mixer_elem_t*> elems;

    std::mutex lock;
    State state = State::Opening;
    bool opened = false;
    std::vector<MixerElement> elements;
    std::vector<pollfd> fds;
    // The values last read, and the last write they include.
    std::vector<ElementValues> read;
    unsigned long readAfterWrite = 0;
    bool fresh = false;
    // Writes asked for and not yet taken by the call thread, with the
    // serial of the last one; at most one job takes them.
    std::vector<Write> writes;
    unsigned long lastWrite = 0;
    bool writing = false;
    bool reading = false;
    std::function<void()> tell;

    // Call thread: the values as they are now, as news when they changed.
    void Publish(unsigned long after)
    {
        std::vector<ElementValues> now;
        for (snd_mixer_elem_t* e : elems)
            now.push_back(ReadValues(e));
        std::function<void()> told;
        {
            std::lock_guard<std::mutex> hold(lock);
            if (now != read || after != readAfterWrite) {
                read = std::move(now);
                readAfterWrite = after;
                fresh = true;
                told = tell;
            }
        }
        if (told)
            told();
    }

    void Become(State next, int err)
    {
        std::function<void()> told;
        {
            std::lock_guard<std::mutex> hold(lock);
            if (state == State::Failed || state == State::Lost)
                return;
            state = next;
            told = tell;
        }
        if (next == State::Lost)
            SoundMessages().Post(
                ("mixer: the connection to the mixer of \"" + device + "\" was lost: " + snd_strerror(err)).c_str());
        if (told)
            told();
    }

    void Open()
    {
        mixer = OpenLoadedNow(device);
        if (!mixer) {
            Become(State::Failed, 0);
            return;
        }
        std::vector<MixerElement> described;
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_is_active(e))
                continue;
            described.push_back(Describe(e));
            elems.push_back(e);
        }
        std::vector<pollfd> descriptors;
        const int count = snd_mixer_poll_descriptors_count(mixer);
        if (count > 0) {
            descriptors.resize(std::size_t(count));
            snd_mixer_poll_descriptors(mixer, descriptors.data(), unsigned(count));
        }
        {
            std::lock_guard<std::mutex> hold(lock);
            elements = std::move(described);
            fds = std::move(descriptors);
            opened = true;
            if (state == State::Opening)
                state = State::Open;
        }
        // Tells of the opening with its first reading.
        Publish(0);
    }

    // Reads the events the server sent. A server gone hangs up the
    // mixer's descriptors, and its events cannot be read any more.
    void ReadEvents()
    {
        unsigned long after = 0;
        {
            std::lock_guard<std::mutex> hold(lock);
            reading = false;
            after = readAfterWrite;
        }
        if (!mixer)
            return;
        std::vector<pollfd> descriptors(std::size_t(std::max(0, snd_mixer_poll_descriptors_count(mixer))));
        snd_mixer_poll_descriptors(mixer, descriptors.data(), unsigned(descriptors.size()));
        ::poll(descriptors.data(), nfds_t(descriptors.size()), 0);
        // Asked even with nothing to read: the server's plugin answers here
        // whether its connection still stands.
        unsigned short revents = 0;
        int err = snd_mixer_poll_descriptors_revents(mixer, descriptors.data(), unsigned(descriptors.size()), &revents);
        if (err >= 0 && (revents & (POLLERR | POLLHUP | POLLNVAL)))
            err = -EPIPE;
        if (err >= 0 && (revents & POLLIN))
            err = snd_mixer_handle_events(mixer);
        if (err < 0) {
            Become(State::Lost, err);
            return;
        }
        Publish(after);
    }

    void WriteAsked()
    {
        std::vector<Write> taken;
        unsigned long serial = 0;
        {
            std::lock_guard<std::mutex> hold(lock);
            taken.swap(writes);
            serial = lastWrite;
            writing = false;
        }
        if (!mixer)
            return;
        for (const Write& w : taken) {
            const int err = Perform(elems[std::size_t(w.element)], w);
            if (err < 0)
                SoundMessages().Post(("mixer: writing to \""
                                      + std::string(snd_mixer_selem_get_name(elems[std::size_t(w.element)]))
                                      + "\" failed: " + snd_strerror(err))
                                         .c_str());
        }
        Publish(serial);
    }

    void Close()
    {
        if (mixer)
            snd_mixer_close(mixer);
        mixer = nullptr;
    }
};

// The mixer as the window's thread sees it: what it last read, updated by
// Poll, and writes sent without waiting. Every call into ALSA (the opening,
// the events, the writes, the closing) runs on the sound server's call
// thread, one after another, however long the server takes to answer.
class AlsaMixer : public MixerBackend {
public:
    explicit AlsaMixer(const std::string& device)
        : shared_(std::make_shared<Shared>(device))
    {
        RouteAlsaMessages();
        SoundServerCalls().Post([shared = shared_] { shared->Open(); });
    }

    ~AlsaMixer() override
    {
        {
            std::lock_guard<std::mutex> hold(shared_->lock);
            shared_->tell = nullptr;
        }
        SoundServerCalls().Post([shared = shared_] { shared->Close(); });
    }

    void OnNews(std::function<void()> tell) override
    {
        std::lock_guard<std::mutex> hold(shared_->lock);
        shared_->tell = std::move(tell);
    }

    bool Ready() override
    {
        if (!ready_) {
            std::lock_guard<std::mutex> hold(shared_->lock);
            if (shared_->opened) {
                elements_ = shared_->elements;
                fds_ = shared_->fds;
                values_ = shared_->read;
                shared_->fresh = false;
                ready_ = true;
            }
        }
        SoundMessages().Flush();
        return ready_;
    }

    bool Lost() const override
    {
        std::lock_guard<std::mutex> hold(shared_->lock);
        return shared_->state == Shared::State::Failed || shared_->state == Shared::State::Lost;
    }

    const std::vector<MixerElement>& Elements() const override { return elements_; }

    bool GetVolume(int element, bool capture, int channel, unsigned& value) override
    {
        const ElementValues* v = Values(element);
        const std::vector<unsigned>* volumes = v ? (capture ? &v->capture : &v->playback) : nullptr;
        if (!volumes || channel < 0 || channel >= int(volumes->size()))
            return false;
        value = (*volumes)[std::size_t(channel)];
        return true;
    }

    bool SetVolume(int element, bool capture, int channel, unsigned value) override
    {
        ElementValues* v = Values(element);
        std::vector<unsigned>* volumes = v ? (capture ? &v->capture : &v->playback) : nullptr;
        if (!volumes || volumes->empty() || channel >= int(volumes->size()))
            return false;
        value = std::min(value, VolumeMax);
        for (std::size_t c = 0; c < volumes->size(); ++c)
            if (channel < 0 || int(c) == channel)
                (*volumes)[c] = value;
        return Send(Write{Write::Kind::Volume, element, capture, channel, value});
    }

    bool GetSwitch(int element, bool capture, bool& on) override
    {
        const ElementValues* v = Values(element);
        const MixerElement* el = Element(element);
        if (!v || !(capture ? el->captureSwitch : el->playbackSwitch))
            return false;
        on = capture ? v->captureSwitch : v->playbackSwitch;
        return true;
    }

    bool SetSwitch(int element, bool capture, bool on) override
    {
        ElementValues* v = Values(element);
        const MixerElement* el = Element(element);
        if (!v || !(capture ? el->captureSwitch : el->playbackSwitch))
            return false;
        (capture ? v->captureSwitch : v->playbackSwitch) = on;
        return Send(Write{Write::Kind::Switch, element, capture, 0, on ? 1u : 0u});
    }

    bool GetEnumItem(int element, unsigned& item) override
    {
        const ElementValues* v = Values(element);
        if (!v || !Element(element)->captureEnum)
            return false;
        item = v->item;
        return true;
    }

    bool SetEnumItem(int element, unsigned item) override
    {
        ElementValues* v = Values(element);
        if (!v || !Element(element)->captureEnum || item >= Element(element)->enumItems.size())
            return false;
        v->item = item;
        return Send(Write{Write::Kind::Item, element, true, 0, item});
    }

    // Takes what the call thread read since the last poll, and asks it to
    // read the server's events when the mixer's descriptors show some.
    std::vector<int> Poll() override
    {
        std::vector<int> changed;
        if (!Ready())
            return changed;
        std::vector<ElementValues> read;
        unsigned long after = 0;
        bool askEvents = false;
        {
            std::lock_guard<std::mutex> hold(shared_->lock);
            if (shared_->fresh) {
                read = shared_->read;
                after = shared_->readAfterWrite;
                shared_->fresh = false;
            }
            askEvents = shared_->state == Shared::State::Open && !shared_->reading
                && (EventsWaiting() || NowMs() - lastAskMs_ >= CheckEveryMs);
            shared_->reading = shared_->reading || askEvents;
        }
        if (askEvents) {
            lastAskMs_ = NowMs();
            SoundServerCalls().Post([shared = shared_] { shared->ReadEvents(); });
        }
        if (read.size() == values_.size())
            changed = Adopt(read, after);
        return changed;
    }

private:
    // How often the connection is checked when the mixer has nothing to read.
    static constexpr Milliseconds CheckEveryMs = 1000;

    // Takes a reading. An element with a write the reading does not include
    // yet keeps the value written; any other difference is a change (one
    // made elsewhere, or the card's nearest step to a value we wrote).
    std::vector<int> Adopt(const std::vector<ElementValues>& read, unsigned long after)
    {
        std::vector<int> changed;
        for (std::size_t e = 0; e < read.size(); ++e) {
            const auto written = lastWriteOf_.find(int(e));
            if (written != lastWriteOf_.end() && written->second > after)
                continue;
            if (read[e] != values_[e])
                changed.push_back(int(e));
            values_[e] = read[e];
        }
        return changed;
    }

    // The descriptors have something to read, or hung up; never waits.
    bool EventsWaiting()
    {
        std::vector<pollfd> fds = fds_;
        return !fds.empty() && ::poll(fds.data(), nfds_t(fds.size()), 0) > 0;
    }

    bool Send(const Write& write)
    {
        bool post = false;
        {
            std::lock_guard<std::mutex> hold(shared_->lock);
            if (shared_->state != Shared::State::Open)
                return true; // kept as written; a lost mixer takes no more writes
            auto& writes = shared_->writes;
            writes.erase(
                std::remove_if(writes.begin(), writes.end(), [&](const Write& w) { return write.Replaces(w); }),
                writes.end());
            writes.push_back(write);
            lastWriteOf_[write.element] = ++shared_->lastWrite;
            post = !shared_->writing;
            shared_->writing = true;
        }
        if (post)
            SoundServerCalls().Post([shared = shared_] { shared->WriteAsked(); });
        return true;
    }

    const MixerElement* Element(int element) const
    {
        return element >= 0 && element < int(elements_.size()) ? &elements_[std::size_t(element)] : nullptr;
    }
    ElementValues* Values(int element)
    {
        return ready_ && element >= 0 && element < int(values_.size()) ? &values_[std::size_t(element)] : nullptr;
    }

    std::shared_ptr<Shared> shared_;
    bool ready_ = false;
    std::vector<MixerElement> elements_;
    std::vector<pollfd> fds_;
    std::vector<ElementValues> values_;
    std::map<int, unsigned long> lastWriteOf_;
    Milliseconds lastAskMs_ = 0;
};

} // namespace

std::string MixerDeviceName(unsigned device)
{
    return device == 0 ? "default" : "hw:" + std::to_string(device - 1);
}

std::vector<AlsaMixerInfo> ListAlsaMixers()
{
    AlsaMessagesToLog messages;
    std::vector<AlsaMixerInfo> out;
    if (AlsaMixerPresent(MixerDeviceName(0)))
        out.push_back(AlsaMixerInfo{0, "default"});
    int card = -1;
    while (snd_card_next(&card) >= 0 && card >= 0) {
        char* name = nullptr;
        AlsaMixerInfo info{unsigned(card) + 1, "card " + std::to_string(card)};
        if (snd_card_get_name(card, &name) >= 0 && name)
            info.name = name;
        std::free(name);
        out.push_back(info);
    }
    return out;
}

std::unique_ptr<MixerBackend> OpenAlsaMixer(const std::string& device)
{
    return std::make_unique<AlsaMixer>(device);
}

MixerCheck CheckAlsaMixer(const std::string& device, Milliseconds withinMs)
{
    AlsaMessagesToLog messages;
    auto opened = std::make_shared<bool>(false);
    const auto openAndClose = [opened, device] {
        snd_mixer_t* mixer = OpenLoadedNow(device);
        *opened = mixer != nullptr;
        if (mixer)
            snd_mixer_close(mixer);
    };
    if (!SoundServerCalls().Run(openAndClose, withinMs)) {
        Log("mixer: the mixer of \"" + device + "\" was not opened within " + std::to_string(withinMs) + " ms");
        return MixerCheck::NoAnswer;
    }
    return *opened ? MixerCheck::Opens : MixerCheck::Fails;
}

bool AlsaMixerPresent(const std::string& device)
{
    return CheckAlsaMixer(device, StartUpWithinMs) == MixerCheck::Opens;
}

} // namespace Platform
