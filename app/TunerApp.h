#pragma once
// The program's life: the display, framework start, the skin
// "XML/Pellora.xml", the sound check (asking the user to retry while there is
// no sound card, or the sound server does not answer), the main window from
// "PelloraApp" run modally until it closes. Fatal start-up failures (no
// display among them) are told on stderr and end the program with status 1.
#include "framework/core/XMLLoadSave.h"

#include <functional>
#include <string>

class TunerApp : public XMLLoadSave {
public:
    // What the start-up check found.
    enum class Sound { Present, NoCard, ServerSilent };
    // Checks for sound; again is true when the user asked to retry.
    using CardCheck = std::function<Sound(bool again)>;
    // Shows the text with the comma-separated buttons; the label pressed.
    using Question = std::function<std::string(const std::string& text, const std::string& buttons)>;

    // The exit status: 0 once the main window has closed (also on SIGTERM,
    // SIGHUP or SIGINT, or destroyed by another client), 1 on a fatal failure.
    // A lost display ends the process with status 1 from inside, the settings
    // written.
    int Run();

    // Checks, and while there is no sound asks "RETRY, CANCEL" with what is
    // missing: Present once it is there, else what the check last found when
    // the answer is anything but "RETRY".
    static Sound WaitForSoundCard(const CardCheck& check, const Question& ask);
    // The check of the real system: a sound server that is reached and does
    // not answer within half a second is silent (it would hold the mixer's
    // opening for its whole bound); otherwise, or with no server at all, the
    // sound card's mixer is opened. A retry re-reads ALSA's configuration
    // first, so a card or sound server that came meanwhile is seen.
    static Sound SoundCardPresent(bool again);

    std::string ShowMessageBox(const std::string& text, const std::string& buttons);

private:
    int Fail(const std::string& message);
};
