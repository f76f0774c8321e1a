#include "support/FakeSoundServer.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

FakeSoundServer::FakeSoundServer(const std::string& socketPath, Kind kind)
{
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    listening_ = ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::listen(listener_, 4) == 0;
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
        // The question is a packet of 30 bytes: command 20 ends at byte 24.
        unsigned char packet[30] = {};
        const bool read = kind != Kind::HangingUp
            && ::recv(client, packet, sizeof packet, MSG_WAITALL) == ssize_t(sizeof packet);
        if (read && (kind == Kind::Answering || packet[24] == 20)) {
            (void)!::write(client, "!", 1);
        } else if (kind == Kind::AnsweringTheQuestionOnly) {
            std::lock_guard<std::mutex> lock(mutex_);
            held_.push_back(client);
            continue;
        }
        ::close(client);
    }
}
