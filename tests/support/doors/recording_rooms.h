#pragma once
// A conference-centre door that records room keys, re-entries and instant rooms.

#include <string>
#include <vector>

#include "core/doors/room_service.h"

namespace testing_support {

class RecordingRooms : public core::RoomService {
  public:
    std::vector<int> keys;
    bool consumeKeys = false;  // the answer to every room key
    int reentered = 0;

    bool OnRoomKeyDown(os::HWND /*room*/, int key, int /*flags*/) override {
        keys.push_back(key);
        return consumeKeys;
    }
    void ReenterLostRooms() override { ++reentered; }
    void CreateInstantRoom(const std::vector<std::string>& invitees) override {
        instantRooms.push_back(invitees);
    }
    std::vector<std::vector<std::string>> instantRooms;  // the invitees of each
};

}  // namespace testing_support
