#include "app/TunerApp.h"

#include "app/DataFolders.h"
#include "app/SettingsStore.h"
#include "app/SettingsWriters.h"
#include "app/ShowMessageBox.h"
#include "audio/AppState.h"
#include "audio/SoundCardCheck.h"
#include "framework/core/VaboInit.h"
#include "framework/host/AppWindow.h"
#include "framework/host/VaboWnd.h"
#include "platform/DisplayWatch.h"
#include "platform/EventLoop.h"
#include "platform/Log.h"
#include "platform/PaAdapter.h"
#include "platform/QuitSignals.h"
#include "platform/SingleInstance.h"
#include "platform/SoundServerCalls.h"
#include "platform/Video.h"

#include <alsa/asoundlib.h>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

const char* const SkinFile = "XML/Pellora.xml";
const char* const NoCard = "CRITICAL PROBLEM: No sound card has been detected!";
const char* const ServerSilent = "CRITICAL PROBLEM: The sound server does not answer!";

// The log lines of a failed load, which say which file failed and why.
std::string Reasons(const Platform::LogCapture& log)
{
    std::string text;
    for (const std::string& line : log.Messages())
        text += "\n  " + line;
    return text;
}

// Why no display could be opened, and how to name one.
std::string NoDisplay()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return "cannot open a display: DISPLAY is not set; set it to the X display to show Pellora on, for example "
               "DISPLAY=:0 pellora";
    return std::string("cannot open the display \"") + name + "\" (" + Platform::VideoError()
        + "); set DISPLAY to an X display that runs and lets you in, for example DISPLAY=:0 pellora";
}

} // namespace

int TunerApp::Run()
{
    // Two copies would each write the settings when they close, and the
    // last would undo what the other kept: a second start brings the first
    // forward instead.
    Platform::SingleInstance instance(SettingsStore::FilePath());
    if (instance.Claim() == Platform::SingleInstance::Outcome::Forwarded)
        return 0;
    SettingsStore::RemoveStaleTemporaries();
    // A session's end, a service manager and Ctrl+C close the program as its
    // close button does; a lost display ends it at once, with what the
    // session holds written first.
    Platform::QuitOnSignals();
    Platform::DisplayWatch::OnLoss([](const std::string& why) {
        const bool written = SettingsWriters::WriteAll();
        std::cerr << "pellora: " << why
                  << (written ? "; the settings were written" : "; the settings were left as they were") << std::endl;
    });
    // Every window needs the display, and so does the question about a
    // missing sound card: without one, the user is told how to name one
    // before anything else starts, and nothing is written.
    if (!Platform::StartVideo())
        return Fail(NoDisplay());

    DllVaboInitInstance();
    DataFolders::Use();

    TiXmlElement* root = nullptr;
    TiXmlElement* mainElement = nullptr;
    {
        Platform::LogCapture log;
        try {
            root = LoadXMLOrThrow(SkinFile);
        } catch (const std::exception&) {
            return Fail(std::string("cannot load the skin ") + SkinFile + Reasons(log));
        }
        if (!HasChild(root, "PelloraApp"))
            return Fail(std::string("the skin ") + SkinFile + " has no \"PelloraApp\" element");
        mainElement = GetChild(root, "PelloraApp");
    }

    AppState::Instance();
    const Sound sound =
        WaitForSoundCard(&TunerApp::SoundCardPresent, [this](const std::string& text, const std::string& buttons) {
            return ShowMessageBox(text, buttons);
        });
    // Asked to quit while the question stood: nothing failed.
    if (sound != Sound::Present && Platform::EventLoop::QuitRequested())
        return 0;
    if (sound == Sound::ServerSilent)
        return Fail(std::string("sound server silent: ") + ServerSilent);
    if (sound != Sound::Present)
        return Fail(std::string("no sound card: ") + NoCard);

    // The skin's connections are made when the window is first shown, so a
    // broken one is found here, before the loop runs.
    std::unique_ptr<Vabo::AppWindow> mainWindow;
    {
        Platform::LogCapture log;
        try {
            mainWindow = std::make_unique<Vabo::AppWindow>(mainElement);
            if (!mainWindow->GetHostWnd())
                return Fail(std::string("cannot open the main window of ") + SkinFile + " on the display"
                            + Reasons(log));
            // Fonts in percent of no object take it of this window.
            mainWindow->GetHostWnd()->MakeMainWindow();
            mainWindow->CenterWindow();
            mainWindow->SetVisible(true);
        } catch (const std::exception& error) {
            return Fail(std::string("cannot build the main window of ") + SkinFile + ": " + error.what()
                        + Reasons(log));
        }
    }
    std::weak_ptr<void> alive = mainWindow->GetHostWnd()->Watch();
    Vabo::AppWindow* shown = mainWindow.get();
    instance.Listen([alive, shown] {
        Vabo::VaboWnd::PostCall([alive, shown] {
            if (!alive.expired())
                shown->BringForward();
        });
    });
    try {
        mainWindow->DoModal(nullptr);
        instance.Stop();
        mainWindow->SetVisible(false);
    } catch (const std::exception& error) {
        return Fail(std::string("the main window failed: ") + error.what());
    }
    // The screens save as they are taken down: one write for all of them.
    const SettingsStore::Batch save;
    mainWindow.reset();
    return 0;
}

TunerApp::Sound TunerApp::WaitForSoundCard(const CardCheck& check, const Question& ask)
{
    bool again = false;
    Sound found;
    while ((found = check(again)) != Sound::Present) {
        if (ask(found == Sound::ServerSilent ? ServerSilent : NoCard, "RETRY, CANCEL") != "RETRY")
            return found;
        again = true;
    }
    return found;
}

TunerApp::Sound TunerApp::SoundCardPresent(bool again)
{
    if (again)
        snd_config_update_free_global();
    // No window shows yet: a slow server is given the sound library's own
    // start-up time, for its answer and the mixer's opening together.
    const Platform::Milliseconds deadline = Platform::NowMs() + Platform::StartUpWithinMs;
    if (!Platform::Pa::ServerAnswers(Platform::StartUpWithinMs))
        return Sound::ServerSilent;
    switch (CheckSoundCard(0, std::max<Platform::Milliseconds>(0, deadline - Platform::NowMs()))) {
    case SoundCard::Present:
        return Sound::Present;
    case SoundCard::Absent:
        return Sound::NoCard;
    case SoundCard::NoAnswer:
        break;
    }
    return Sound::ServerSilent;
}

std::string TunerApp::ShowMessageBox(const std::string& text, const std::string& buttons)
{
    return ::ShowMessageBox(text, buttons, nullptr);
}

int TunerApp::Fail(const std::string& message)
{
    std::cerr << "pellora: " << message << std::endl;
    return 1;
}
