#pragma once
// One running copy of the program per key (the settings file it writes): the
// first start holds an abstract unix socket named after the key, which the
// kernel frees when the process ends, so nothing stale is ever left behind. A
// later start finds the name taken, asks the holder to come forward and leaves.
#include <functional>
#include <string>
#include <thread>

namespace Platform {

class SingleInstance {
public:
    enum class Outcome {
        First,     // this copy holds the name
        Forwarded, // another copy holds it and was asked to come forward
        Failed     // neither: the reason is logged
    };

    explicit SingleInstance(const std::string& key);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Outcome Claim();
    // After First: onRequest runs on a listening thread of its own whenever a
    // later start asks; it must hand the work to the GUI thread itself.
    void Listen(std::function<void()> onRequest);
    // Ends the listening; later starts then find no one and start themselves.
    void Stop();

private:
    bool Forward();

    std::string name_;
    int socket_ = -1;
    int wake_[2] = {-1, -1};
    std::thread listener_;
};

} // namespace Platform
