#include "expected_catalogue.h"

namespace config_test {
namespace {

using config::ClientConfig;

// A key whose field carries the key's own name.
#define KEY(section, field, def)                                                            \
    ExpectedKey {                                                                           \
        section, #field, Value(def), [](const ClientConfig& c) -> Value { return c.field; } \
    }
// A key of a section struct: `member` is the path below ClientConfig.
#define SECTION_KEY(section, key, member, def)                                            \
    ExpectedKey {                                                                         \
        section, key, Value(def), [](const ClientConfig& c) -> Value { return c.member; } \
    }

#define WEB_WINDOW(section, member, cx, cy, title)                                            \
    SECTION_KEY(section, "URL", member.URL, std::string(kSiteHost)),                          \
        SECTION_KEY(section, "X", member.X, -1), SECTION_KEY(section, "Y", member.Y, -1),     \
        SECTION_KEY(section, "Cx", member.Cx, cx), SECTION_KEY(section, "Cy", member.Cy, cy), \
        SECTION_KEY(section, "Title", member.Title, std::string(title))

const std::string kHome = "http://www.example.invalid/";
const std::string kSiteHost = "www.example.invalid";
const std::string kEmpty;

std::vector<ExpectedKey> Build() {
    const char* W = "Window Setting";
    const char* S = "Server Setting";
    const char* C = "Common Setting";
    const char* K = "Component";
    const char* Web = "Web Setting";
    const char* M = "Message Setting";
    return {
        KEY(W, MainWindowLeft, 0),
        KEY(W, MainWindowTop, 0),
        KEY(W, MainWindowWidth, 0),
        KEY(W, MainWindowHeight, 0),
        KEY(W, LoginCSFaceGroupTitle, kEmpty),
        KEY(W, LoginBSFaceGroupTitle, kEmpty),
        KEY(W, MainWindowAlwaysOnTop, 0),
        KEY(W, LogoFile, kEmpty),
        KEY(W, PublishFile, kEmpty),
        KEY(W, TitleLogoFile, kEmpty),
        KEY(W, ConsultationRoomTitle, std::string("网上咨询室")),
        KEY(W, VirtualRoomTitle, std::string("网上值班室")),
        KEY(W, OrganizeRoomTitle, std::string("组织机构")),
        KEY(W, PlatformRoomTitle, std::string("政务平台")),
        KEY(W, BuddyRoomTitle, std::string("我的好友")),
        KEY(W, SSORoomTitle, std::string("单点登录")),
        KEY(W, PlacardTitle, std::string("公告")),
        KEY(W, MailTitle, std::string("邮件")),
        KEY(W, UndoBusyTitle, std::string("代办件")),
        KEY(W, faxTitle, std::string("传真")),
        KEY(W, SelfRoomTitle, std::string("群")),
        KEY(W, CSRoomTitle, std::string("网上值班平台")),
        KEY(W, RegisterTitle, std::string("我要申请新帐户")),
        KEY(W, LoginGroupTitle, std::string("单  位")),
        KEY(W, TreeItemHeight, 20),
        KEY(W, MainWindowTitle, std::string("Qorvdesk")),
        KEY(W, WorkContactTitle, std::string("工作通讯录")),
        KEY(W, WorkContactFloderDeptTitle, std::string("部门通讯录")),
        KEY(W, WorkContactFloderBusinessTitle, std::string("业务通讯录")),
        KEY(W, WorkContactFloderOrganizeTitle, std::string("公共通讯录")),
        KEY(W, PrivateContactTitle, std::string("个人通讯录")),
        KEY(W, PrivateContactName, std::string("个人通讯录")),
        KEY(W, PrivateContactFloderGovTitle, std::string("我的好友")),
        KEY(W, PrivateContactFloderPubTitle, std::string("公众用户")),
        KEY(W, TelContactTitle, std::string("电话簿")),
        KEY(W, TabImgWidth, 32),
        KEY(W, TabImgHeight, 32),
        KEY(W, DlgMainMinWidth, 294),
        KEY(W, DlgMainMinHeight, 640),
        KEY(W, RecentContactTitle, std::string("最近联系人")),
        KEY(W, RecentContactIMTitle, std::string("最近IM联系人")),
        KEY(W, RecentContactSMSTitle, std::string("最近手机联系人")),

        KEY(S, ChangePersonInfoUrl, kHome),
        KEY(S, WebAdminManagerUrl, kHome),
        KEY(S, PalcardUrl, kHome),
        KEY(S, MailUrl, kHome),
        KEY(S, PublishUrl, kHome),
        KEY(S, RegUrl, kHome),
        KEY(S, ForgetPassUrl, kHome),
        KEY(S, SSOUrl, kHome),
        KEY(S, VirtualInteractionSubmitUrl, kHome),
        KEY(S, KBSubmitUrl, kHome),
        KEY(S, ConferenceHistoryUrl, kHome),
        KEY(S, KBSearchFormatUrl, kHome),
        KEY(S, SendMailUrl, kEmpty),
        KEY(S, GetSSOGroupUrl, kEmpty),
        KEY(S, GroupNameUrl, kEmpty),
        KEY(S, HostName, kEmpty),
        KEY(S, OnlineConsultationUrl,
            std::string("http://web.example.invalid/jsp/gxlist2.jsp?pid=7")),
        KEY(S, SearchServer, std::string("search.example.invalid")),
        KEY(S, VcardVersion, 0),
        KEY(S, UseTLS, 0),
        KEY(S, XmppPort, 5222),
        KEY(S, LoginTimeOut, 20),
        KEY(S, OfflineUploadUrl, kEmpty),
        KEY(S, OfflineDownLoadUrl, kEmpty),
        KEY(S, SSOAuthURL, kEmpty),
        KEY(S, SSOAuthParam, kEmpty),
        KEY(S, updatelisturl, std::string("NONE")),
        KEY(S, remotedir, std::string("NONE")),
        KEY(S, DriveDownloadURL, kEmpty),

        KEY(C, AboutVersionInfo, kEmpty),
        KEY(C, CompanyInfo, kEmpty),
        KEY(C, CopyRightInfo, kEmpty),
        KEY(C, AutoRun, 1),
        KEY(C, AutoLogin, 0),
        KEY(C, RememberPass, 1),
        KEY(C, BuddyStatusNotify, 1),
        KEY(C, MinimizeOnCloseButton, 1),
        KEY(C, SendKey, 1),
        KEY(C, SmsHasNickName, 1),
        KEY(C, IdentifyValidate, 1),
        KEY(C, SMSCenter, 0),
        KEY(C, MaxGroupSMSCount, 300),
        KEY(C, MailNameKey, std::string("username")),
        KEY(C, MailPassKey, std::string("password")),
        KEY(C, MessageArrivedTipType, 1),
        KEY(C, AudioDevice, -1),
        KEY(C, AudioInput, -1),
        KEY(C, VideoDevice, -1),
        KEY(C, FluentFirst, 1),
        KEY(C, Layout, 1),
        KEY(C, ColorPlan, 0),
        KEY(C, ExpandTreeRootAtFirst, 1),
        KEY(C, OnlineUserInfoFormatInGroupTitle, 0),
        KEY(C, BatchSendAbleInOrganizeTree, 0),
        KEY(C, QueryPersonInfoInBuildTree, 1),
        KEY(C, OnlyShowBuddyTel, 0),
        KEY(C, ShowOrganizeTreeInAddContact, 1),
        KEY(C, AutoChangeStateOnIdleTimeout, 0),
        KEY(C, DefaultUserType, -1),
        KEY(C, PingServerTime, 1000),
        KEY(C, QueryRootOnlineNumInterval, -1),
        KEY(C, GetFirstLevTreeWait, -1),
        KEY(C, LoadCustomTabUrlDelay, -1),
        KEY(C, RTOAArrivedTipType, 0),
        KEY(C, CustomChannelRefresh, 0),
        KEY(C, InitPassword, std::string("-1")),
        KEY(C, RequestWholeTree, 0),
        KEY(C, IniVersion, std::string("1000")),
        KEY(C, UpdatefileDelay, 30),
        KEY(C, MaxOfflieFileSize, 4000000),
        KEY(C, QueryMailInfoInterval, -1),
        KEY(C, PinCode, kEmpty),
        KEY(C, EnableChangePhoto, 0),
        KEY(C, EnableOfflineFileTrans, 0),
        KEY(C, ShowSignatureInTree, 0),
        KEY(C, DefaultSignature, kEmpty),
        KEY(C, SearchLev, 1),
        KEY(C, SearchModal, 0),
        KEY(C, SearchUserTarget, 0),
        KEY(C, CountOfRecentContact, 10),
        KEY(C, CountOfRecentChatContent, 10),
        KEY(C, ShowAddBuddyTipInChatWnd, 0),
        KEY(C, CanInputLoginName, 1),
        KEY(C, GroupOrgBatchSendMsgLv, 3),

        KEY(K, HasSmsLimit, 0),
        KEY(K, HasMobileVcard, 0),
        KEY(K, HasGroupLogin, 0),
        KEY(K, HasSmsReply, 0),
        KEY(K, HasClipScreen, 0),
        KEY(K, HasWhiteBoard, 0),
        KEY(K, HasRSS, 0),
        KEY(K, HasRecentContact, 0),
        KEY(K, HasRecentChatContentShow, 0),

        KEY("UserInfo", username, kEmpty),
        KEY("UserInfo", loginname, kEmpty),

        SECTION_KEY("Audio Server Setting", "Server", AudioServer.Server, kEmpty),
        SECTION_KEY("Audio Server Setting", "Port", AudioServer.Port, 0),

        KEY(Web, ChangePersonInfoParamList,
            std::string("username=%s&password=%s&action=clientLogin&usertype=%s&end")),
        KEY(Web, PortalParamList, std::string("userid=%s&password=%s&extend=%s&end")),
        KEY(Web, EncodeInChangePersonInfoWeb, 1),
        KEY(Web, UserTypeIsDigitalInChangePersonInfoWeb, 1),
        KEY(Web, EncodeSSOPassword, 0),
        KEY(Web, PalcardAddress, kEmpty),
        KEY(Web, WebChatAddress, kEmpty),
        KEY(Web, BBSAddress, kEmpty),
        KEY(Web, InterflowAddress, kEmpty),
        KEY(Web, OnlineServerAddress, kEmpty),
        KEY(Web, FaxUrl, kEmpty),
        KEY(Web, ProvinceMail,
            std::string("http://sso.example.invalid/SSOV1.0/ADLoginPost.aspx"
                        "?ReturnUrl=http://mail.example.invalid/")),

        SECTION_KEY("Proxy Setting", "Type", Proxy.Type, 0),
        SECTION_KEY("Proxy Setting", "Server", Proxy.Server, kEmpty),
        SECTION_KEY("Proxy Setting", "Port", Proxy.Port, 0),
        SECTION_KEY("Proxy Setting", "UserName", Proxy.UserName, kEmpty),
        SECTION_KEY("Proxy Setting", "Password", Proxy.Password, kEmpty),

        SECTION_KEY("Plugin Setting", "IPMSG ", IPMSG, 0),

        KEY(M, UserDonotHaveLimitToLogin, std::string("您无权登录即时消息服务器")),
        KEY(M, UserNameOrPasswordIsWrong, std::string("用户名或密码错误")),
        KEY(M, AuthenticationMethodsIsWrong, std::string("登录方式错误，请选择证书方式登录")),
        KEY(M, DigitalCertificateUserNameIsWrong, std::string("数字证书错误或无效")),

        KEY("EcpUser Setting", EcpUserName, std::string("100000000001")),
        KEY("EcpUser Setting", EcpPassword, std::string("abcde1234")),

        KEY("VPN", vpnServer, kEmpty),
        KEY("VPN", vpnPort, 0),

        WEB_WINDOW("Startup IE Setting", StartupIE, 400, 300, "Kestral IE"),
        SECTION_KEY("Startup IE Setting", "DelayTime", StartupIE.DelayTime, -1),
        WEB_WINDOW("RealTime OA", RealTimeOA, 200, 200, "实时消息提醒"),
        WEB_WINDOW("Info Modify", InfoModify, 200, 200, "修改个人信息"),
        WEB_WINDOW("Conference", Conference, 400, 200, "群设置"),
        WEB_WINDOW("Personinfo Dlg", PersoninfoDlg, 400, 200, "查看个人信息"),
        WEB_WINDOW("Change Photo", ChangePhoto, 400, 200, "修改头象"),
        WEB_WINDOW("TimerSMSMgr", TimerSMSMgr, 500, 500, "定时管理"),
        WEB_WINDOW("CS_VistorMsg", CS_VistorMsg, 600, 600, "访客留言"),
        WEB_WINDOW("CS_Histroy", CS_Histroy, 600, 600, "历史记录"),
        WEB_WINDOW("CS_Set", CS_Set, 600, 600, "设置"),
        WEB_WINDOW("Notice IE Window", NoticeIEWindow, 600, 480, "公告"),

        SECTION_KEY("Weather IE Setting", "WEBURL", WeatherIE.WEBURL, kSiteHost),
        SECTION_KEY("Weather IE Setting", "IMAGEURL", WeatherIE.IMAGEURL, kSiteHost),
        SECTION_KEY("Weather IE Setting", "Cx", WeatherIE.Cx, 200),
        SECTION_KEY("Weather IE Setting", "Cy", WeatherIE.Cy, 200),
        SECTION_KEY("Weather IE Setting", "Delaytime", WeatherIE.Delaytime, 2),

        SECTION_KEY("ToolBar Setting", "Count", ToolBar.Count, 0),
        SECTION_KEY("ToolBar Setting", "ImageWidth", ToolBar.ImageWidth, 0),
        SECTION_KEY("ToolBar Setting", "ImageHeight", ToolBar.ImageHeight, 0),
        SECTION_KEY("ToolBar Setting", "QueryDelay", ToolBar.QueryDelay, -1),

        SECTION_KEY("LocalNetIP", "count", LocalNetIP.count, 0),
    };
}

#undef KEY
#undef SECTION_KEY
#undef WEB_WINDOW

}  // namespace

const std::vector<ExpectedKey>& ExpectedCatalogue() {
    static const std::vector<ExpectedKey> keys = Build();
    return keys;
}

std::string ToText(const Value& value) {
    if (const int* number = std::get_if<int>(&value)) return std::to_string(*number);
    return std::get<std::string>(value);
}

}  // namespace config_test
