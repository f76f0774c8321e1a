// Sending signals: type ids, collection through the tree, delivery order, slots per
// source, positional shifting, and what an exception in a slot does.
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

#include "Probe.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/InputSignals.h"
#include "framework/core/ObjectSignals.h"
#include "support/FakeScreenManager.h"

using ObjectsTest::Probe;
using Vabo::GuiObject;
namespace Signal = Vabo::Signal;

namespace {

using Log = std::vector<std::string>;

// Signals of the test's own: one for its target only, one broadcast.
template <bool Broadcast> class TestSignal : public Signal::Base {
public:
    TestSignal()
        : Base(Signal::TypeIdOf<TestSignal>(), Broadcast)
    {
    }
    std::string Name() const override { return Broadcast ? "Unused2" : "Unused1"; }
};
using Unused1 = TestSignal<false>;
using Unused2 = TestSignal<true>;

// Moves the point of positional signals by (shift, 0) for its subtree, the way a
// clipped window keeps its content out of reach.
class Shifter : public Probe {
public:
    using Probe::Probe;
    int shift = 0;
    void CollectReceivers(Signal::Base* signal, bool recurse) override
    {
        auto* positional = static_cast<Signal::Positional*>(signal);
        if (!signal->IsPositional() || !recurse) {
            Probe::CollectReceivers(signal, recurse);
            return;
        }
        positional->x += shift;
        positional->dx = shift;
        for (GuiObject* child : GetChildren())
            child->CollectReceivers(signal, true);
        positional->x -= shift;
        positional->dx = 0;
        GuiObject::CollectReceivers(signal, false);
    }
};

} // namespace

TEST(SignalDelivery, BroadcastReachesTheWholeTreeChildrenBeforeParents)
{
    Log log;
    Probe p("P", log), q1("Q1", log), q2("Q2", log), r("R", log);
    p.AddChild(&q1, false);
    p.AddChild(&q2, false);
    q1.AddChild(&r, false);
    q1.SetVisible(false);
    for (Probe* probe : {&p, &q1, &q2, &r})
        probe->AddSlot<Unused2>(&Probe::Slot, probe);

    Unused2 signal;
    q2.Raise(&signal);

    EXPECT_EQ((Log{"R:Unused2:R", "Q1:Unused2:Q1", "Q2:Unused2:Q2", "P:Unused2:P"}), log);
}

TEST(SignalDelivery, AnySourceSlotsRunBeforeSourceSlotsAndSourceSlotsOnlyForTheirSource)
{
    Log log;
    Probe target("T", log), a("A", log), b("B", log), listener("L", log);
    target.SetVisible(false);
    target.AddSlot<Unused1>(&Probe::Slot, &b, &a);
    target.AddSlot<Unused1>(&Probe::Slot, &listener);
    target.AddSlot<Unused1>(&Probe::Slot, &a);

    Unused1 fromA;
    fromA.SetSource(&a);
    target.CollectReceivers(&fromA, false);
    EXPECT_TRUE(fromA.GetReceivers().empty()) << "not selected, not broadcast, not positional";
    target.SendToSelf(&fromA);
    EXPECT_EQ((Log{"L:Unused1:T", "A:Unused1:T"}), log) << "sent to itself, even hidden";
    Unused1 later;
    target.CollectReceivers(&later, false);
    EXPECT_TRUE(later.GetReceivers().empty()) << "the dispatching flag ends with the send";

    log.clear();
    // A send from the target itself: only the any-source slots.
    Unused1 again;
    target.SendToSelf(&again, &a);
    EXPECT_EQ((Log{"L:Unused1:A", "A:Unused1:A"}), log);

    log.clear();
    Unused1 relayed;
    target.InvokeSlots(&relayed, &target, &a);
    EXPECT_EQ((Log{"L:Unused1:T", "A:Unused1:T", "B:Unused1:T"}), log);
}

