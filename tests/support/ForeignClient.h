#pragma once
// Another X client on the display that $DISPLAY names, with a connection of
// its own: what other programs do to our windows, such as a drag whose source
// window closed before its messages arrived, or destroying a window of ours.
#include <string>

typedef struct _XDisplay Display;

class ForeignClient {
public:
    ForeignClient();
    ~ForeignClient();
    ForeignClient(const ForeignClient&) = delete;
    ForeignClient& operator=(const ForeignClient&) = delete;

    bool Connected() const { return display_ != nullptr; }

    // The id of a window of this client, destroyed again: it names nothing now.
    unsigned long VanishedWindow();
    // Sends the drag message ("XdndEnter", "XdndPosition", "XdndDrop") to the
    // window as from the source; an XdndEnter says the source lists its types
    // (which the receiver then reads from it).
    void SendDrag(unsigned long target, const std::string& message, unsigned long source);
    void Destroy(unsigned long window);

private:
    Display* display_;
};
