#pragma once
// Door<I>: how one part of the client reaches work that a subsystem of its own owns (the
// rooms, the history window, the SMS quota...). A door has a name and leads either to what
// a subsystem plugged into it or, while nothing is plugged in, to an instance of its own of
// the interface I: I's harmless defaults are the behaviour of a client without that
// subsystem. So a caller never asks whether a subsystem is there; it calls through the door.
//
// A door that nothing plugged says which subsystem it waits for (empty when that subsystem
// exists and only this client was built without it); the window manager names every such
// door in the start-up log.
//
// Plugging does not hand over ownership: whoever plugs an object in owns it, keeps it alive
// while it is plugged in and unplugs it before it goes. The interface may be incomplete
// where a door is declared; it must be complete where the door is made, destroyed or called.
// Doors are made, plugged and called on the UI thread.

#include <memory>
#include <string>
#include <string_view>

namespace core {

// What a door tells about itself, whatever it leads to.
struct DoorInfo {
    std::string_view name;
    std::string_view waitsFor;  // the subsystem it waits for; empty when that one exists
    bool plugged = false;
};

// The start-up log line for a door that nothing plugged.
std::string UnpluggedDoorText(const DoorInfo& door);

template <class Interface>
class Door final {
  public:
    // While nothing is plugged in, the door leads to a default-made Interface...
    Door(std::string_view name, std::string_view waitsFor)
        : Door(name, waitsFor, std::make_unique<Interface>()) {}
    // ...or to `absent`, where the behaviour of a client without the subsystem needs more
    // than the interface's defaults.
    Door(std::string_view name, std::string_view waitsFor, std::unique_ptr<Interface> absent)
        : name_(name), waitsFor_(waitsFor), absent_(std::move(absent)) {}
    Door(const Door&) = delete;
    Door& operator=(const Door&) = delete;

    void Plug(Interface& target) { plugged_ = &target; }
    void Unplug() { plugged_ = nullptr; }
    // Plugs in here what `other` has plugged in, if anything.
    void PlugFrom(const Door& other) {
        if (other.plugged_ != nullptr) plugged_ = other.plugged_;
    }
    bool plugged() const { return plugged_ != nullptr; }
    DoorInfo info() const { return {name_, waitsFor_, plugged()}; }

    Interface& operator*() const { return plugged_ != nullptr ? *plugged_ : *absent_.get(); }
    Interface* operator->() const { return plugged_ != nullptr ? plugged_ : absent_.get(); }

  private:
    std::string name_;
    std::string waitsFor_;
    std::unique_ptr<Interface> absent_;
    Interface* plugged_ = nullptr;
};

}  // namespace core
