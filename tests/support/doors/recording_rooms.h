#pragma once
// A conference-centre door that records room keys and re-entries.

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
};

}  // namespace testing_support
