#pragma once
// The deployment's organisation service as tests meet it: a generated organisation of
// `depth` levels with `fanOut` units below each unit, served over a LoopbackHttpServer by
// "parentOrgid" in the layout the picker reads (web/org_units.h), as UTF-8 XML.
//
// Unit ids are the path of 1-based positions joined with "-" ("2", "2-1", "2-1-3"); a unit is
// named "单位" + id, its single-sign-on code is "sso" + id, its organisation code "ORG" + id.
// A request without "parentOrgid" answers the top level, one for an unknown or a last-level
// unit an empty list. The answer can be switched to a failure (500 without a body) or to
// bytes that are not XML.

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "support/http/loopback_http_server.h"

namespace testing_support {

struct GeneratedUnit {
    std::string id;
    std::string name;  // GBK
    std::string ssoCode;
    int childCount = 0;
    std::string orgCode;
};

class OrgService {
  public:
    enum class Answer { Units, Failure, NotXml };

    OrgService(int fanOut, int depth);

    // The service address for `GetSSOGroupUrl`.
    std::string Url() const { return server_.Url("/org"); }
    void SetAnswer(Answer answer) { answer_ = answer; }

    // The units below `parentId` ("" for the top level) and their document.
    std::vector<GeneratedUnit> UnitsBelow(std::string_view parentId) const;
    std::string Document(std::string_view parentId) const;

    const LoopbackHttpServer& server() const { return server_; }

  private:
    std::optional<std::string> Respond(const RecordedRequest& request) const;

    int fanOut_;
    int depth_;
    std::atomic<Answer> answer_{Answer::Units};
    LoopbackHttpServer server_;  // last: it answers through the members above
};

}  // namespace testing_support
