#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace TestSupport {

LoopbackHttpServer::LoopbackHttpServer()
{
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0)
        throw std::runtime_error("test server: no socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 8) != 0
        || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(listener_);
        throw std::runtime_error("test server: cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stop_ = true;
    thread_.join();
    close(listener_);
}

void LoopbackHttpServer::Serve(const std::string& path, const Answer& answer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[path] = answer;
}

int LoopbackHttpServer::Requests(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = requests_.find(path);
    return found == requests_.end() ? 0 : found->second;
}

void LoopbackHttpServer::Run()
{
    while (!stop_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 20) <= 0)
            continue;
        const int client = accept(listener_, nullptr, nullptr);
        if (client < 0)
            continue;
        Reply(client);
        close(client);
    }
}

void LoopbackHttpServer::Reply(int client)
{
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd readable{client, POLLIN, 0};
        if (poll(&readable, 1, 2000) <= 0)
            return;
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, static_cast<size_t>(n));
    }
    const size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);

    Answer answer;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++requests_[path];
        const auto found = answers_.find(path);
        if (found == answers_.end())
            answer = Answer{404, "no such test file", "", -1};
        else
            answer = found->second;
    }
    if (answer.behaviour == Answer::Hang) {
        while (!stop_ && !ClientGone(client))
            ;
        return;
    }
    if (answer.behaviour == Answer::Endless) {
        const std::string head = "HTTP/1.1 200 Test\r\nConnection: close\r\n\r\n";
        if (!SendAll(client, head))
            return;
        const std::string chunk = answer.body.empty() ? std::string(4096, 'x') : answer.body;
        while (!stop_ && SendAll(client, chunk))
            ;
        return;
    }
    if (answer.behaviour == Answer::Chunked || answer.behaviour == Answer::UntilClose) {
        const bool chunked = answer.behaviour == Answer::Chunked;
        std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " Test\r\n" + answer.extraHeaders
            + (chunked ? "Transfer-Encoding: chunked\r\n" : "") + "Connection: close\r\n\r\n";
        if (!chunked)
            response += answer.body;
        for (size_t at = 0; chunked && at < answer.body.size(); at += 1000) {
            const std::string piece = answer.body.substr(at, 1000);
            char size[16];
            std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
            response += size + piece + "\r\n";
        }
        if (chunked)
            response += "0\r\n\r\n";
        SendAll(client, response);
        return;
    }
    const long length = answer.declaredLength >= 0 ? answer.declaredLength : static_cast<long>(answer.body.size());
    const std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " Test\r\n" + "Content-Length: "
        + std::to_string(length) + "\r\n" + answer.extraHeaders + "Connection: close\r\n\r\n" + answer.body;
    SendAll(client, response);
}

bool LoopbackHttpServer::SendAll(int client, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        pollfd writable{client, POLLOUT, 0};
        if (poll(&writable, 1, 20) <= 0) {
            if (stop_)
                return false;
            continue;
        }
        const ssize_t n = send(client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool LoopbackHttpServer::ClientGone(int client)
{
    pollfd readable{client, POLLIN, 0};
    if (poll(&readable, 1, 20) <= 0)
        return false;
    char byte;
    return recv(client, &byte, 1, MSG_PEEK) <= 0;
}

} // namespace TestSupport
