#pragma once
// A TCP proxy on the loopback interface that holds every reply of the server
// behind it a fixed time, as a server over a network or on a loaded machine
// answers: what the client sends goes on at once, what the server sends
// reaches the client `holdMs` later, in order. Test support: it serves a few
// connections at most, only from this machine, and ends by itself after its
// time (or when destroyed), closing every connection.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class SlowLink {
public:
    static constexpr int MaxConnections = 32;

    SlowLink(int serverPort, int holdMs, std::chrono::seconds lifetime = std::chrono::minutes(3))
        : serverPort_(serverPort)
        , holdMs_(holdMs)
        , end_(Clock::now() + lifetime)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = Loopback(0);
        socklen_t length = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(listener_, 8) != 0
            || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~SlowLink()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (listener_ >= 0)
            ::close(listener_);
    }
    SlowLink(const SlowLink&) = delete;
    SlowLink& operator=(const SlowLink&) = delete;

    // The port clients connect to; 0 when the proxy could not start.
    int Port() const { return port_; }

private:
    using Clock = std::chrono::steady_clock;
    struct Chunk {
        Clock::time_point due;
        std::string bytes;
    };
    struct Link {
        int client = -1;
        int server = -1;
        std::deque<Chunk> replies;
        bool serverClosed = false;
    };

    static sockaddr_in Loopback(int port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(std::uint16_t(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }

    static void Close(Link& link)
    {
        ::close(link.client);
        if (link.server >= 0)
            ::close(link.server);
        link.client = link.server = -1;
    }

    // Moves what one side sent on; false when that side closed.
    static bool Pass(int from, int to)
    {
        char buffer[65536];
        const ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
        return n > 0 && ::send(to, buffer, std::size_t(n), MSG_NOSIGNAL) == n;
    }

    void Accept(std::vector<Link>& links)
    {
        Link link;
        link.client = ::accept(listener_, nullptr, nullptr);
        if (link.client < 0)
            return;
        link.server = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in server = Loopback(serverPort_);
        if (int(links.size()) >= MaxConnections || link.server < 0
            || ::connect(link.server, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0) {
            Close(link);
            return;
        }
        links.push_back(link);
    }

    void Serve()
    {
        std::vector<Link> links;
        while (!stop_ && Clock::now() < end_) {
            std::vector<pollfd> fds{{listener_, POLLIN, 0}};
            for (const Link& l : links) {
                fds.push_back({l.client, POLLIN, 0});
                fds.push_back({l.serverClosed ? -1 : l.server, POLLIN, 0});
            }
            int wait = 20;
            for (const Link& l : links)
                if (!l.replies.empty())
                    wait = std::min<int>(wait,
                                         int(std::max<long long>(0,
                                                                 std::chrono::duration_cast<std::chrono::milliseconds>(
                                                                     l.replies.front().due - Clock::now())
                                                                     .count())));
            ::poll(fds.data(), nfds_t(fds.size()), wait);
            for (std::size_t i = 0; i < links.size(); ++i) {
                Link& l = links[i];
                if ((fds[1 + 2 * i].revents & (POLLIN | POLLHUP | POLLERR)) && !Pass(l.client, l.server))
                    Close(l);
                if (l.client >= 0 && (fds[2 + 2 * i].revents & (POLLIN | POLLHUP | POLLERR))) {
                    char buffer[65536];
                    const ssize_t n = ::recv(l.server, buffer, sizeof buffer, 0);
                    if (n > 0)
                        l.replies.push_back(
                            {Clock::now() + std::chrono::milliseconds(holdMs_), std::string(buffer, std::size_t(n))});
                    else
                        l.serverClosed = true;
                }
                while (l.client >= 0 && !l.replies.empty() && l.replies.front().due <= Clock::now()) {
                    const std::string& bytes = l.replies.front().bytes;
                    if (::send(l.client, bytes.data(), bytes.size(), MSG_NOSIGNAL) != ssize_t(bytes.size()))
                        Close(l);
                    else
                        l.replies.pop_front();
                }
                // A server that hung up is passed on once its last reply is.
                if (l.client >= 0 && l.serverClosed && l.replies.empty())
                    Close(l);
            }
            if (fds[0].revents & POLLIN)
                Accept(links);
            links.erase(std::remove_if(links.begin(), links.end(), [](const Link& l) { return l.client < 0; }),
                        links.end());
        }
        for (Link& l : links)
            Close(l);
    }

    const int serverPort_;
    const int holdMs_;
    const Clock::time_point end_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
