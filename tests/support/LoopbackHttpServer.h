#pragma once
// A tiny HTTP/1.1 server for tests, on 127.0.0.1 at a free port, serving
// canned answers from its own thread and counting the requests per path.
// Traffic never leaves the loopback interface; it stops with the object.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace TestSupport {

class LoopbackHttpServer {
public:
    struct Answer {
        int status = 200;
        std::string body;
        std::string extraHeaders; // each line ending in "\r\n"
        long declaredLength = -1; // Content-Length to claim; -1: the body's size
        // Whole: the answer as given. Hang: reads the request and never
        // answers. Endless: headers without a length, then the body over and
        // over until the client gives up. Both last at most until the server stops.
        enum Behaviour { Whole, Hang, Endless } behaviour = Whole;
    };

    LoopbackHttpServer()
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

    ~LoopbackHttpServer()
    {
        stop_ = true;
        thread_.join();
        close(listener_);
    }

    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void Serve(const std::string& path, const Answer& answer)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_[path] = answer;
    }

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

    int Requests(const std::string& path) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = requests_.find(path);
        return found == requests_.end() ? 0 : found->second;
    }

private:
    void Run()
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

    void Reply(int client)
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
        const long length = answer.declaredLength >= 0 ? answer.declaredLength : static_cast<long>(answer.body.size());
        const std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " Test\r\n" + "Content-Length: "
            + std::to_string(length) + "\r\n" + answer.extraHeaders + "Connection: close\r\n\r\n" + answer.body;
        SendAll(client, response);
    }

    bool SendAll(int client, const std::string& bytes)
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

    // Waits a little for the client; true once it has closed its end.
    static bool ClientGone(int client)
    {
        pollfd readable{client, POLLIN, 0};
        if (poll(&readable, 1, 20) <= 0)
            return false;
        char byte;
        return recv(client, &byte, 1, MSG_PEEK) <= 0;
    }

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::map<std::string, int> requests_;
    std::thread thread_;
};

} // namespace TestSupport
