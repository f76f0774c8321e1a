#pragma once
// Keeps a stream of messages that may repeat without end (a sound library
// reporting each failed attempt to reach a device that is gone) from growing
// the log without bound: a message passes the first time, and its repeats
// are only counted and said at 10, 100, 1000... Only so many different
// messages are remembered; those beyond are counted together the same way.
#include <cstddef>
#include <map>
#include <string>

namespace Platform {

class RepeatCounter {
public:
    static constexpr std::size_t DefaultCapacity = 256;

    explicit RepeatCounter(std::size_t capacity = DefaultCapacity)
        : capacity_(capacity)
    {
    }

    // The line to log for this message, or an empty string when it is a
    // repeat not due to be said.
    std::string Pass(const std::string& message);

private:
    std::size_t capacity_;
    std::map<std::string, unsigned long long> counts_;
    unsigned long long others_ = 0;
};

} // namespace Platform
