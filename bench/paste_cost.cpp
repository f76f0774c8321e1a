// Time to paste a clipboard of N kilobytes into an edit box (a free text and
// one whose validator accepts digits only), for doubling N: linear work shows
// as a time that doubles with N. Needs a display for the clipboard.
#include "framework/core/DocMap.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/host/ScreenManager.h"
#include "framework/widgets/EditBox.h"
#include "platform/Clipboard.h"
#include "platform/Video.h"

#include <chrono>
#include <cstdio>
#include <string>

int main()
{
    if (!Platform::StartVideo()) {
        std::fprintf(stderr, "no display for the clipboard\n");
        return 1;
    }
    DllDocMapInstance().SetAppFolder(PELLORA_SOURCE_DIR "/tests/data/inputs");
    DllDocMapInstance().SetLibraryFolder(PELLORA_SOURCE_DIR "/lib/VABO/XML");
    std::printf("%6s %8s %10s\n", "box", "KB", "paste s");
    for (const char* name : {"Name", "Tempo"}) {
        for (int kilobytes = 10; kilobytes <= 160; kilobytes *= 2) {
            XMLLoadSave loader;
            Vabo::ScreenManager screens;
            auto root = DllGlobalObjectFactoryInstance().Create(loader.LoadXMLOrThrow("EditBoxes.xml"));
            root->SetScreenManager(&screens);
            screens.SetBaseRoot(root.get());
            root->SetSize(400, 300);
            root->UpdateLayout();
            Vabo::Signal::ConnectXMLSlots connect;
            screens.Broadcast(connect, false);
            auto* box = dynamic_cast<Vabo::EditBox*>(DllGlobalObjectFactoryInstance().FindObject(root.get(), name));
            if (!box) {
                std::fprintf(stderr, "no edit box %s\n", name);
                return 1;
            }
            const Vabo::Point middle{box->GetWindowX() + box->GetWidth() / 2, box->GetWindowY() + box->GetHeight() / 2};
            screens.LeftButtonDown(middle);
            screens.LeftButtonUp(middle);
            Platform::SetClipboardText(std::string(static_cast<std::size_t>(kilobytes) * 1024, '7'));
            const auto start = std::chrono::steady_clock::now();
            screens.KeyPress(22);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("%6s %8d %10.3f (%zu bytes kept)\n", name, kilobytes, seconds, box->GetEditText().size());
            screens.ClearBaseRoot();
        }
    }
    return 0;
}