TEST(SignalDelivery, PositionalSignalsFollowThePointAndAreShiftedPerReceiver)
{
    Log log;
    Probe root("Root", log, 0, 0, 400, 400);
    Shifter clip("Clip", log, 100, 0, 100, 100);
    Probe inside("Inside", log, 150, 10, 20, 20);
    Probe elsewhere("Elsewhere", log, 300, 300, 20, 20);
    root.AddChild(&clip, false);
    root.AddChild(&elsewhere, false);
    clip.AddChild(&inside, false);
    clip.shift = 100;
    for (Probe* probe : {&root, static_cast<Probe*>(&clip), &inside, &elsewhere})
        probe->AddSlot<Signal::MouseClick>(&Probe::PointSlot, probe);

    // (160, 15) in the window frame is (260, 15) for the clip's content: the inside
    // object sits at window x 250..269.
    Signal::MouseClick press(160, 15);
    root.CollectReceivers(&press, true);
    root.Deliver(&press, nullptr);

    EXPECT_EQ((Log{"Inside@260,15", "Clip@160,15", "Root@160,15"}), log);
    EXPECT_EQ(160, press.x) << "the point is restored after delivery";
}

TEST(SignalDelivery, SelectObjectWithoutConnectionsIsHandledDuringCollection)
{
    Log log;
    FakeScreenManager screens;
    Probe root("Root", log, 0, 0, 100, 100);
    root.SetScreenManager(&screens);
    Probe plain("Plain", log, 0, 0, 50, 50);
    Probe wired("Wired", log, 0, 0, 50, 50);
    root.AddChild(&plain, false);
    root.AddChild(&wired, false);
    wired.AddSlot<Signal::SelectObject>(&Probe::Slot, &wired);

    Signal::SelectObject select(10, 10, &root);
    select.SetSource(&root);
    root.CollectReceivers(&select, true);
    EXPECT_TRUE(plain.IsSelected()) << "selected while collecting";
    EXPECT_FALSE(wired.IsSelected()) << "waits for delivery";
    ASSERT_EQ(1u, select.GetReceivers().size());
    root.Deliver(&select, nullptr);
    EXPECT_TRUE(wired.IsSelected());
    EXPECT_EQ((Log{"Wired:SelectObject:Wired"}), log);
}

TEST(SignalDelivery, AnExceptionInASlotReachesTheSenderAndStopsTheDelivery)
{
    Log log;
    Probe root("Root", log), first("First", log), second("Second", log);
    root.AddChild(&first, false);
    root.AddChild(&second, false);
    struct Thrower : GuiObject {
        Thrower()
            : GuiObject(0, 0)
        {
        }
        void Throw(Signal::Base*, GuiObject*) { throw std::runtime_error("slot failed"); }
    } thrower;
    first.AddSlot<Unused2>(&Thrower::Throw, &thrower);
    second.AddSlot<Unused2>(&Probe::Slot, &second);

    Unused2 signal;
    EXPECT_THROW(root.Raise(&signal), std::runtime_error);
    EXPECT_TRUE(log.empty());

    Unused1 own;
    first.AddSlot<Unused1>(&Thrower::Throw, &thrower);
    EXPECT_THROW(first.SendToSelf(&own), std::runtime_error);
    Unused1 later;
    first.CollectReceivers(&later, false);
    EXPECT_TRUE(later.GetReceivers().empty()) << "the dispatching flag is cleared after the exception";
}

TEST(SignalDelivery, ConnectionsToADestroyedObjectEndWithItAndADestroyedReceiverIsNotServed)
{
    Log log;
    Probe root("Root", log);
    auto listener = std::make_unique<Probe>("Listener", log);
    Vabo::Connection connection = root.AddSlot<Unused1>(&Probe::Slot, listener.get());
    root.AddSlot<Unused1>(&Probe::Slot, &root);
    EXPECT_TRUE(connection.connected());
    listener.reset();
    EXPECT_FALSE(connection.connected());
    Unused1 own;
    root.SendToSelf(&own);
    EXPECT_EQ((Log{"Root:Unused1:Root"}), log);

    // An earlier handler destroys a receiver collected for the same delivery.
    log.clear();
    auto doomed = std::make_unique<Probe>("Doomed", log);
    auto killer = std::make_unique<Probe>("Killer", log);
    root.AddChild(killer.get(), false);
    root.AddChild(doomed.get(), false);
    struct Reaper : GuiObject {
        explicit Reaper(std::unique_ptr<Probe>& target)
            : GuiObject(0, 0)
            , target_(target)
        {
        }
        void Reap(Signal::Base*, GuiObject*) { target_.reset(); }
        std::unique_ptr<Probe>& target_;
    } reaper(doomed);
    killer->AddSlot<Unused2>(&Reaper::Reap, &reaper);
    doomed->AddSlot<Unused2>(&Probe::Slot, doomed.get());
    Unused2 broadcast;
    root.Raise(&broadcast);
    EXPECT_FALSE(doomed);
    EXPECT_TRUE(log.empty());
}

