#pragma once
// Base classes of every signal: a small object built by its sender, collected into
// (the receivers found in the object tree) and delivered synchronously.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/SignalFactory.h"

namespace Vabo {

class GuiObject;

namespace Signal {

// The type id of signal class T, given on the first request and stable afterwards.
// 0 is never a type id: lookups use it for "no such type".
template <class T> int TypeIdOf()
{
    static std::uint32_t id = 0;
    return static_cast<int>(RequestSignalTypeId(id));
}

class _Base {
public:
    // One receiver found by collection; (dx, dy) is the shift of a positional signal's
    // point for this receiver. The watch tells delivery whether the receiver still lives.
    struct Receiver {
        GuiObject* object;
        int dx;
        int dy;
        std::weak_ptr<void> watch;
    };

    _Base(int typeId, bool broadcast)
        : broadcast_(broadcast)
        , typeId_(typeId)
    {
    }
    _Base(const _Base&) = default;
    _Base& operator=(const _Base&) = default;
    virtual ~_Base();

    virtual bool IsPositional() const { return false; }
    virtual std::string Name() const = 0;
    virtual void ClearReceivers() { receivers_.clear(); }

    bool IsBroadcast() const { return broadcast_; }
    void SetBroadcast(bool broadcast) { broadcast_ = broadcast; }
    int GetTypeId() const { return typeId_; }
    template <class T> bool Is() const { return typeId_ == TypeIdOf<T>(); }

    const std::vector<Receiver>& GetReceivers() const { return receivers_; }
    void AddReceiver(GuiObject* object, int dx, int dy);
    // Hands the collected receivers to a delivery and leaves the list empty, so
    // that a signal object sent again is collected afresh. Unlike ClearReceivers it
    // keeps what the sender put into the signal's own fields.
    std::vector<Receiver> TakeReceivers() { return std::exchange(receivers_, {}); }
    // Puts receivers collected earlier for a signal of the same type.
    void SetReceivers(const std::vector<Receiver>& receivers) { receivers_ = receivers; }

    GuiObject* GetSource() const { return source_; }
    void SetSource(GuiObject* source) { source_ = source; }

private:
    bool broadcast_;
    int typeId_;
    std::vector<Receiver> receivers_;
    GuiObject* source_ = nullptr;
};

class Base : public _Base {
public:
    Base()
        : _Base(TypeIdOf<Base>(), false)
    {
    }
    Base(int typeId, bool broadcast)
        : _Base(typeId, broadcast)
    {
    }
    std::string Name() const override { return "Base"; }
};

// A signal carrying a point in the window frame of the tree it travels in. During
// delivery the point is shifted into the frame in which each receiver was hit.
class Positional : public Base {
public:
    Positional()
        : Base(TypeIdOf<Positional>(), false)
    {
    }
    Positional(int typeId, int x, int y, bool broadcast)
        : Base(typeId, broadcast)
        , x(x)
        , y(y)
    {
    }
    bool IsPositional() const override { return true; }
    std::string Name() const override { return "Positional"; }

    int x = 0;
    int y = 0;
    // Pending offset: taken over by the next receiver collected; during delivery the
    // offset of the receiver being served.
    int dx = 0;
    int dy = 0;
};

} // namespace Signal
} // namespace Vabo
