// A picture download, whatever the server answers: the fuzzer's bytes are the
// whole HTTP response of a server on the loopback interface, and what the
// download path caches is then read as a picture.
#include "framework/drawing/Image.h"
#include "framework/widgets/PictureDownload.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

namespace {

// Answers every connection with the current response, then closes it.
class RawServer {
public:
    RawServer()
    {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || listen(listener_, 8) != 0
            || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            std::abort();
        port_ = ntohs(address.sin_port);
        std::thread([this] { Run(); }).detach();
    }

    void SetResponse(std::string response)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        response_ = std::move(response);
    }
    int Port() const { return port_; }

private:
    void Run()
    {
        for (;;) {
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0)
                continue;
            char request[4096];
            pollfd wait{client, POLLIN, 0};
            if (poll(&wait, 1, 1000) > 0)
                (void)recv(client, request, sizeof request, 0);
            std::string response;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                response = response_;
            }
            std::size_t sent = 0;
            while (sent < response.size()) {
                const ssize_t n = send(client, response.data() + sent, response.size() - sent, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                sent += static_cast<std::size_t>(n);
            }
            close(client);
        }
    }

    int listener_ = -1;
    int port_ = 0;
    std::mutex mutex_;
    std::string response_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path cache
        = std::filesystem::temp_directory_path() / ("pellora-fuzz-download-" + std::to_string(::getpid()));
    static const bool cacheSet
        = (std::filesystem::create_directories(cache), ::setenv("XDG_CACHE_HOME", cache.c_str(), 1) == 0);
    static RawServer server;
    static unsigned long run = 0;
    if (!cacheSet)
        std::abort();
    server.SetResponse(std::string(reinterpret_cast<const char*>(data), size));

    // A new address each time, so that nothing is answered from the cache.
    const std::string address
        = "http://127.0.0.1:" + std::to_string(server.Port()) + "/picture" + std::to_string(++run) + ".png";
    Platform::HttpFetchLimits limits;
    limits.totalTimeoutMs = 2000;
    // A redirect would lead the download off this machine's loopback server.
    limits.maxRedirects = 0;
    std::string cacheFile;
    if (Vabo::DownloadPicture(address, cacheFile, limits)) {
        try {
            GdiplusGfxLayer::Image picture(cacheFile);
        } catch (const GdiplusGfxLayer::Image::InvalidImageException&) {
            // Refusing what does not decode is the expected answer.
        }
        std::error_code ignored;
        std::filesystem::remove(cacheFile, ignored);
    }
    return 0;
}
