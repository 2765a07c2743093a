// The organisation-unit picker's source: the XML it reads, the address it asks, and a request
// against a generated organisation service on 127.0.0.1 with the log lines of each outcome.

#include "web/org_units.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "os/prompt/scripted_prompter.h"
#include "os/services/log.h"
#include "os/text/gbk_codec.h"
#include "support/case_name.h"
#include "support/gbk_print.h"
#include "support/http/no_proxy.h"
#include "support/http/org_service.h"
#include "web/generic_http_client.h"

namespace {

using testing_support::OrgService;
using web::ChildUnitsAnswer;
using web::OrgUnit;

struct ParseCase {
    const char* name;
    std::string document;
    std::optional<std::vector<OrgUnit>> units;
};

std::string Utf8(const std::string& gbk) { return os::GbkToUtf8Lossy(gbk); }

std::vector<ParseCase> ParseCases() {
    return {
        {"two units in document order",
         "<r><u><orgid>1</orgid><orgname>" + Utf8("办公厅") +
             "</orgname><ssocoding>s1</ssocoding><childnum>3</childnum><orgcoding>C1</orgcoding>"
             "</u><u><orgid>2</orgid><orgname>b</orgname></u></r>",
         std::vector<OrgUnit>{{"1", "办公厅", "s1", "3", "C1"}, {"2", "b", "", "", ""}}},
        {"names in any case and other elements ignored",
         "<?xml version=\"1.0\"?><list><Unit><ORGID>7</ORGID><OrgName>x</OrgName><extra>e"
         "</extra><SsoCoding>s</SsoCoding><CHILDNUM>0</CHILDNUM><OrgCoding>o</OrgCoding>"
         "</Unit><!-- c --></list>",
         std::vector<OrgUnit>{{"7", "x", "s", "0", "o"}}},
        {"entities and character data",
         "<r><u><orgid>a&amp;b</orgid><orgname><![CDATA[<n>]]></orgname></u></r>",
         std::vector<OrgUnit>{{"a&b", "<n>", "", "", ""}}},
        {"declared GBK taken as it is",
         "<?xml version=\"1.0\" encoding=\"GBK\"?><r><u><orgid>1</orgid><orgname>" +
             std::string("财政局") + "</orgname></u></r>",
         std::vector<OrgUnit>{{"1", "财政局", "", "", ""}}},
        {"a root without units", "<units/>", std::vector<OrgUnit>{}},
        {"unclosed element", "<units><unit>", std::nullopt},
        {"plain text", "not xml at all", std::nullopt},
        {"empty answer", "", std::nullopt},
        {"only a declaration", "<?xml version=\"1.0\"?>", std::nullopt},
    };
}

class ParseOrgUnitsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseOrgUnitsTest, ReadsTheUnitsOrRefusesTheDocument) {
    const ParseCase& c = GetParam();
    const std::optional<std::vector<OrgUnit>> units = web::ParseOrgUnits(c.document);
    ASSERT_EQ(units.has_value(), c.units.has_value());
    if (!units) return;
    ASSERT_EQ(units->size(), c.units->size());
    for (std::size_t i = 0; i < units->size(); ++i) {
        EXPECT_GBK_EQ((*units)[i].name, (*c.units)[i].name);
        EXPECT_EQ((*units)[i], (*c.units)[i]) << "unit " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, ParseOrgUnitsTest, ::testing::ValuesIn(ParseCases()),
                         [](const auto& info) {
                             return testing_support::IndexedName(info.index, info.param.name);
                         });

TEST(OrgUnitsUrlTest, AddsTheParentOnlyWhenThereIsOne) {
    EXPECT_EQ(web::OrgUnitsUrl("http://h/org", "12"), "http://h/org?parentOrgid=12");
    EXPECT_EQ(web::OrgUnitsUrl("http://h/org", ""), "http://h/org");
}

class RequestChildUnitsTest : public ::testing::Test {
  protected:
    ChildUnitsAnswer Request(std::string_view parent) {
        return web::RequestChildUnits(client, *log, service.Url(), parent);
    }

    testing_support::NoProxy noProxy;
    os::ManualClock clock;
    os::ScriptedPrompter prompter{
        [](const os::PromptRecord& r) { ADD_FAILURE() << "unexpected prompt: " << r.text; }};
    web::GenericHttpClient client{{.clock = &clock, .prompter = &prompter}};
    std::unique_ptr<os::Log> log = os::Log::Capturing(clock);
    OrgService service{3, 2};
};

TEST_F(RequestChildUnitsTest, LoadsTheUnitsBelowTheParentWithTheClientsAgent) {
    const ChildUnitsAnswer answer = Request("2");
    ASSERT_EQ(answer.outcome, ChildUnitsAnswer::Outcome::Loaded);
    ASSERT_EQ(answer.units.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const testing_support::GeneratedUnit expected = service.UnitsBelow("2")[i];
        EXPECT_EQ(answer.units[i],
                  (OrgUnit{expected.id, expected.name, expected.ssoCode,
                           std::to_string(expected.childCount), expected.orgCode}));
    }
    const auto requests = service.server().Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/org?parentOrgid=2");
    EXPECT_EQ(requests[0].Header("User-Agent"), std::string(web::kClientUserAgent));
    const std::vector<std::string> lines = log->CapturedTexts();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_GBK_EQ(lines[0], "请求子组信息, 父组 2");
    EXPECT_GBK_EQ(lines[1], "收到子组信息( 父组 2 ): " + os::Utf8ToGbkLossy(service.Document("2")));
    EXPECT_GBK_EQ(lines[2], "加载XML成功");
}

TEST_F(RequestChildUnitsTest, AsksForTheTopLevelWithoutAParameter) {
    const ChildUnitsAnswer answer = Request("");
    ASSERT_EQ(answer.outcome, ChildUnitsAnswer::Outcome::Loaded);
    EXPECT_EQ(answer.units.size(), 3u);
    ASSERT_EQ(service.server().RequestCount(), 1u);
    EXPECT_EQ(service.server().Requests()[0].target, "/org");
}

TEST_F(RequestChildUnitsTest, ALastLevelUnitLoadsAnEmptyList) {
    const ChildUnitsAnswer answer = Request("2-1");
    EXPECT_EQ(answer.outcome, ChildUnitsAnswer::Outcome::Loaded);
    EXPECT_TRUE(answer.units.empty());
}

TEST_F(RequestChildUnitsTest, FailureAndNonXmlAreToldApartInTheLog) {
    struct Case {
        OrgService::Answer served;
        ChildUnitsAnswer::Outcome outcome;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {OrgService::Answer::Failure,
         ChildUnitsAnswer::Outcome::RequestFailed,
         {"请求子组信息, 父组 1", "请求失败"}},
        {OrgService::Answer::NotXml,
         ChildUnitsAnswer::Outcome::Unparsable,
         {"请求子组信息, 父组 1", "收到子组信息( 父组 1 ): <units><unit>"}},
    };
    for (const Case& c : cases) {
        log->ClearCaptured();
        service.SetAnswer(c.served);
        const ChildUnitsAnswer answer = Request("1");
        EXPECT_EQ(answer.outcome, c.outcome);
        EXPECT_TRUE(answer.units.empty());
        EXPECT_EQ(log->CapturedTexts(), c.lines);
    }
}

}  // namespace
