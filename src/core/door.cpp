#include "core/door.h"

namespace core {

std::string UnpluggedDoorText(const DoorInfo& door) {
    std::string text = "door \"" + std::string(door.name) + "\" is not plugged in";
    if (!door.waitsFor.empty()) text += ": it waits for " + std::string(door.waitsFor);
    return text;
}

}  // namespace core
