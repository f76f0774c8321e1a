#pragma once
// The diagnostic log: every diagnostic message of the program goes through Log().
// Messages are discarded unless PELLORA_LOG is set (then they go to stderr, a
// message said again only at its 10th, 100th... time); tests capture them with
// a LogCapture.
#include <string>
#include <vector>

namespace Platform {

void Log(const std::string& message);

// Collects every message logged during its lifetime, repeats included (and
// still passes them on to stderr when PELLORA_LOG is set).
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<std::string>& Messages() const { return messages_; }
    // True when some message contains the text.
    bool Contains(const std::string& text) const;
    void Clear() { messages_.clear(); }

private:
    friend void Log(const std::string& message);
    std::vector<std::string> messages_;
    LogCapture* previous_;
};

} // namespace Platform
