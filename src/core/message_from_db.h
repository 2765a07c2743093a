#pragma once
// CFunction::GetMessageFromDB: reads a bounded number of stored messages of one conversation
// into an array, for views that show a conversation's past (the chat window's recent-history
// block). Each message comes with its parties' bare JIDs and without its font header.

#include <string>
#include <vector>

namespace core {

class ClientContext;

struct StoredMessage {
    std::string from;  // bare JID (resource cut)
    std::string to;    // bare JID
    std::string time;
    std::string contents;  // the first "FONT(" ... ")" header removed
    std::string state;     // handled state as stored: "0" handled, "1" not yet handled
};

class CFunction {
  public:
    explicit CFunction(ClientContext& context) : context_(context) {}

    // GetMsg(from, to, ..., maxCount) into `messages` (emptied first; at most maxCount, oldest
    // first; -1 for every one). When from and to are both the user's own bare JID, only the
    // user's notes to self are taken. False, logged, when `messages` is null, nobody is
    // logged in or the store fails.
    bool GetMessageFromDB(const char* from, const char* to, std::vector<StoredMessage>* messages,
                          int maxCount);

    // How many messages the last call put into the array.
    int fillCount() const { return fillCount_; }

  private:
    ClientContext& context_;
    int fillCount_ = 0;
};

}  // namespace core
