// The question asked of the sound server before a stream is opened on it:
// servers that answer, hang, are gone or are not there, faked on sockets of
// our own, and the rig's real server stopped and let go on.
#include "platform/SoundServerProbe.h"

#include "audio/SoundRig.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

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
        {"/run/a/native", nullptr, "/run/a/native"},
        {"tcp:host:4713 unix:/run/b/native", nullptr, "/run/b/native"},
        {"{0123abcd}unix:/run/c/native", nullptr, "/run/c/native"},
        {"tcp:host:4713", "/run/user/7", ""},
        {"", "/run/user/7", "/run/user/7/pulse/native"},
        {nullptr, "/run/user/7", "/run/user/7/pulse/native"},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.socket, SoundServerProbe::SocketPath(c.pulseServer, c.runtimeDir))
            << (c.pulseServer ? c.pulseServer : "(none)") << " / " << (c.runtimeDir ? c.runtimeDir : "(none)");
}

namespace {

enum class Kind { Absent, Gone, Stopped, Answering, HangingUp };

// A server on a socket of our own: none at all, a socket file nobody listens
// on any more, one that lets nobody in (stopped), one that reads the question
// and answers, one that hangs up on it.
class FakeServer {
public:
    FakeServer(const std::string& path, Kind kind)
    {
        if (kind == Kind::Absent)
            return;
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(listener_, 1) != 0)
            ADD_FAILURE() << "cannot listen on " << path;
        if (kind == Kind::Gone) {
            ::close(listener_);
            listener_ = -1;
        } else if (kind != Kind::Stopped) {
            server_ = std::thread([this, kind] {
                const int client = ::accept(listener_, nullptr, nullptr);
                char question[30];
                if (kind == Kind::Answering && ::read(client, question, sizeof question) > 0)
                    (void)!::write(client, "!", 1);
                ::close(client);
            });
        }
    }
    ~FakeServer()
    {
        if (server_.joinable())
            server_.join();
        if (listener_ >= 0)
            ::close(listener_);
    }
    FakeServer(const FakeServer&) = delete;
    FakeServer& operator=(const FakeServer&) = delete;

private:
    int listener_ = -1;
    std::thread server_;
};

} // namespace

TEST(SoundServerProbe, OnlyAServerThatReadsTheQuestionAnswersAndNoServerIsNotOneThatHangs)
{
    const struct {
        Kind kind;
        Reply reply;
    } cases[] = {
        {Kind::Absent, Reply::NotReached}, {Kind::Gone, Reply::NotReached},   {Kind::Stopped, Reply::Silent},
        {Kind::Answering, Reply::Answers}, {Kind::HangingUp, Reply::Answers},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string socket = folder.Path() + "/native";
        FakeServer server(socket, c.kind);
        SoundServerProbe probe(socket);
        EXPECT_EQ(c.reply, probe.Ask(500)) << int(c.kind);
    }
    SoundServerProbe nowhere("");
    EXPECT_EQ(Reply::NotReached, nowhere.Ask(0));
}

// The rig's server stopped answers nothing; a question left unanswered is
// answered once it goes on, and a later look that waits for nothing finds
// that answer. Many looks while it hangs take one place in its queue of
// clients, not one each (the queue is short, and a full one turns the sound
// libraries away).
TEST(SoundServerProbe, TheRigsServerStoppedIsSilentAndAnswersTheQuestionLeftOnceItGoesOn)
{
    const std::string rig = SoundRig::RigFolder();
    ASSERT_FALSE(rig.empty()) << "needs the test rig's own sound server";
    SoundServerProbe probe(SoundServerProbe::SocketPath());
    EXPECT_EQ(Reply::Answers, probe.Ask(2000));
    {
        SoundRig::HungServer server(std::chrono::seconds(30));
        ASSERT_TRUE(server.Stopped());
        EXPECT_EQ(Reply::Silent, probe.Ask(200));
        for (int look = 0; look < 20; ++look)
            EXPECT_EQ(Reply::Silent, probe.Ask(0)) << look;
        EXPECT_EQ(Reply::Silent, probe.Ask(200));
    }
    EXPECT_TRUE(SoundRig::WaitFor([&] { return probe.Ask(0) == Reply::Answers; }, 2000));
    EXPECT_TRUE(SoundRig::ServerAnswers()) << "other clients are let in";
}
