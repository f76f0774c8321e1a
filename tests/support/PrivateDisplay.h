// An X server (Xvfb) of one test's own, on a free display number, named by
// $DISPLAY for the test and the programs it starts meanwhile; a test may kill
// it as a session's end or a dropped remote display would. The server goes and
// the old $DISPLAY comes back with the object. A server that refuses strangers
// lets in only the clients that show a cookie kept in a file of its own, which
// none is given.
#pragma once
#include <sys/types.h>

#include <string>

class PrivateDisplay {
public:
    enum class Access { Open, RefusesStrangers };
    explicit PrivateDisplay(Access access = Access::Open);
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // The server answered on its display (":N").
    bool Running() const { return !name_.empty(); }
    const std::string& Name() const { return name_; }

    // Kills the server at once, as a crash or a dropped connection would.
    void Kill();
    // Stops the server (SIGSTOP) for good: its clients' connections stay,
    // and what waits for an answer waits until the server is killed.
    void Hang();

private:
    pid_t pid_ = -1;
    std::string name_;
    std::string oldDisplay_;
    std::string cookieFile_;
    bool hadDisplay_ = false;
};
