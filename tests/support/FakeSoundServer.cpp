#include "support/FakeSoundServer.h"

#include <cstdint>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// The native protocol's commands met in a greeting, and an error code.
constexpr std::uint32_t CommandError = 0;
constexpr std::uint32_t CommandReply = 2;
constexpr std::uint32_t CommandAuth = 8;
constexpr std::uint32_t ErrorAccess = 1;
// The protocol version told to a client: one that offers no shared memory.
constexpr std::uint32_t ProtocolVersion = 32;

std::uint32_t Word(const unsigned char* at)
{
    return std::uint32_t(at[0]) << 24 | std::uint32_t(at[1]) << 16 | std::uint32_t(at[2]) << 8 | at[3];
}

void PutWord(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

// Reads one command packet: its descriptor (length, channel, two offset
// words, flags; big-endian), then its payload, which starts with the command
// and its tag, each a tagged 32-bit number ('L').
bool ReadCommand(int client, std::uint32_t& command, std::uint32_t& tag)
{
    unsigned char descriptor[20];
    if (::recv(client, descriptor, sizeof descriptor, MSG_WAITALL) != ssize_t(sizeof descriptor))
        return false;
    const std::uint32_t length = Word(descriptor);
    if (length < 10 || length > 65536)
        return false;
    std::vector<unsigned char> payload(length);
    if (::recv(client, payload.data(), length, MSG_WAITALL) != ssize_t(length) || payload[0] != 'L'
        || payload[5] != 'L')
        return false;
    command = Word(&payload[1]);
    tag = Word(&payload[6]);
    return true;
}

// Sends a command packet of three tagged numbers: command, tag and a value.
void Send(int client, std::uint32_t command, std::uint32_t tag, std::uint32_t value)
{
    unsigned char packet[35] = {};
    PutWord(&packet[0], 15);
    PutWord(&packet[4], 0xFFFFFFFFu);
    const std::uint32_t words[] = {command, tag, value};
    for (int i = 0; i < 3; ++i) {
        packet[20 + 5 * i] = 'L';
        PutWord(&packet[21 + 5 * i], words[i]);
    }
    (void)!::send(client, packet, sizeof packet, MSG_NOSIGNAL);
}

} // namespace

FakeSoundServer::FakeSoundServer(const std::string& socketPath, Kind kind)
{
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    listening_ =
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(listener_, 4) == 0;
    if (kind == Kind::Gone) {
        ::close(listener_);
        listener_ = -1;
    } else if (kind != Kind::Stopped) {
        server_ = std::thread([this, kind] { Serve(kind); });
    }
}

FakeSoundServer::~FakeSoundServer()
{
    if (listener_ >= 0)
        ::shutdown(listener_, SHUT_RDWR);
    if (server_.joinable())
        server_.join();
    if (listener_ >= 0)
        ::close(listener_);
    for (int client : held_)
        ::close(client);
}

void FakeSoundServer::Serve(Kind kind)
{
    for (int client; (client = ::accept(listener_, nullptr, nullptr)) >= 0;) {
        const timeval second{1, 0};
        ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &second, sizeof second);
        std::uint32_t command = 0, tag = 0;
        const bool asked = ReadCommand(client, command, tag);
        if (asked && kind == Kind::Refusing) {
            Send(client, CommandError, tag, ErrorAccess);
        } else if (asked && (kind == Kind::Answering || kind == Kind::AnsweringTheGreetingOnly)) {
            // Authentication is answered with the protocol version, the
            // client's name with its index.
            Send(client, CommandReply, tag, command == CommandAuth ? ProtocolVersion : 0);
            if (ReadCommand(client, command, tag))
                Send(client, CommandReply, tag, 0);
            if (kind == Kind::AnsweringTheGreetingOnly) {
                std::lock_guard<std::mutex> lock(mutex_);
                held_.push_back(client);
                continue;
            }
        }
        ::close(client);
    }
}
