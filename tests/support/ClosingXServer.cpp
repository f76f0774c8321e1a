#include "support/ClosingXServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

bool ReadAll(int socket, void* to, std::size_t count)
{
    auto* bytes = static_cast<char*>(to);
    while (count > 0) {
        const ssize_t got = read(socket, bytes, count);
        if (got <= 0)
            return false;
        bytes += got;
        count -= std::size_t(got);
    }
    return true;
}

void Put(std::vector<unsigned char>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// The answer to a client's setup, least significant byte first: one screen
// of 640 x 480 with one true-colour visual of depth 24.
std::vector<unsigned char> Welcome()
{
    std::vector<unsigned char> data;
    Put(data, 1, 4); // release
    Put(data, 0x00200000, 4); // resource id base
    Put(data, 0x001FFFFF, 4); // resource id mask
    Put(data, 256, 4); // motion buffer
    Put(data, 4, 2); // vendor's length
    Put(data, 0xFFFF, 2); // longest request
    for (const std::uint32_t byte : {1u, 1u, 0u, 0u, 32u, 32u, 8u, 255u}) // screens, formats, orders, units, keycodes
        Put(data, byte, 1);
    Put(data, 0, 4);
    data.insert(data.end(), {'T', 'e', 's', 't'});
    for (const std::uint32_t byte : {24u, 32u, 32u, 0u, 0u, 0u, 0u, 0u}) // a pixmap format
        Put(data, byte, 1);
    Put(data, 0x100, 4); // root window
    Put(data, 0x20, 4); // colormap
    Put(data, 0xFFFFFF, 4);
    Put(data, 0, 4);
    Put(data, 0, 4); // input masks
    for (const std::uint32_t value : {640u, 480u, 170u, 127u, 1u, 1u})
        Put(data, value, 2);
    Put(data, 0x21, 4); // root visual
    for (const std::uint32_t byte : {0u, 0u, 24u, 1u}) // backing stores, save unders, depth, depths
        Put(data, byte, 1);
    Put(data, 24, 1); // the depth, with one visual
    Put(data, 0, 1);
    Put(data, 1, 2);
    Put(data, 0, 4);
    Put(data, 0x21, 4); // the visual: true colour, 8 bits a channel
    Put(data, 4, 1);
    Put(data, 8, 1);
    Put(data, 256, 2);
    for (const std::uint32_t mask : {0xFF0000u, 0xFF00u, 0xFFu, 0u})
        Put(data, mask, 4);
    std::vector<unsigned char> reply;
    Put(reply, 1, 1);
    Put(reply, 0, 1);
    Put(reply, 11, 2);
    Put(reply, 0, 2);
    Put(reply, std::uint32_t(data.size() / 4), 2);
    reply.insert(reply.end(), data.begin(), data.end());
    return reply;
}

int Padded(int length)
{
    return (length + 3) & ~3;
}

// Answers the client's setup and closes the connection at its first request.
void LetInAndClose(int client)
{
    unsigned char setup[12];
    if (ReadAll(client, setup, sizeof setup) && setup[0] == 'l') {
        std::vector<char> authorization(std::size_t(Padded(setup[6] | setup[7] << 8) + Padded(setup[8] | setup[9] << 8)));
        if (ReadAll(client, authorization.data(), authorization.size())) {
            const std::vector<unsigned char> welcome = Welcome();
            if (write(client, welcome.data(), welcome.size()) == ssize_t(welcome.size())) {
                char request;
                ReadAll(client, &request, 1);
            }
        }
    }
    close(client);
}

} // namespace

ClosingXServer::ClosingXServer()
{
    mkdir("/tmp/.X11-unix", 01777);
    for (int number = 5400; number < 5500 && listener_ < 0; ++number) {
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        struct stat info;
        if (stat(path.c_str(), &info) == 0 || stat(lock.c_str(), &info) == 0)
            continue;
        const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(listener, 8) == 0) {
            listener_ = listener;
            path_ = path;
            name_ = ":" + std::to_string(number);
        } else {
            close(listener);
        }
    }
    if (listener_ >= 0)
        thread_ = std::thread([this] { Serve(); });
}

ClosingXServer::~ClosingXServer()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0) {
        close(listener_);
        unlink(path_.c_str());
    }
}

void ClosingXServer::Serve()
{
    while (!stop_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0)
            continue;
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0)
            LetInAndClose(client);
    }
}
