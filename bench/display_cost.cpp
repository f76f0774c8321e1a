// Measures what one frame of each visualisation costs to draw: every display
// is built from the real skin (XML/Main/Vis) and drawn into an 800x500
// off-screen Cairo surface, the back buffer's size, at the place and size it
// has on the tuner screen, over the part of the screen's picture under it
// (put back first in each frame, as the program does), fed a pitch that moves around A4 and a live-like
// block (a tone with harmonics and noise) with its spectrum. Prints the
// median and 95th-percentile time of one frame per display and of the whole
// tuner screen (its background picture, main display, sample display, level
// bar, in-tune light).
//
//   display_cost                 the table
//   display_cost --frames N      frames per display (default 600)
//   display_cost --pictures DIR  also writes the last frame of each as PNG
//
// The spectrum is made here rather than by the pitch estimator, and the
// level bar's full scale is fixed, so that only drawing is measured.

#include "app/vis/GradientVis.h"
#include "app/vis/ObjectSliderVis.h"
#include "app/vis/PowerCalcFunctor.h"
#include "app/vis/SampleVis.h"
#include "app/vis/TuneValueFunctor.h"
#include "app/vis/TuneVis.h"

#include "audio/AppState.h"
#include "audio/NoteStore.h"

#include "framework/core/DocMap.h"
#include "framework/core/XMLLoadSave.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"

#include <cairo.h>
#include <tinyxml.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const double kPi = 3.14159265358979323846;
const int kWindowWidth = 800;
const int kWindowHeight = 500;

// Where the displays stand on the tuner screen at 800x500.
const Vabo::Rect kMain{24, 90, 512, 220};
const Vabo::Rect kSamples{24, 400, 292, 85};
const Vabo::Rect kLevel{333, 422, 168, 12};
const Vabo::Rect kLight{652, 283, 24, 24};

// A pitch wandering around A4 and the blocks that would carry it.
class Signal {
public:
    void Advance()
    {
        ++frame_;
        const double t = frame_ * 0.02;
        measured_ = float(440.0 + 18.0 * std::sin(t * 0.7) + 3.0 * std::sin(t * 5.3));
        const double step = 2.0 * kPi * measured_ / 11025.0;
        for (std::size_t i = 0; i < samples_.size(); ++i) {
            phase_ += step;
            samples_[i] = float(0.5 * std::sin(phase_) + 0.2 * std::sin(2.0 * phase_) + 0.1 * std::sin(3.0 * phase_)
                                + noise_(random_));
        }
        const double bin = 11025.0 / 2048.0;
        for (std::size_t k = 0; k < spectrum_.size(); ++k) {
            double value = 0.01 + std::fabs(noise_(random_));
            for (int harmonic = 1; harmonic <= 3; ++harmonic) {
                const double distance = (double(k) * bin - harmonic * measured_) / 8.0;
                value += std::exp(-distance * distance) / harmonic;
            }
            spectrum_[k] = float(std::min(value, 1.0));
        }
    }
    float Measured() const { return measured_; }
    std::vector<float>& Samples() { return samples_; }
    std::vector<float>& Spectrum() { return spectrum_; }

private:
    long frame_ = 0;
    double phase_ = 0.0;
    float measured_ = 440.0f;
    std::vector<float> samples_ = std::vector<float>(512);
    std::vector<float> spectrum_ = std::vector<float>(502);
    std::mt19937 random_{7};
    std::normal_distribution<float> noise_{0.0f, 0.02f};
};

// Twelve-tone equal temperament from C2 to B6, as the note table.
void BuildNoteTable()
{
    static const char* names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    std::string notes = "<NoteStore>";
    for (int octave = 2; octave <= 6; ++octave)
        for (int n = 0; n < 12; ++n) {
            const double f = 440.0 * std::pow(2.0, (octave - 4) + (n - 9) / 12.0);
            notes += "<Note Name=\"" + std::string(names[n]) + std::to_string(octave) + "\" Frequency=\""
                + std::to_string(f) + "\"/>";
        }
    notes += "</NoteStore>";
    TiXmlDocument document;
    document.Parse(notes.c_str());
    AppState::Instance().BuildNotes(NoteStore(document.RootElement()));
}

struct Figures {
    double median = 0.0;
    double p95 = 0.0;
};

Figures Measure(int frames, const std::function<void()>& frame)
{
    for (int i = 0; i < 20; ++i)
        frame();
    std::vector<double> times;
    times.reserve(std::size_t(frames));
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        frame();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 95 / 100)]};
}

void Place(Vabo::GuiObject& object, const Vabo::Rect& rect)
{
    object.SetPosition(rect.x, rect.y);
    object.SetSize(rect.width, rect.height);
}

std::string FileName(std::string name)
{
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '-';
    return name + ".png";
}

} // namespace

