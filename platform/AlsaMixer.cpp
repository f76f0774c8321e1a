#include "platform/AlsaMixer.h"

#include "platform/Log.h"
#include "platform/PaAdapter.h"
#include "platform/SoundMessages.h"
#include "platform/SoundServerCalls.h"

#include <alsa/asoundlib.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
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
// through the sound libraries' queue (the caller may have given up on it).
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

// What the mixer's element callbacks report while the call thread reads its
// events. Shared with that call, which may go on after the mixer was given
// up and freed, and with the mixer's closing, which comes after it.
struct Events {
    std::vector<snd_mixer_elem_t*> elems;
    std::vector<int> changed;
};

// Closing leaves the sound server: it waits behind any call still held by it.
void CloseLater(snd_mixer_t* mixer, std::shared_ptr<Events> events = {})
{
    SoundServerCalls().Post([mixer, events] { snd_mixer_close(mixer); });
}

// An opening that outlasted the window's wait, finished later on the call
// thread and kept there for the next opening of its device: a server that is
// only slow (busy, or just starting) gets its mixer opened all the same.
class FinishedOpenings {
public:
    void Keep(const std::string& device, snd_mixer_t* mixer)
    {
        std::lock_guard<std::mutex> hold(lock_);
        snd_mixer_t*& kept = kept_[device];
        if (kept)
            CloseLater(kept);
        kept = mixer;
    }
    snd_mixer_t* Take(const std::string& device)
    {
        std::lock_guard<std::mutex> hold(lock_);
        const auto kept = kept_.find(device);
        if (kept == kept_.end())
            return nullptr;
        snd_mixer_t* mixer = kept->second;
        kept_.erase(kept);
        return mixer;
    }

private:
    std::mutex lock_;
    std::map<std::string, snd_mixer_t*> kept_;
};

FinishedOpenings& Finished()
{
    static FinishedOpenings finished;
    return finished;
}

// Through the sound server's plugin, attaching a mixer connects to the server,
// which a server that hangs never answers: not tried while the server holds a
// call, or when it did not answer a question of ours just now (an answer to
// an older one may come from a short run between two stops), and given up
// once the window's wait is over (kept once it is done, for the next try).
snd_mixer_t* OpenLoaded(const std::string& device)
{
    AlsaMessagesToLog messages;
    const auto now = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    const Milliseconds deadline = now() + WindowWaitMs;
    BoundedCalls& calls = SoundServerCalls();
    if (calls.Stuck() || !Pa::ServerAnswers(WindowWaitMs)) {
        Log("mixer: the sound server does not answer; the mixer of \"" + device + "\" is not opened");
        return nullptr;
    }
    // The server answers now: a mixer it opened late still reads it.
    if (snd_mixer_t* late = Finished().Take(device))
        return late;
    auto mixer = std::make_shared<snd_mixer_t*>(nullptr);
    const Milliseconds left = std::max<Milliseconds>(0, deadline - now());
    if (calls.Run([mixer, device] { *mixer = OpenLoadedNow(device); }, left, [mixer, device] {
            if (*mixer)
                Finished().Keep(device, *mixer);
        }))
        return *mixer;
    Log("mixer: the sound server did not answer the opening of the mixer of \"" + device + "\" within its time");
    return nullptr;
}

const snd_mixer_selem_channel_id_t Channels[] = {
    SND_MIXER_SCHN_FRONT_LEFT, SND_MIXER_SCHN_FRONT_RIGHT,  SND_MIXER_SCHN_REAR_LEFT,
    SND_MIXER_SCHN_REAR_RIGHT, SND_MIXER_SCHN_FRONT_CENTER, SND_MIXER_SCHN_WOOFER,
    SND_MIXER_SCHN_SIDE_LEFT,  SND_MIXER_SCHN_SIDE_RIGHT,   SND_MIXER_SCHN_REAR_CENTER};

