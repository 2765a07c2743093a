#pragma once
// A stored real-time OA notice: its twelve texts (GBK) and the id the store gave it.

#include <functional>
#include <string>

struct RTOARecord {
    long id = 0;
    std::string appId;
    std::string appDesc;
    std::string senderName;
    std::string tipType;
    std::string count;
    std::string desc;
    std::string jumpUrl;
    std::string jumpUrlParam;
    std::string displayUrl;
    std::string sendTime;
    std::string offlineTip;
    std::string status;  // "1" unread, "0" read

    bool operator==(const RTOARecord&) const = default;
};

// Called once per stored notice, newest first.
using RTOACallback = std::function<void(const RTOARecord& notice)>;
