// The mixer and the sound-card check on the test rig's sound server, reached
// through ALSA's "default" control device (the server's ALSA plugin).
#include "audio/AudioDevice.h"
#include "audio/RecordMixer.h"
#include "audio/SoundCardCheck.h"

#include "MixersBack.h"
#include "SoundRig.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// The device is made before its mixers have opened: they open on the sound
// server's call thread, and the device sets itself up on them then.
AudioDevice& DeviceOnOpenMixers()
{
    AudioDevice& device = AudioDevice::Instance();
    EXPECT_TRUE(SoundRig::MixersReadTheServer());
    return device;
}

} // namespace

TEST(SoundServerMixer, OffersTheServersCaptureControlUnderItsOwnNameAndPassesTheCardCheck)
{
    DeviceOnOpenMixers();
    std::vector<MixerLine> lines;
    ASSERT_EQ(1, RecordMixer::Instance().GetInputLines(lines));
    EXPECT_EQ("Capture", lines[0].name);

    AudioDevice& device = AudioDevice::Instance();
    const AudioDevice::InputMap inputs = device.GetInputs();
    ASSERT_EQ(1u, inputs.size());
    EXPECT_EQ("Capture", inputs.begin()->first);
    EXPECT_EQ("Capture", device.SelectedLine().name);
    EXPECT_EQ(1.0, RecordMixer::Instance().IsInputSelected(device.SelectedLine()));
    EXPECT_EQ(32768, device.GetInputFullScale());
    EXPECT_EQ("Capture", device.FindInputName(MixerComponent::SrcUndefined));
    EXPECT_EQ("", device.FindInputName(MixerComponent::SrcMicrophone));
    EXPECT_TRUE(IsSoundCardPresent());
}

TEST(SoundServerMixer, SetsTheVolumeAndNoticesOutsideChangesOnce)
{
    AudioDevice& device = DeviceOnOpenMixers();
    RecordMixer& mixer = RecordMixer::Instance();
    const MixerLine line = device.SelectedLine();
    // The device keeps its listeners for good: this one outlives the test
    // and must not count into a variable that is gone.
    auto counted = std::make_shared<int>(0);
    device.AddOutputVolumeListener([counted] { ++*counted; });
    int& changes = *counted;

    ASSERT_TRUE(mixer.SetLineVolume(line, 1.0));
    ASSERT_TRUE(mixer.SetLineVolume(line, 0.25));
    EXPECT_EQ(16384.0, mixer.GetLineVolume(line) * 65535.0);
    SoundRig::WaitFor(
        [&] {
            mixer.Poll();
            return false;
        },
        300);
    EXPECT_EQ(0, changes) << "our own writes are no changes";

    ASSERT_EQ(0, std::system("amixer -q -D pulse sset Capture 50%"));
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            mixer.Poll();
            return changes > 0;
        },
        3000));
    SoundRig::WaitFor(
        [&] {
            mixer.Poll();
            return false;
        },
        300);
    EXPECT_EQ(1, changes);
    EXPECT_EQ(32768.0, mixer.GetLineVolume(line) * 65535.0);
    mixer.SetLineVolume(line, 1.0);
}

TEST(SoundServerMixer, VolumesInPercent)
{
    AudioDevice& device = DeviceOnOpenMixers();
    device.SetInputVolume(40);
    EXPECT_EQ(40, device.GetInputVolume());
    device.SetInputVolume(101);
    EXPECT_EQ(40, device.GetInputVolume());
    device.SetInputVolume(100);
    EXPECT_EQ(100, device.GetInputVolume());

    const int output = device.GetOutputVolume();
    device.SetOutputVolume(70);
    EXPECT_EQ(70, device.GetOutputVolume());
    device.SetOutputVolume(output);
}

TEST(SoundServerMixer, ListsTheDefaultMixerFirstAndEveryListedMixerOpens)
{
    std::vector<MixerCaps> devices(3);
    const int count = ListMixerDevices(devices);
    ASSERT_GE(count, 1);
    ASSERT_EQ(std::size_t(count), devices.size());
    EXPECT_EQ(0u, devices[0].deviceId);
    EXPECT_EQ("default", devices[0].name);
    for (const MixerCaps& d : devices) {
        EXPECT_FALSE(d.name.empty()) << d.deviceId;
        EXPECT_TRUE(IsSoundCardPresent(d.deviceId)) << d.name;
        RecordMixer mixer(MixerClient::AlsaOpener());
        EXPECT_TRUE(mixer.Open(d.deviceId)) << d.name;
        EXPECT_TRUE(SoundRig::WaitFor(
            [&] {
                mixer.Poll();
                return mixer.IsOpen();
            },
            5000))
            << d.name;
    }
}