class AlsaMixer : public MixerBackend {
public:
    explicit AlsaMixer(snd_mixer_t* mixer)
        : mixer_(mixer)
        , events_(std::make_shared<Events>())
    {
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer_); e; e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_is_active(e))
                continue;
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
            snd_mixer_elem_set_callback_private(e, events_.get());
            snd_mixer_elem_set_callback(e, &AlsaMixer::ElementEvent);
            events_->elems.push_back(e);
            elements_.push_back(info);
        }
    }

    ~AlsaMixer() override { CloseLater(mixer_, events_); }

    const std::vector<MixerElement>& Elements() const override { return elements_; }

    bool GetVolume(int element, bool capture, int channel, unsigned& value) override
    {
        snd_mixer_elem_t* e = Elem(element);
        long min = 0, max = 0, raw = 0;
        if (!e || channel < 0 || channel >= int(std::size(Channels)))
            return false;
        const snd_mixer_selem_channel_id_t id = ChannelAt(e, capture, channel);
        if (capture ? snd_mixer_selem_get_capture_volume_range(e, &min, &max) < 0
                    : snd_mixer_selem_get_playback_volume_range(e, &min, &max) < 0)
            return false;
        if (capture ? snd_mixer_selem_get_capture_volume(e, id, &raw) < 0
                    : snd_mixer_selem_get_playback_volume(e, id, &raw) < 0)
            return false;
        value = Presented(raw, min, max);
        return true;
    }

    bool SetVolume(int element, bool capture, int channel, unsigned value) override
    {
        snd_mixer_elem_t* e = Elem(element);
        long min = 0, max = 0;
        if (!e)
            return false;
        if (capture ? snd_mixer_selem_get_capture_volume_range(e, &min, &max) < 0
                    : snd_mixer_selem_get_playback_volume_range(e, &min, &max) < 0)
            return false;
        value = std::min(value, VolumeMax);
        long raw = min + std::lround(double(value) * double(max - min) / VolumeMax);
        // On ranges at least as fine as ours, pick the raw value that reads
        // back as exactly the value written.
        for (long candidate : {raw, raw - 1, raw + 1})
            if (candidate >= min && candidate <= max && Presented(candidate, min, max) == value)
                raw = candidate;
        const int err = Write([e, capture, channel, raw] {
            if (channel < 0)
                return capture ? snd_mixer_selem_set_capture_volume_all(e, raw)
                               : snd_mixer_selem_set_playback_volume_all(e, raw);
            return capture ? snd_mixer_selem_set_capture_volume(e, ChannelAt(e, true, channel), raw)
                           : snd_mixer_selem_set_playback_volume(e, ChannelAt(e, false, channel), raw);
        });
        if (err < 0)
            Log("mixer: setting the volume of \"" + elements_[element].name + "\" failed: " + snd_strerror(err));
        return err >= 0;
    }

    bool GetSwitch(int element, bool capture, bool& on) override
    {
        snd_mixer_elem_t* e = Elem(element);
        int value = 0;
        if (!e)
            return false;
        const snd_mixer_selem_channel_id_t id = ChannelAt(e, capture, 0);
        if ((capture ? snd_mixer_selem_get_capture_switch(e, id, &value)
                     : snd_mixer_selem_get_playback_switch(e, id, &value))
            < 0)
            return false;
        on = value != 0;
        return true;
    }

    bool SetSwitch(int element, bool capture, bool on) override
    {
        snd_mixer_elem_t* e = Elem(element);
        if (!e)
            return false;
        const int err = Write([e, capture, on] {
            return capture ? snd_mixer_selem_set_capture_switch_all(e, on ? 1 : 0)
                           : snd_mixer_selem_set_playback_switch_all(e, on ? 1 : 0);
        });
        if (err < 0)
            Log("mixer: setting the switch of \"" + elements_[element].name + "\" failed: " + snd_strerror(err));
        return err >= 0;
    }

    bool GetEnumItem(int element, unsigned& item) override
    {
        snd_mixer_elem_t* e = Elem(element);
        return e && snd_mixer_selem_get_enum_item(e, SND_MIXER_SCHN_FRONT_LEFT, &item) >= 0;
    }

    bool SetEnumItem(int element, unsigned item) override
    {
        snd_mixer_elem_t* e = Elem(element);
        if (!e)
            return false;
        const int err = Write([e, item] { return snd_mixer_selem_set_enum_item(e, SND_MIXER_SCHN_FRONT_LEFT, item); });
        if (err < 0)
            Log("mixer: choosing an item of \"" + elements_[element].name + "\" failed: " + snd_strerror(err));
        return err >= 0;
    }

    std::vector<int> Poll() override
    {
        std::vector<int> changed;
        // A lost mixer may still be the call thread's (a call it gave up on).
        if (lost_)
            return changed;
        const int count = snd_mixer_poll_descriptors_count(mixer_);
        if (count > 0) {
            std::vector<pollfd> fds(static_cast<std::size_t>(count));
            snd_mixer_poll_descriptors(mixer_, fds.data(), unsigned(count));
            if (::poll(fds.data(), nfds_t(count), 0) > 0) {
                unsigned short revents = 0;
                snd_mixer_poll_descriptors_revents(mixer_, fds.data(), unsigned(count), &revents);
                // Once the sound server is gone the events cannot be read any
                // more, and the values the mixer still answers are stale.
                if (revents & (POLLERR | POLLHUP | POLLNVAL))
                    MarkLost(-EPIPE);
                else if (revents & POLLIN) {
                    const int err = HandleEvents();
                    if (err < 0 && !lost_)
                        MarkLost(err);
                }
            }
        }
        // Events read by a call given up are the call thread's.
        if (!lost_)
            changed.swap(events_->changed);
        std::sort(changed.begin(), changed.end());
        changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
        return changed;
    }

    bool Lost() const override { return lost_; }

