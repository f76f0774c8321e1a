#pragma once
// A tiny HTTP/1.1 server for tests, on 127.0.0.1 at a free port, serving
// canned answers from its own thread and counting the requests per path.
// Traffic never leaves the loopback interface; it stops with the object.
#include <atomic>
#include <map>
#include <mutex>
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
        // over until the client gives up. Both last at most until the server
        // stops. Chunked: the body in chunks of up to 1000 bytes, with no
        // length. UntilClose: the body with no length, its end told only by
        // the closed connection.
        enum Behaviour { Whole, Hang, Endless, Chunked, UntilClose } behaviour = Whole;
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void Serve(const std::string& path, const Answer& answer);
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    int Requests(const std::string& path) const;

private:
    void Run();
    void Reply(int client);
    bool SendAll(int client, const std::string& bytes);
    // Waits a little for the client; true once it has closed its end.
    static bool ClientGone(int client);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::map<std::string, int> requests_;
    std::thread thread_;
};

} // namespace TestSupport
