#pragma once
// One SDL window of ours: created hidden and without a system frame, moved,
// sized, shown, minimised and maximised on request, and shown a frame by
// copying parts of a Cairo back buffer into memory it shares with the X
// server (SDL's window surface where the server shares none). A child
// window lies inside another window of ours (ChildWindow.h).
#include "platform/Rect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;
typedef struct _cairo_surface cairo_surface_t;

namespace Platform {

class SharedFramebuffer;

class NativeWindow {
public:
    // Application: a main window with a taskbar entry. Child and Popup have
    // none; a Popup stays above other windows; a Child lies inside its parent.
    enum class Kind { Application, Child, Popup };

    struct Options {
        Kind kind = Kind::Application;
        std::string title;
        int x = 0; // screen position of the client area; a Child's in its parent's client area
        int y = 0;
        int width = 1;
        int height = 1;
        bool resizable = false;
        // The window a Child lies in (required for a Child).
        NativeWindow* parent = nullptr;
    };

    // Starts video when needed. Null (with the reason logged) when SDL fails.
    static std::unique_ptr<NativeWindow> Create(const Options& options);
    ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    std::uint32_t Id() const { return id_; }
    // Another client destroyed the X window: what would change it does nothing.
    bool Gone() const;
    SDL_Window* Handle() const { return window_; }
    Kind GetKind() const { return kind_; }

    // Asks for the map and goes on: the window manager makes it when it
    // will, or never (stopped, iconic, another desktop). The window counts as
    // shown from the request on.
    void Show();
    void Hide();
    bool IsVisible() const; // shown, minimised or not
    bool IsMinimized() const;
    bool IsMaximized() const;
    void Minimize();
    void Maximize();
    void Restore();
    void Raise(); // to the front, with the keyboard focus
    void TakeInputFocus(); // the keyboard focus only, staying where it stands
    // The window was exposed, as it is once mapped: a raise or the focus asked
    // for before the map is given now.
    void Exposed();
    bool HasInputFocus() const;

    // Ties this window to its owner: the window manager keeps it above the
    // owner, and minimises and restores it with the owner. Set before the
    // window is shown.
    void SetOwner(const NativeWindow& owner);

    // Asked for and not waited for: the place and size asked for stand until
    // the server tells where the window manager put the window.
    void MoveTo(int x, int y); // as Options::x and y
    void Resize(int width, int height);
    // The smallest size the window manager (and Resize) gives the window.
    void SetMinimumSize(int width, int height);
    Rect GetRect() const; // screen rectangle of the client area, for every kind

    // An unchanged title is not sent to the server again.
    void SetTitle(const std::string& title);
    std::string GetTitle() const;
    // Loads a picture file as the window's icon; false (logged) when it cannot be read.
    bool SetIcon(const std::string& fileName);

    // Copies the rectangles (clipped to both) of an ARGB32 back buffer onto the
    // window and shows them. False when there is nowhere to copy them (logged)
    // or the window is gone.
    bool Present(cairo_surface_t* backBuffer, const std::vector<Rect>& rects);
    // A shaped window has nothing behind its anti-aliased edge pixels to blend
    // them with: it shows their own colours, not their colours over black (a
    // dark fringe). Others show the back buffer over black.
    void SetShaped(bool shaped) { shaped_ = shaped; }

private:
    NativeWindow(SDL_Window* window, Kind kind);
    // The place and size as SDL last heard them from the server.
    Rect KnownRect() const;
    void Ask(const Rect& rect);

    SDL_Window* window_;
    std::uint32_t id_;
    // The X window behind it (0 on another driver).
    unsigned long xWindow_ = 0;
    Kind kind_;
    bool shaped_ = false;
    // A child is mapped and unmapped by us, not by SDL (which would hand it
    // the keyboard without a window manager, and calls an unmapped window
    // minimised).
    bool childShown_ = false;
    // The place and size last asked for, and what SDL knew then: news since
    // replaces the request.
    mutable bool placementAsked_ = false;
    Rect asked_;
    Rect knownWhenAsked_;
    int minWidth_ = 1;
    int minHeight_ = 1;
    // What was asked of the window before its map came.
    bool raiseWhenMapped_ = false;
    bool focusWhenMapped_ = false;
    // A parent gives its children back to the screen, unmapped, before its X
    // window goes (which would take theirs along, under SDL's feet).
    NativeWindow* parent_ = nullptr;
    std::vector<NativeWindow*> children_;
    // Straight colours on their way to a window of another pixel layout.
    std::vector<std::uint32_t> straight_;
    // Where frames are written for the server, made at the first frame.
    std::unique_ptr<SharedFramebuffer> framebuffer_;
    bool framebufferTried_ = false;
};

} // namespace Platform
