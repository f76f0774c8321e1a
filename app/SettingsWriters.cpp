#include "app/SettingsWriters.h"

#include "app/SettingsStore.h"
#include "platform/Log.h"

#include <algorithm>
#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace {

using Writer = std::pair<const void*, std::function<void()>>;

// Never destroyed: screens destroyed at exit still remove theirs.
std::vector<Writer>& Writers()
{
    static auto* writers = new std::vector<Writer>;
    return *writers;
}

} // namespace

void SettingsWriters::Add(const void* owner, std::function<void()> write)
{
    Remove(owner);
    Writers().emplace_back(owner, std::move(write));
}

void SettingsWriters::Remove(const void* owner)
{
    auto& writers = Writers();
    writers.erase(
        std::remove_if(writers.begin(), writers.end(), [owner](const Writer& writer) { return writer.first == owner; }),
        writers.end());
}

bool SettingsWriters::WriteAll()
{
    // A copy: a writer may add or remove one.
    const std::vector<Writer> writers = Writers();
    bool written = false;
    try {
        // What they all write lands in the file at once.
        SettingsStore::Batch batch;
        for (const Writer& writer : writers) {
            try {
                writer.second();
            } catch (const std::exception& error) {
                Platform::Log(std::string("SettingsWriters: a writer failed: ") + error.what());
            }
        }
        written = batch.Write();
    } catch (const std::exception& error) {
        // The store is gone once the process has begun to end.
        Platform::Log(std::string("SettingsWriters: the settings cannot be written: ") + error.what());
        return false;
    }
    return written && !writers.empty();
}