int main(int argc, char** argv)
{
    int frames = 600;
    std::string pictures;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--pictures") && i + 1 < argc)
            pictures = argv[++i];
        else {
            std::fprintf(stderr, "usage: display_cost [--frames N] [--pictures DIR]\n");
            return 2;
        }
    }

    // The displays keep their choice in the settings: not in the user's.
    char settings[] = "/tmp/display-cost.XXXXXX";
    if (!mkdtemp(settings)) {
        std::perror("display_cost: no folder for the settings");
        return 1;
    }
    setenv("XDG_CONFIG_HOME", settings, 1);

    DllDocMapInstance().SetAppFolder(PELLORA_SOURCE_DIR);
    DllDocMapInstance().SetLibraryFolder(PELLORA_SOURCE_DIR "/lib/VABO/XML");
    BuildNoteTable();
    AppState::Instance().SetReferenceFrequency(440.0f);

    Signal signal;
    signal.Advance();
    const ScalarSource measured = [&signal] { return signal.Measured(); };
    const ScalarSource desired = [] { return AppState::Instance().GetReferenceFrequency(); };
    const BlockSource samples = [&signal]() -> std::vector<float>& { return signal.Samples(); };
    const BlockSource spectrum = [&signal]() -> std::vector<float>& { return signal.Spectrum(); };

    XMLLoadSave loader;
    std::unique_ptr<TuneVis> tune;
    std::unique_ptr<SampleVis> sample;
    std::unique_ptr<GradientVis> level;
    std::unique_ptr<Vabo::ObjectSliderVis> light;
    try {
        tune = std::make_unique<TuneVis>(loader.LoadXMLOrThrow("XML/Main/Vis/TuneVis.xml"), measured, desired);
        sample = std::make_unique<SampleVis>(loader.LoadXMLOrThrow("XML/Main/Vis/SampleVis.xml"), samples, spectrum);
        level = std::make_unique<GradientVis>(loader.LoadXMLOrThrow("XML/Main/Vis/ThresholdVis.xml"),
                                              PowerCalcFunctor(samples, [] { return 32768.0f; }));
        light = std::make_unique<Vabo::ObjectSliderVis>(loader.LoadXMLOrThrow("XML/Main/Vis/PowerLightVis.xml"),
                                                        TuneSqrAbsValueFunctor<CentsPolicy>(measured, desired));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "display_cost: the skin under %s/XML/Main/Vis does not load: %s\n", PELLORA_SOURCE_DIR,
                     error.what());
        return 1;
    }
    Place(*tune, kMain);
    Place(*sample, kSamples);
    Place(*level, kLevel);
    Place(*light, kLight);
    light->UpdateLayout();

    const GdiplusGfxLayer::Image backdrop(PELLORA_SOURCE_DIR "/XML/Main/Pictures/TunerBackground.png");
    GdiplusGfxLayer::Image buffer(kWindowWidth, kWindowHeight);
    GdiplusGfxLayer::Painter painter(buffer);
    const auto save = [&](const std::string& name) {
        if (!pictures.empty())
            cairo_surface_write_to_png(buffer.GetSurface(), (pictures + "/" + FileName(name)).c_str());
    };

    std::printf("%-30s %9s %10s %8s\n", "display", "size", "median ms", "p95 ms");
    const auto row = [&](const std::string& name, const Vabo::Rect& rect, const std::function<void()>& draw) {
        painter.DrawImageAt(backdrop, 0, 0);
        // As a frame of the program: the picture under the display is put
        // back, then the display drawn over it.
        const Figures figures = Measure(frames, [&] {
            signal.Advance();
            painter.DrawImageRect(backdrop, rect, rect);
            draw();
        });
        const std::string size = std::to_string(rect.width) + "x" + std::to_string(rect.height);
        std::printf("%-30s %9s %10.3f %8.3f\n", name.c_str(), size.c_str(), figures.median, figures.p95);
        save(name);
    };

    const char* tuneNames[] = {"cents analog", "hertz analog", "sliding scale", "cents bars", "hertz bars", "blank"};
    while (tune->ShownIndex() != 0)
        tune->NextChildSlot(nullptr, nullptr);
    for (const char* name : tuneNames) {
        row(std::string("TuneVis: ") + name, kMain, [&] { tune->Render(painter); });
        tune->NextChildSlot(nullptr, nullptr);
    }
    const char* sampleNames[] = {"scope", "spectrum bars", "sample bars", "curtain", "blank"};
    while (sample->ShownIndex() != 0)
        sample->NextChildSlot(nullptr, nullptr);
    for (const char* name : sampleNames) {
        row(std::string("SampleVis: ") + name, kSamples, [&] { sample->Render(painter); });
        sample->NextChildSlot(nullptr, nullptr);
    }
    row("ThresholdVis", kLevel, [&] { level->Render(painter); });
    row("PowerLightVis", kLight, [&] { light->Render(painter); });

    const Vabo::Rect window{0, 0, kWindowWidth, kWindowHeight};
    const auto screen = [&] {
        painter.DrawImageAt(backdrop, 0, 0);
        tune->Render(painter);
        sample->Render(painter);
        level->Render(painter);
        light->Render(painter);
    };
    // The displays a new installation starts with, then the costliest pair.
    row("tuner screen (first displays)", window, screen);
    for (int i = 0; i < 2; ++i)
        tune->NextChildSlot(nullptr, nullptr);
    sample->NextChildSlot(nullptr, nullptr);
    row("tuner screen (sliding, bars)", window, screen);
    tune.reset();
    sample.reset();
    std::system((std::string("rm -rf '") + settings + "'").c_str());
    return 0;
}
