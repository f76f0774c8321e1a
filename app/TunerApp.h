#pragma once
// The program's life: the display, framework start, the skin
// "XML/Pellora.xml", the sound-card check (asking the user to retry while
// there is none), the main window from "PelloraApp" run modally until it
// closes. Fatal start-up failures (no display among them) are told on stderr
// and end the program with status 1.
#include "framework/core/XMLLoadSave.h"

#include <functional>
#include <string>

class TunerApp : public XMLLoadSave {
public:
    // Whether a sound card is there; again is true when the user asked to retry.
    using CardCheck = std::function<bool(bool again)>;
    // Shows the text with the comma-separated buttons; the label pressed.
    using Question = std::function<std::string(const std::string& text, const std::string& buttons)>;

    // The exit status: 0 once the main window has closed (also on SIGTERM,
    // SIGHUP or SIGINT, or destroyed by another client), 1 on a fatal failure.
    // A lost display ends the process with status 1 from inside, the settings
    // written.
    int Run();

    // Checks, and while there is no card asks "RETRY, CANCEL": true once a
    // card is found, false when the answer is anything but "RETRY".
    static bool WaitForSoundCard(const CardCheck& check, const Question& ask);
    // The sound-card check of the real system; a retry re-reads ALSA's
    // configuration first, so a card or sound server that came meanwhile is seen.
    static bool SoundCardPresent(bool again);

    std::string ShowMessageBox(const std::string& text, const std::string& buttons);

private:
    int Fail(const std::string& message);
};
