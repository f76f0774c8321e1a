#include "platform/SingleInstance.h"

#include "platform/Log.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace Platform {
namespace {

const char kRaise[] = "raise\n";

// The socket's address in the abstract namespace: a leading zero byte, then
// the name, which holds the user's id and a hash of the key (keys are folder
// names, often longer than an address may be).
socklen_t AddressOf(const std::string& name, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const std::size_t length = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), length);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

std::string NameOf(const std::string& key)
{
    // FNV-1a: stable from run to run, unlike std::hash.
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : key) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char text[64];
    std::snprintf(text, sizeof text, "vintrel-pellora-%u-%016llx", static_cast<unsigned>(getuid()),
                  static_cast<unsigned long long>(hash));
    return text;
}

} // namespace

SingleInstance::SingleInstance(const std::string& key)
    : name_(NameOf(key))
{
}

SingleInstance::~SingleInstance()
{
    Stop();
}

SingleInstance::Outcome SingleInstance::Claim()
{
    // The holder may be just ending: its name is then free a moment later.
    for (int attempt = 0; attempt < 3; ++attempt) {
        socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (socket_ < 0) {
            Log(std::string("SingleInstance - no socket: ") + std::strerror(errno));
            return Outcome::Failed;
        }
        sockaddr_un address;
        const socklen_t length = AddressOf(name_, address);
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(socket_, 4) == 0)
            return Outcome::First;
        const int error = errno;
        ::close(socket_);
        socket_ = -1;
        if (error != EADDRINUSE) {
            Log(std::string("SingleInstance - cannot hold the name: ") + std::strerror(error));
            return Outcome::Failed;
        }
        if (Forward())
            return Outcome::Forwarded;
        ::usleep(100 * 1000);
    }
    Log("SingleInstance - another copy holds the name but does not answer");
    return Outcome::Failed;
}

bool SingleInstance::Forward()
{
    const int peer = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (peer < 0)
        return false;
    sockaddr_un address;
    const socklen_t length = AddressOf(name_, address);
    const bool sent = ::connect(peer, reinterpret_cast<sockaddr*>(&address), length) == 0
        && ::send(peer, kRaise, sizeof kRaise - 1, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof kRaise - 1);
    ::close(peer);
    return sent;
}

void SingleInstance::Listen(std::function<void()> onRequest)
{
    if (socket_ < 0 || listener_.joinable())
        return;
    if (::pipe2(wake_, O_CLOEXEC) != 0) {
        Log(std::string("SingleInstance - no pipe to stop the listener: ") + std::strerror(errno));
        return;
    }
    listener_ = std::thread([this, onRequest = std::move(onRequest)] {
        for (;;) {
            pollfd watched[2] = {{socket_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
            if (::poll(watched, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (watched[1].revents != 0)
                return;
            const int peer = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
            if (peer < 0)
                continue;
            // Whatever was sent, a connection is a request to come forward;
            // reading it first keeps the sender from seeing a reset.
            char buffer[sizeof kRaise];
            pollfd readable{peer, POLLIN, 0};
            if (::poll(&readable, 1, 200) > 0)
                (void)::recv(peer, buffer, sizeof buffer, 0);
            ::close(peer);
            onRequest();
        }
    });
}

void SingleInstance::Stop()
{
    if (listener_.joinable()) {
        const char stop = 0;
        (void)::write(wake_[1], &stop, 1);
        listener_.join();
    }
    for (int& fd : wake_) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    if (socket_ >= 0)
        ::close(socket_);
    socket_ = -1;
}

} // namespace Platform
