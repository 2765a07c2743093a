// Door<I>: the interface's defaults while nothing is plugged in, the plugged object after,
// and what a door tells the start-up log about itself.
#include "core/door.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "core/doors.h"

namespace core_test {
namespace {

class Greeter {
  public:
    virtual ~Greeter() = default;
    virtual std::string Greet() { return "absent"; }  // the client without the subsystem
};

class NamedGreeter final : public Greeter {
  public:
    explicit NamedGreeter(std::string name) : name_(std::move(name)) {}
    std::string Greet() override { return name_; }

  private:
    std::string name_;
};

TEST(DoorTest, LeadsToTheDefaultsUntilPluggedAndBackAfterUnplugging) {
    core::Door<Greeter> door("greeter", "the greeting subsystem");
    EXPECT_FALSE(door.plugged());
    EXPECT_EQ(door->Greet(), "absent");

    NamedGreeter real("real");
    door.Plug(real);
    EXPECT_TRUE(door.plugged());
    EXPECT_EQ(&*door, &real);
    EXPECT_EQ(door->Greet(), "real");

    door.Unplug();
    EXPECT_FALSE(door.plugged());
    EXPECT_EQ(door->Greet(), "absent");
}

TEST(DoorTest, AnAbsentBehaviourOfItsOwnStandsInWhileNothingIsPlugged) {
    core::Door<Greeter> door("greeter", "", std::make_unique<NamedGreeter>("fallback"));
    EXPECT_EQ(door->Greet(), "fallback");
    EXPECT_FALSE(door.plugged()) << "the absent behaviour is no plugged subsystem";
    NamedGreeter real("real");
    door.Plug(real);
    EXPECT_EQ(door->Greet(), "real");
}

TEST(DoorTest, EachDoorKeepsAnAbsentInstanceOfItsOwn) {
    core::Door<std::string> a("a", "");
    core::Door<std::string> b("b", "");
    *a = "kept";
    EXPECT_EQ(*a, "kept");
    EXPECT_EQ(*b, "");
}

TEST(DoorTest, PlugFromTakesOnlyWhatTheOtherDoorHasPlugged) {
    core::Door<Greeter> source("greeter", "");
    core::Door<Greeter> copy("greeter", "", std::make_unique<NamedGreeter>("own"));
    copy.PlugFrom(source);
    EXPECT_FALSE(copy.plugged());
    EXPECT_EQ(copy->Greet(), "own");

    NamedGreeter real("real");
    source.Plug(real);
    copy.PlugFrom(source);
    EXPECT_EQ(&*copy, &real);
    source.Unplug();
    copy.PlugFrom(source);
    EXPECT_EQ(&*copy, &real) << "an unplugged source leaves what was plugged";
}

TEST(DoorTest, InfoAndTheUnpluggedLineNameTheDoorAndWhatItWaitsFor) {
    struct Case {
        const char* name;
        const char* waitsFor;
        const char* line;
    };
    const Case cases[] = {
        {"rooms", "the conference centre",
         "door \"rooms\" is not plugged in: it waits for the conference centre"},
        {"notification pump", "", "door \"notification pump\" is not plugged in"},
    };
    for (const Case& c : cases) {
        core::Door<Greeter> door(c.name, c.waitsFor);
        const core::DoorInfo info = door.info();
        EXPECT_EQ(info.name, c.name);
        EXPECT_EQ(info.waitsFor, c.waitsFor);
        EXPECT_FALSE(info.plugged);
        EXPECT_EQ(core::UnpluggedDoorText(info), c.line);
        NamedGreeter real("real");
        door.Plug(real);
        EXPECT_TRUE(door.info().plugged);
    }
}

TEST(DoorsTest, EveryDoorOfTheContextStartsUnpluggedUnderANameOfItsOwn) {
    const core::Doors doors;
    std::set<std::string_view> names;
    for (const core::DoorInfo& door : doors.Infos()) {
        EXPECT_FALSE(door.plugged) << door.name;
        EXPECT_FALSE(door.name.empty());
        EXPECT_TRUE(names.insert(door.name).second) << "twice: " << door.name;
    }
    EXPECT_EQ(names.size(), 13u);
}

}  // namespace
}  // namespace core_test