TEST(SignalDelivery, ASignalObjectSentAgainReachesOnlyTheReceiversOfThatSend)
{
    Log log;
    FakeScreenManager screens;
    Probe root("Root", log, 0, 0, 100, 100), child("Child", log, 0, 0, 50, 50);
    root.SetScreenManager(&screens);
    root.AddChild(&child, false);
    for (Probe* probe : {&root, &child}) {
        probe->AddSlot<Unused1>(&Probe::Slot, probe);
        probe->AddSlot<Unused2>(&Probe::Slot, probe);
        probe->AddSlot<Signal::MouseClick>(&Probe::PointSlot, probe);
    }

    // The way a key's bound signal or an animation key's signal is used.
    Unused1 own;
    child.SendToSelf(&own);
    child.SendToSelf(&own);
    EXPECT_EQ((Log{"Child:Unused1:Child", "Child:Unused1:Child"}), log);

    log.clear();
    Unused2 broadcast;
    child.Raise(&broadcast);
    child.Raise(&broadcast);
    EXPECT_EQ((Log{"Child:Unused2:Child", "Root:Unused2:Root", "Child:Unused2:Child", "Root:Unused2:Root"}), log);

    log.clear();
    // The screen manager's way: collection and delivery called one after the other.
    Signal::MouseClick click(10, 10);
    for (int send = 0; send < 2; ++send) {
        root.CollectReceivers(&click, true);
        root.Deliver(&click, nullptr);
    }
    EXPECT_EQ((Log{"Child@10,10", "Root@10,10", "Child@10,10", "Root@10,10"}), log);

    log.clear();
    // Select sends one signal object twice: its second pass serves only what it collects.
    child.AddSlot<Signal::SelectObject>(&Probe::Slot, &child);
    child.Select();
    EXPECT_EQ((Log{"Child:SelectObject:Child", "Child:SelectObject:Child"}), log);
}

TEST(SignalDelivery, AnObjectTheFactoryReleasesDuringItsOwnDeliveryLivesUntilTheDeliveryEnds)
{
    Log log;
    int destroyed = 0;
    struct Button : Probe {
        Button(Log& log, int& destroyed)
            : Probe("Button", log, 0, 0, 10, 10)
            , destroyed_(destroyed)
        {
        }
        ~Button() override { ++destroyed_; }
        int& destroyed_;
    };
    Vabo::GlobalObjectFactory_ factory;
    factory.Register("Test::Probe", [&](TiXmlElement*) { return new Button(log, destroyed); });
    TiXmlDocument document("release.xml");
    auto* element = new TiXmlElement("Test::Probe");
    document.LinkEndChild(element);

    Probe window("Window", log, 0, 0, 100, 100);
    FakeScreenManager screens;
    window.SetScreenManager(&screens);
    GuiObject* button = factory.CreateAndRegister("Test::Probe", "Button", &window, element);
    window.AddChild(button, false);
    std::weak_ptr<void> buttonAlive = button->Watch();

    // The button's own click builds a new object under its name (as a screen
    // root named like it did), which releases the button while its click is
    // still being delivered.
    bool aliveInSlot = false;
    bool goneForWatchers = false;
    button->Connect(
        Signal::TypeIdOf<Signal::Activate>(), nullptr,
        [&](Signal::Base*, GuiObject*) {
            factory.CreateAndRegister("Test::Probe", "Button", &window, element);
            aliveInSlot = destroyed == 0;
            goneForWatchers = buttonAlive.expired();
        },
        window.Watch());
    for (auto* send : {static_cast<void (*)(GuiObject&)>([](GuiObject& root) {
                           Signal::LeftButtonDown down(5, 5);
                           root.CollectReceivers(&down, true);
                           root.Deliver(&down, nullptr);
                       }),
                       static_cast<void (*)(GuiObject&)>([](GuiObject& root) {
                           Signal::LeftButtonUp up(5, 5);
                           root.CollectReceivers(&up, true);
                           root.Deliver(&up, nullptr);
                       })})
        send(window);
    EXPECT_TRUE(aliveInSlot);
    EXPECT_TRUE(goneForWatchers) << "to the rest of the program it is gone at once";
    EXPECT_EQ(1, destroyed) << "destroyed once the delivery ended";
    EXPECT_TRUE(window.GetChildren().empty());
}
