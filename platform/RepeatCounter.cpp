#include "platform/RepeatCounter.h"

namespace Platform {
namespace {

bool IsPowerOfTen(unsigned long long n)
{
    while (n >= 10 && n % 10 == 0)
        n /= 10;
    return n == 1;
}

} // namespace

std::string RepeatCounter::Pass(const std::string& message)
{
    auto it = counts_.find(message);
    if (it == counts_.end()) {
        if (counts_.size() < capacity_) {
            counts_.emplace(message, 1);
            return message;
        }
        ++others_;
        if (others_ == 1)
            return message + " (further different messages are only counted)";
        return IsPowerOfTen(others_) ? std::to_string(others_) + " different messages so far beyond the first "
                + std::to_string(capacity_)
                                     : std::string();
    }
    const unsigned long long count = ++it->second;
    return IsPowerOfTen(count) ? message + " (" + std::to_string(count) + " times so far)" : std::string();
}

} // namespace Platform
