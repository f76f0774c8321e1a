#include "platform/SoundServerProbe.h"

#include "platform/Log.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <optional>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace Platform {

namespace {

// One packet of the native protocol: its descriptor (length, channel, two
// offset words and flags, big-endian; channel -1 for commands), then the
// command and a tag, each a tagged 32-bit number ('L'). The command asks for
// the server's information: harmless, and answered (or refused, to a client
// not yet authorised) before anything else the server has queued for it.
constexpr std::uint32_t GetServerInfo = 20;
constexpr std::uint32_t QuestionTag = 1;

void PutWord(unsigned char* at, std::uint32_t value)
{
    at[0] = static_cast<unsigned char>(value >> 24);
    at[1] = static_cast<unsigned char>(value >> 16);
    at[2] = static_cast<unsigned char>(value >> 8);
    at[3] = static_cast<unsigned char>(value);
}

std::array<unsigned char, 30> Question()
{
    std::array<unsigned char, 30> packet{};
    PutWord(&packet[0], 10);
    PutWord(&packet[4], 0xFFFFFFFFu);
    packet[20] = 'L';
    PutWord(&packet[21], GetServerInfo);
    packet[25] = 'L';
    PutWord(&packet[26], QuestionTag);
    return packet;
}

} // namespace

SoundServerProbe::SoundServerProbe(std::string socketPath)
    : path_(std::move(socketPath))
{
}

SoundServerProbe::~SoundServerProbe()
{
    Forget();
}

void SoundServerProbe::Forget()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::optional<SoundServerProbe::Reply> SoundServerProbe::SendQuestion()
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.empty() || path_.size() >= sizeof address.sun_path)
        return Reply::NotReached;
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        Log(std::string("audio: cannot ask the sound server whether it answers: ") + std::strerror(errno));
        return Reply::NotReached;
    }
    // A local connection is made at once, or refused at once: EAGAIN says
    // that the server lets no client in (its queue is full of them).
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        Forget();
        return error == EAGAIN ? Reply::Silent : Reply::NotReached;
    }
    const auto question = Question();
    if (::send(fd_, question.data(), question.size(), MSG_NOSIGNAL) != ssize_t(question.size())) {
        Forget();
        return Reply::NotReached;
    }
    return std::nullopt;
}

SoundServerProbe::Reply SoundServerProbe::Ask(Milliseconds waitMs)
{
    // An answer already waiting may be old: who can wait asks again.
    if (fd_ >= 0 && waitMs > 0 && Poll(0) != Reply::Silent)
        Forget();
    if (fd_ < 0)
        if (const std::optional<Reply> notAsked = SendQuestion())
            return *notAsked;
    return Poll(waitMs);
}

SoundServerProbe::Reply SoundServerProbe::Poll(Milliseconds waitMs)
{
    pollfd question{fd_, POLLIN, 0};
    const int ready = ::poll(&question, 1, int(waitMs));
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return Reply::Silent;
    const int error = errno;
    // Anything back, an answer or the connection closed, says the server
    // read the question; nothing more of it is needed.
    Forget();
    if (ready < 0) {
        Log(std::string("audio: waiting for the sound server's answer failed: ") + std::strerror(error));
        return Reply::NotReached;
    }
    return Reply::Answers;
}

std::string SoundServerProbe::SocketPath(const char* pulseServer, const char* runtimeDir)
{
    if (pulseServer && *pulseServer) {
        std::istringstream servers(pulseServer);
        for (std::string server; servers >> server;) {
            // "{machine id}" limits an entry to one machine; a local socket is ours.
            if (server.front() == '{') {
                const std::size_t end = server.find('}');
                server.erase(0, end == std::string::npos ? server.size() : end + 1);
            }
            if (server.compare(0, 5, "unix:") == 0)
                server.erase(0, 5);
            if (!server.empty() && server.front() == '/')
                return server;
        }
        return std::string();
    }
    if (runtimeDir && *runtimeDir)
        return std::string(runtimeDir) + "/pulse/native";
    return std::string();
}

std::string SoundServerProbe::SocketPath()
{
    return SocketPath(std::getenv("PULSE_SERVER"), std::getenv("XDG_RUNTIME_DIR"));
}

} // namespace Platform
