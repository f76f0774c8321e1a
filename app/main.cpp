// Pellora: the tuner and metronome.
#include "app/TunerApp.h"

int main()
{
    TunerApp app;
    return app.Run();
}
