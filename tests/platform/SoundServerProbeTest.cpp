// The question asked of the sound server before a stream is opened on it: the
// rig's real server reached through every way a server is named, answering,
// stopped and absent, as the sound libraries' ALSA plugin reaches it; servers
// faked on sockets of our own that answer, hang, refuse or are gone; the
// rig's server stopped and let go on; and no client library at all.
#include "platform/SoundServerProbe.h"

#include "audio/SoundRig.h"
#include "platform/Log.h"
#include "platform/PulseClientLibrary.h"
#include "support/FakeSoundServer.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <utility>
#include <vector>
#include <map>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using Platform::SoundServerProbe;
using Reply = SoundServerProbe::Reply;

namespace {

// What the sound library reads to find its server, set aside while a test
// runs: nothing names one but what the test sets. HOME, XDG_CONFIG_HOME and
// XDG_RUNTIME_DIR are folders of the test's own (folder/home, /config,
// /runtime), holding nothing at first.
class ClientEnvironment {
public:
    explicit ClientEnvironment(const std::string& folder)
    {
        for (const char* name :
             {"PULSE_SERVER", "PULSE_CLIENTCONFIG", "DISPLAY", "HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
            const char* value = std::getenv(name);
            saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
            ::unsetenv(name);
        }
        for (const auto& [variable, name] : {std::pair<const char*, const char*>{"HOME", "home"},
                                             {"XDG_CONFIG_HOME", "config"},
                                             {"XDG_RUNTIME_DIR", "runtime"}}) {
            const std::string path = folder + "/" + name;
            ::mkdir(path.c_str(), 0700);
            ::setenv(variable, path.c_str(), 1);
        }
    }
    ~ClientEnvironment()
    {
        for (const auto& [name, value] : saved_)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    ClientEnvironment(const ClientEnvironment&) = delete;
    ClientEnvironment& operator=(const ClientEnvironment&) = delete;

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

std::string Replace(std::string text, const std::string& what, const std::string& with)
{
    for (std::size_t at; (at = text.find(what)) != std::string::npos;)
        text.replace(at, what.size(), with);
    return text;
}

std::string Output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;)
            text += char(c);
        ::pclose(pipe);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// A local TCP port nobody listens on (one just given up).
int RefusingPort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(s, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

// The rig's server listening on a local TCP port too, while it lasts.
class TcpListener {
public:
    explicit TcpListener(const std::string& server)
        : server_(server)
        , port_(RefusingPort())
    {
        module_ = Output("pactl --server='" + server_ + "' load-module module-native-protocol-tcp port="
                         + std::to_string(port_) + " listen=127.0.0.1 auth-anonymous=1 2>/dev/null");
    }
    ~TcpListener()
    {
        if (!module_.empty())
            (void)!std::system(("pactl --server='" + server_ + "' unload-module " + module_).c_str());
    }
    bool Listening() const { return !module_.empty(); }
    int Port() const { return port_; }

private:
    std::string server_;
    int port_;
    std::string module_;
};

// Whether the ALSA plugin, which the stream library opens the server through,
// reaches a server: it plays a moment of silence.
bool PluginReaches()
{
    return std::system("head -c 2 /dev/zero | aplay -q -D pulse -t raw -f S16_LE -r 8000 -c 1 2>/dev/null") == 0;
}

} // namespace

// Wherever the sound library would find the server, the question finds it:
// PULSE_SERVER in each of its forms, a client.conf, the runtime folder. A way
// the library does not follow (a client.conf under XDG_CONFIG_HOME, the X
// root window's PULSE_SERVER: the library of this system reads neither, nor
// so does the plugin) reaches nothing, and neither does a server that is
// stopped there or absent. The server is the rig's own, reached through a
// link of the test's that only the case names.
TEST(SoundServerProbe, TheServerIsFoundWhereverTheSoundLibraryFindsIt)
{
    const std::string rigServer = std::getenv("PULSE_SERVER") ? std::getenv("PULSE_SERVER") : "";
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    const std::string rigSocket = SoundRig::RigFolder() + "/pulse-runtime/native";
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    TcpListener tcp(rigServer);
    ASSERT_TRUE(tcp.Listening());
    std::string machine;
    std::ifstream("/etc/machine-id") >> machine;

    enum class Named { InPulseServer, ByConfigVariable, InHome, InConfigHome, InRuntimeFolder, OnRootWindow, Not };
    const struct {
        const char* way;
        Named named;
        // PULSE_SERVER, SOCKET, PORT and ID put in.
        const char* address;
        bool reached;
    } ways[] = {
        {"PULSE_SERVER unix:", Named::InPulseServer, "unix:SOCKET", true},
        {"PULSE_SERVER path", Named::InPulseServer, "SOCKET", true},
        {"PULSE_SERVER list, first missing", Named::InPulseServer, "unix:/nonexistent/pellora/native unix:SOCKET",
         true},
        {"PULSE_SERVER this machine's id", Named::InPulseServer, "{ID}unix:SOCKET", true},
        {"PULSE_SERVER another machine's id", Named::InPulseServer, "{0123456789abcdef}unix:SOCKET", false},
        {"PULSE_SERVER tcp:", Named::InPulseServer, "tcp:127.0.0.1:PORT", true},
        {"PULSE_CLIENTCONFIG", Named::ByConfigVariable, "unix:SOCKET", true},
        {"~/.config/pulse/client.conf", Named::InHome, "unix:SOCKET", true},
        {"XDG_CONFIG_HOME/pulse/client.conf", Named::InConfigHome, "unix:SOCKET", false},
        {"XDG_RUNTIME_DIR/pulse/native", Named::InRuntimeFolder, "", true},
        {"X root window PULSE_SERVER", Named::OnRootWindow, "unix:SOCKET", false},
        {"nothing", Named::Not, "", false},
    };
    enum class Server { Answering, Stopped, Absent };
    for (const auto& w : ways) {
        for (Server server : {Server::Answering, Server::Stopped, Server::Absent}) {
            const std::string what = std::string(w.way) + " / "
                + (server == Server::Answering     ? "answering"
                       : server == Server::Stopped ? "stopped"
                                                   : "absent");
            // Stopped before the rig's server is no longer named.
            std::optional<SoundRig::HungServer> hung;
            if (server == Server::Stopped) {
                ASSERT_TRUE(hung.emplace(std::chrono::seconds(10)).Stopped()) << what;
            }
            TempFolder folder;
            ClientEnvironment environment(folder.Path());
            const std::string link = w.named == Named::InRuntimeFolder ? folder.Path() + "/runtime/pulse/native"
                                                                       : folder.Path() + "/server/native";
            ::mkdir((folder.Path() + "/runtime/pulse").c_str(), 0700);
            ::mkdir((folder.Path() + "/server").c_str(), 0700);
            if (server != Server::Absent) {
                ASSERT_EQ(0, ::symlink(rigSocket.c_str(), link.c_str())) << what;
            }
            const std::string port = std::to_string(server == Server::Absent ? RefusingPort() : tcp.Port());
            const std::string address =
                Replace(Replace(Replace(w.address, "SOCKET", link), "PORT", port), "ID", machine);
            const std::string clientConf = "default-server = " + address + "\n";
            switch (w.named) {
            case Named::InPulseServer:
                ::setenv("PULSE_SERVER", address.c_str(), 1);
                break;
            case Named::ByConfigVariable:
                std::ofstream(folder.Path() + "/elsewhere.conf") << clientConf;
                ::setenv("PULSE_CLIENTCONFIG", (folder.Path() + "/elsewhere.conf").c_str(), 1);
                break;
            case Named::InHome:
                ::mkdir((folder.Path() + "/home/.config").c_str(), 0700);
                ::mkdir((folder.Path() + "/home/.config/pulse").c_str(), 0700);
                std::ofstream(folder.Path() + "/home/.config/pulse/client.conf") << clientConf;
                break;
            case Named::InConfigHome:
                ::mkdir((folder.Path() + "/config/pulse").c_str(), 0700);
                std::ofstream(folder.Path() + "/config/pulse/client.conf") << clientConf;
                break;
            case Named::OnRootWindow:
                ::setenv("DISPLAY", display.c_str(), 1);
                ASSERT_EQ(0,
                          std::system(("xprop -root -f PULSE_SERVER 8s -set PULSE_SERVER '" + address + "'").c_str()))
                    << what;
                break;
            case Named::InRuntimeFolder:
            case Named::Not:
                break;
            }
            SoundServerProbe probe;
            if (server == Server::Answering) {
                EXPECT_EQ(w.reached ? Reply::Answers : Reply::NotReached, probe.Ask(5000)) << what;
                EXPECT_EQ(w.reached, PluginReaches()) << what << ": the plugin does not agree";
            } else if (server == Server::Stopped) {
                EXPECT_EQ(w.reached ? Reply::Silent : Reply::NotReached, probe.Ask(300)) << what;
            } else {
                EXPECT_EQ(Reply::NotReached, probe.Ask(300)) << what;
            }
            if (w.named == Named::OnRootWindow)
                (void)!std::system("xprop -root -remove PULSE_SERVER");
        }
    }
    EXPECT_TRUE(SoundRig::ServerAnswers()) << "the rig's server was left as it was";
}

// A server that lets the question in answers it, however it does (lets the
// client in, refuses it, hangs up); one that does not let it in is silent;
// and where nothing listens, nothing is reached, at once.
TEST(SoundServerProbe, OnlyAServerThatReadsTheQuestionAnswersAndNoServerIsNotOneThatHangs)
{
    using Kind = FakeSoundServer::Kind;
    const struct {
        std::optional<Kind> kind;
        Reply reply;
    } cases[] = {
        {std::nullopt, Reply::NotReached}, {Kind::Gone, Reply::NotReached},   {Kind::Stopped, Reply::Silent},
        {Kind::Answering, Reply::Answers}, {Kind::HangingUp, Reply::Answers}, {Kind::Refusing, Reply::Answers},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        ClientEnvironment environment(folder.Path());
        const std::string socket = folder.Path() + "/native";
        ::setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
        std::optional<FakeSoundServer> server;
        if (c.kind) {
            ASSERT_TRUE(server.emplace(socket, *c.kind).Listening());
        }
        SoundServerProbe probe;
        EXPECT_EQ(c.reply, probe.Ask(500)) << (c.kind ? int(*c.kind) : -1);
        if (!c.kind) {
            EXPECT_EQ(Reply::NotReached, probe.Ask(0)) << "found out only by waiting";
        }
    }
}

// A question left unanswered by the rig's stopped server is answered once it
// goes on, and a later look that waits for nothing finds that answer. Looks
// meanwhile take one place in its short queue of clients, not one each (a
// full queue turns the sound libraries away).
TEST(SoundServerProbe, TheRigsServerStoppedAnswersTheQuestionLeftOnceItGoesOn)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    SoundServerProbe probe;
    {
        SoundRig::HungServer server(std::chrono::seconds(30));
        ASSERT_TRUE(server.Stopped());
        for (int look = 0; look < 20; ++look)
            EXPECT_EQ(Reply::Silent, probe.Ask(look % 2 ? 0 : 50)) << look;
    }
    EXPECT_TRUE(SoundRig::WaitFor([&] { return probe.Ask(0) == Reply::Answers; }, 2000));
    EXPECT_TRUE(SoundRig::ServerAnswers()) << "other clients are let in";
}

// Without PulseAudio's client library (or with one that lacks a function) no
// server is reached, even the rig's, which answers: sound goes to ALSA as it
// is set up. The log says which library and why.
TEST(SoundServerProbe, WithoutTheClientLibraryNoServerIsReachedAndTheLogSaysWhy)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    for (const char* library : {"libpellora-no-such-library.so.0", "libsndfile.so.1"}) {
        Platform::LogCapture log;
        Platform::PulseClientLibrary missing(library);
        EXPECT_FALSE(missing.IsLoaded()) << library;
        SoundServerProbe probe(missing);
        EXPECT_EQ(Reply::NotReached, probe.Ask(500)) << library;
        EXPECT_TRUE(log.Contains(library)) << library;
    }
    EXPECT_EQ(Reply::Answers, SoundServerProbe().Ask(5000));
}

// A stopped server lets no client in, and once its short queue of clients
// waiting to be let in is full it turns the next away, as if none ran. A
// server that was silent to a question is silent still to the questions that
// follow, until one answers: the library ends an unanswered question after
// its own time (half a minute), and the next question finds the queue full.
TEST(SoundServerProbe, AServerSilentBeforeIsSilentStillWhenItsFullQueueTurnsTheQuestionAway)
{
    TempFolder folder;
    ClientEnvironment environment(folder.Path());
    const std::string socketPath = folder.Path() + "/native";
    ::setenv("PULSE_SERVER", ("unix:" + socketPath).c_str(), 1);
    FakeSoundServer server(socketPath, FakeSoundServer::Kind::Stopped);
    ASSERT_TRUE(server.Listening());
    SoundServerProbe probe;
    ASSERT_EQ(Reply::Silent, probe.Ask(100));
    // Other clients fill the queue.
    std::vector<int> waiting;
    for (;;) {
        const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
        if (::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(client);
            break;
        }
        waiting.push_back(client);
    }
    ASSERT_FALSE(waiting.empty());
    // Past the library's time for the question asked first.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(35);
    int asked = 0;
    while (std::chrono::steady_clock::now() < end) {
        ASSERT_EQ(Reply::Silent, probe.Ask(asked++ % 2 ? 0 : 200)) << "look " << asked;
        ::usleep(200 * 1000);
    }
    for (int client : waiting)
        ::close(client);
}
