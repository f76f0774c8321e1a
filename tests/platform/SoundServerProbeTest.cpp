// The question asked of the sound server before a stream is opened on it:
// servers that answer, hang, are gone or are not there, faked on sockets of
// our own, and the rig's real server stopped and let go on.
#include "platform/SoundServerProbe.h"

#include "audio/SoundRig.h"
#include "support/FakeSoundServer.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

using Platform::SoundServerProbe;
using Reply = SoundServerProbe::Reply;

TEST(SoundServerProbe, TheServersSocketIsFoundWhereItsClientsLook)
{
    const struct {
        const char* pulseServer;
        const char* runtimeDir;
        const char* socket;
    } cases[] = {
        {"unix:/run/a/native", "/run/user/7", "/run/a/native"},
        {"tcp:host:4713 {0123abcd}/run/b/native", nullptr, "/run/b/native"},
        {"tcp:host:4713", "/run/user/7", ""},
        {"", "/run/user/7", "/run/user/7/pulse/native"},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.socket, SoundServerProbe::SocketPath(c.pulseServer, c.runtimeDir))
            << (c.pulseServer ? c.pulseServer : "(none)") << " / " << (c.runtimeDir ? c.runtimeDir : "(none)");
}

TEST(SoundServerProbe, OnlyAServerThatReadsTheQuestionAnswersAndNoServerIsNotOneThatHangs)
{
    using Kind = FakeSoundServer::Kind;
    const struct {
        std::optional<Kind> kind;
        Reply reply;
    } cases[] = {
        {std::nullopt, Reply::NotReached}, {Kind::Gone, Reply::NotReached},    {Kind::Stopped, Reply::Silent},
        {Kind::Answering, Reply::Answers}, {Kind::HangingUp, Reply::Answers},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string socket = folder.Path() + "/native";
        std::optional<FakeSoundServer> server;
        if (c.kind) {
            ASSERT_TRUE(server.emplace(socket, *c.kind).Listening());
        }
        SoundServerProbe probe(socket);
        EXPECT_EQ(c.reply, probe.Ask(500)) << (c.kind ? int(*c.kind) : -1);
    }
    SoundServerProbe nowhere("");
    EXPECT_EQ(Reply::NotReached, nowhere.Ask(0));
}

// A question left unanswered by the rig's stopped server is answered once it
// goes on, and a later look that waits for nothing finds that answer. Looks
// meanwhile take one place in its short queue of clients, not one each (a
// full queue turns the sound libraries away).
TEST(SoundServerProbe, TheRigsServerStoppedAnswersTheQuestionLeftOnceItGoesOn)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    SoundServerProbe probe(SoundServerProbe::SocketPath());
    {
        SoundRig::HungServer server(std::chrono::seconds(30));
        ASSERT_TRUE(server.Stopped());
        for (int look = 0; look < 20; ++look)
            EXPECT_EQ(Reply::Silent, probe.Ask(look % 2 ? 0 : 50)) << look;
    }
    EXPECT_TRUE(SoundRig::WaitFor([&] { return probe.Ask(0) == Reply::Answers; }, 2000));
    EXPECT_TRUE(SoundRig::ServerAnswers()) << "other clients are let in";
}
