#pragma once
// SIGTERM, SIGHUP and SIGINT (a session's end, a service manager, Ctrl+C)
// end the program as closing its main window does: each asks the event loop
// to quit (EventLoop::RequestQuit), so the program's own ending runs. The same
// signal again, while it still ends, ends it by the signal's default action.
// A signal ignored when the program starts (nohup, a job in the background)
// stays ignored.
namespace Platform {

// False (logged) when a handler could not be set.
bool QuitOnSignals();

} // namespace Platform
