#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/GuiObject.h"
#include "framework/core/IdFactory.h"
#include "framework/core/ScreenCollector.h"
#include "framework/core/SignalFactory.h"
#include "framework/core/Singleton.h"
#include "framework/core/ThreadFactory.h"
#include "framework/core/VaboInit.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

// Singletons of the test's own, held like the framework's, that say when
// they die.
template <int N> struct Witness {
    ~Witness() { std::fprintf(stderr, "witness %d destroyed\n", N); }
    int value = N;
};

template <int N> Witness<N>& WitnessInstance()
{
    return Vabo::SingletonHolder<Witness<N>>::Instance();
}

template <class Accessor> std::string UseAfterExit(Accessor accessor)
{
    try {
        accessor();
        return "alive";
    } catch (const std::logic_error& e) {
        return e.what();
    }
}

// Runs at exit after the destroyers of every singleton created after it
// was registered.
void ReportDeadReferences()
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::fprintf(stderr, "id factory: %s\n", UseAfterExit([] { DllIdFactoryInstance(); }).c_str());
        std::fprintf(stderr, "screen collector: %s\n", UseAfterExit([] { DllScreenCollectorInstance(); }).c_str());
        std::fprintf(stderr, "thread factory: %s\n", UseAfterExit([] { DllThreadFactorySingleton(); }).c_str());
        std::fprintf(stderr, "witness: %s\n", UseAfterExit([] { WitnessInstance<1>(); }).c_str());
    }
    std::fflush(stderr);
}

// An object the factory owns whose destructor needs singletons made before
// and after the framework initialisation.
class ExitProbe : public Vabo::GuiObject {
public:
    ExitProbe()
        : GuiObject(0, 0)
    {
    }
    ~ExitProbe() override
    {
        std::fprintf(stderr, "probe released with witnesses %d and %d alive\n", WitnessInstance<1>().value,
                     WitnessInstance<3>().value);
    }
};

} // namespace

TEST(Singleton, IdsCountFromOneAndSignalTypeIdsAreGivenOnceInOrderOfFirstRequest)
{
    Vabo::IdFactory_ fresh;
    EXPECT_EQ(1u, fresh.Next());
    EXPECT_EQ(2u, fresh.Next());
    const std::uint32_t a = DllIdFactoryInstance().Next();
    EXPECT_NE(0u, a);
    EXPECT_EQ(a + 1, DllIdFactoryInstance().Next());

    EXPECT_EQ(1u, Vabo::SignalFactory_().counter);
    const std::uint32_t before = DllSignalFactoryInstance().counter;
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    EXPECT_EQ(before + 1, Vabo::RequestSignalTypeId(first));
    EXPECT_EQ(before + 2, Vabo::RequestSignalTypeId(second));
    EXPECT_EQ(before + 1, Vabo::RequestSignalTypeId(first));
    EXPECT_EQ(before + 1, first);
    EXPECT_EQ(before + 2, DllSignalFactoryInstance().counter);

    Vabo::ThreadFactory_& threads = DllThreadFactorySingleton();
    EXPECT_EQ(&threads, &DllThreadFactorySingleton());
    EXPECT_TRUE(threads.threads.empty());
    EXPECT_EQ(0u, threads.counter);
}

// These run in a fresh process each: what they check happens at exit.
class SingletonDeathTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(SingletonDeathTest, UseAfterExitDestructionThrowsDeadReferenceEveryTime)
{
    EXPECT_EXIT(
        {
            std::atexit(&ReportDeadReferences);
            DllIdFactoryInstance();
            DllScreenCollectorInstance();
            DllThreadFactorySingleton();
            WitnessInstance<1>();
            std::exit(0);
        },
        testing::ExitedWithCode(0),
        "id factory: Dead Reference Detected\n"
        "screen collector: Dead Reference Detected\n"
        "thread factory: Dead Reference Detected\n"
        "witness: Dead Reference Detected\n"
        "id factory: Dead Reference Detected\n"
        "screen collector: Dead Reference Detected\n"
        "thread factory: Dead Reference Detected\n"
        "witness: Dead Reference Detected\n");
}

TEST_F(SingletonDeathTest, ObjectsTheFactoryOwnsAreReleasedBeforeAnySingletonDies)
{
    EXPECT_EXIT(
        {
            static Vabo::GuiObject owner(0, 0);
            WitnessInstance<1>();
            DllVaboInitInstance();
            auto& factory = DllGlobalObjectFactoryInstance();
            factory.Register("Test::ExitProbe", [](TiXmlElement*) { return new ExitProbe; });
            static auto* document = new TiXmlDocument("exit.xml");
            auto* element = new TiXmlElement("Test::ExitProbe");
            document->LinkEndChild(element);
            if (!factory.CreateAndRegister("Test::ExitProbe", "probe", &owner, element))
                std::_Exit(2);
            // Made after the initialisation, so destroyed before it.
            WitnessInstance<3>();
            std::exit(0);
        },
        testing::ExitedWithCode(0),
        "probe released with witnesses 1 and 3 alive\nwitness 3 destroyed\nwitness 1 destroyed\n");
}