private:
    // Reading the events reads the changed values from the server through its
    // plugin, which waits for the server's answer: a server that stopped with
    // a change pending (a stream just made, a volume just moved, by us or
    // another program) would hold the read as long as it stays stopped. It is
    // bounded as a write is.
    int HandleEvents()
    {
        snd_mixer_t* mixer = mixer_;
        return Write([mixer, events = events_] { return snd_mixer_handle_events(mixer); });
    }

    // A write goes to the sound server through its plugin, which waits for
    // the server's answer: one not answered in time loses the mixer (it is
    // opened anew once the server answers again), and the write goes on
    // alone on the call thread. While the server holds another call, the
    // write is not tried.
    int Write(const std::function<int()>& call)
    {
        BoundedCalls& calls = SoundServerCalls();
        auto result = std::make_shared<int>(-ETIMEDOUT);
        if (!calls.Stuck() && calls.Run([call, result] { *result = call(); }, WindowWaitMs))
            return *result;
        MarkLost(-ETIMEDOUT);
        return -ETIMEDOUT;
    }

    void MarkLost(int err)
    {
        lost_ = true;
        Log("mixer: the connection to the mixer was lost: " + std::string(snd_strerror(err)));
    }

    static int ElementEvent(snd_mixer_elem_t* e, unsigned int mask)
    {
        auto* events = static_cast<Events*>(snd_mixer_elem_get_callback_private(e));
        if (events && mask != SND_CTL_EVENT_MASK_REMOVE && (mask & SND_CTL_EVENT_MASK_VALUE)) {
            const auto it = std::find(events->elems.begin(), events->elems.end(), e);
            if (it != events->elems.end())
                events->changed.push_back(int(it - events->elems.begin()));
        }
        return 0;
    }

    static unsigned Presented(long raw, long min, long max)
    {
        return max > min ? unsigned(std::lround(double(raw - min) * VolumeMax / double(max - min))) : 0;
    }

    static int CountChannels(snd_mixer_elem_t* e, bool capture)
    {
        int n = 0;
        for (snd_mixer_selem_channel_id_t c : Channels)
            if (capture ? snd_mixer_selem_has_capture_channel(e, c) : snd_mixer_selem_has_playback_channel(e, c))
                ++n;
        return n;
    }

    // The element's n-th channel that exists (mono elements answer on front left).
    static snd_mixer_selem_channel_id_t ChannelAt(snd_mixer_elem_t* e, bool capture, int n)
    {
        for (snd_mixer_selem_channel_id_t c : Channels) {
            if (capture ? snd_mixer_selem_has_capture_channel(e, c) : snd_mixer_selem_has_playback_channel(e, c)) {
                if (n-- == 0)
                    return c;
            }
        }
        return SND_MIXER_SCHN_FRONT_LEFT;
    }

    snd_mixer_elem_t* Elem(int element) const
    {
        return !lost_ && element >= 0 && element < int(events_->elems.size()) ? events_->elems[std::size_t(element)]
                                                                               : nullptr;
    }

    snd_mixer_t* mixer_;
    std::shared_ptr<Events> events_;
    std::vector<MixerElement> elements_;
    bool lost_ = false;
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
    snd_mixer_t* mixer = OpenLoaded(device);
    if (!mixer)
        return nullptr;
    return std::make_unique<AlsaMixer>(mixer);
}

bool AlsaMixerPresent(const std::string& device)
{
    snd_mixer_t* mixer = OpenLoaded(device);
    if (!mixer)
        return false;
    CloseLater(mixer);
    return true;
}

} // namespace Platform
