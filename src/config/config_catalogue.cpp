#include "config/config_catalogue.h"

#include <cstring>
#include <vector>

namespace config {
namespace {

using C = ClientConfig;

template <auto... path>
CatalogueKey Int(const char* section, const char* key, int defaultValue) {
    return {section, key, KeyType::Int, defaultValue, nullptr, Field<path...>(), {}};
}

template <auto... path>
CatalogueKey Str(const char* section, const char* key, const char* defaultValue) {
    return {section, key, KeyType::String, 0, defaultValue, {}, Field<path...>()};
}

// Stand-ins for the vendor's own hosts and pages. Every default below that names a host uses
// one of these; a deployment's INI file gives the real addresses.
constexpr const char* kVendorHomePage = "http://www.example.invalid/";
constexpr const char* kVendorSiteHost = "www.example.invalid";
constexpr const char* kSearchServerHost = "search.example.invalid";
constexpr const char* kOnlineConsultationPage = "http://web.example.invalid/jsp/gxlist2.jsp?pid=7";
constexpr const char* kProvinceMailLogin =
    "http://sso.example.invalid/SSOV1.0/ADLoginPost.aspx?ReturnUrl=http://mail.example.invalid/";
// Built-in softphone account: a 12-digit number and a five-letters-four-digits password.
constexpr const char* kEcpUserName = "100000000001";
constexpr const char* kEcpPassword = "abcde1234";

constexpr const char* kWindow = "Window Setting";
constexpr const char* kServer = "Server Setting";
constexpr const char* kCommon = "Common Setting";
constexpr const char* kComponent = "Component";
constexpr const char* kUserInfo = "UserInfo";
constexpr const char* kAudioServer = "Audio Server Setting";
constexpr const char* kWeb = "Web Setting";
constexpr const char* kProxy = "Proxy Setting";
constexpr const char* kPlugin = "Plugin Setting";
constexpr const char* kMessage = "Message Setting";
constexpr const char* kEcpUser = "EcpUser Setting";
constexpr const char* kVpn = "VPN";
constexpr const char* kStartupIE = "Startup IE Setting";
constexpr const char* kWeatherIE = "Weather IE Setting";

// The six keys of an embedded web-window section.
template <auto window>
void AddWebWindow(std::vector<CatalogueKey>& keys, const char* section, int cx, int cy,
                  const char* title) {
    using W = WebWindowSetting;
    keys.push_back(Str<window, &W::URL>(section, "URL", kVendorSiteHost));
    keys.push_back(Int<window, &W::X>(section, "X", -1));
    keys.push_back(Int<window, &W::Y>(section, "Y", -1));
    keys.push_back(Int<window, &W::Cx>(section, "Cx", cx));
    keys.push_back(Int<window, &W::Cy>(section, "Cy", cy));
    keys.push_back(Str<window, &W::Title>(section, "Title", title));
}

std::vector<CatalogueKey> BuildCatalogue() {
    std::vector<CatalogueKey> k;
    k.reserve(280);

    k.push_back(Int<&C::MainWindowLeft>(kWindow, "MainWindowLeft", 0));
    k.push_back(Int<&C::MainWindowTop>(kWindow, "MainWindowTop", 0));
    k.push_back(Int<&C::MainWindowWidth>(kWindow, "MainWindowWidth", 0));
    k.push_back(Int<&C::MainWindowHeight>(kWindow, "MainWindowHeight", 0));
    k.push_back(Str<&C::LoginCSFaceGroupTitle>(kWindow, "LoginCSFaceGroupTitle", ""));
    k.push_back(Str<&C::LoginBSFaceGroupTitle>(kWindow, "LoginBSFaceGroupTitle", ""));
    k.push_back(Int<&C::MainWindowAlwaysOnTop>(kWindow, "MainWindowAlwaysOnTop", 0));
    k.push_back(Str<&C::LogoFile>(kWindow, "LogoFile", ""));
    k.push_back(Str<&C::PublishFile>(kWindow, "PublishFile", ""));
    k.push_back(Str<&C::TitleLogoFile>(kWindow, "TitleLogoFile", ""));
    k.push_back(Str<&C::ConsultationRoomTitle>(kWindow, "ConsultationRoomTitle", "网上咨询室"));
    k.push_back(Str<&C::VirtualRoomTitle>(kWindow, "VirtualRoomTitle", "网上值班室"));
    k.push_back(Str<&C::OrganizeRoomTitle>(kWindow, "OrganizeRoomTitle", "组织机构"));
    k.push_back(Str<&C::PlatformRoomTitle>(kWindow, "PlatformRoomTitle", "政务平台"));
    k.push_back(Str<&C::BuddyRoomTitle>(kWindow, "BuddyRoomTitle", "我的好友"));
    k.push_back(Str<&C::SSORoomTitle>(kWindow, "SSORoomTitle", "单点登录"));
    k.push_back(Str<&C::PlacardTitle>(kWindow, "PlacardTitle", "公告"));
    k.push_back(Str<&C::MailTitle>(kWindow, "MailTitle", "邮件"));
    k.push_back(Str<&C::UndoBusyTitle>(kWindow, "UndoBusyTitle", "代办件"));
    k.push_back(Str<&C::faxTitle>(kWindow, "faxTitle", "传真"));
    k.push_back(Str<&C::SelfRoomTitle>(kWindow, "SelfRoomTitle", "群"));
    k.push_back(Str<&C::CSRoomTitle>(kWindow, "CSRoomTitle", "网上值班平台"));
    k.push_back(Str<&C::RegisterTitle>(kWindow, "RegisterTitle", "我要申请新帐户"));
    k.push_back(Str<&C::LoginGroupTitle>(kWindow, "LoginGroupTitle", "单  位"));
    k.push_back(Int<&C::TreeItemHeight>(kWindow, "TreeItemHeight", 20));
    k.push_back(Str<&C::MainWindowTitle>(kWindow, "MainWindowTitle", "Qorvdesk"));
    k.push_back(Str<&C::WorkContactTitle>(kWindow, "WorkContactTitle", "工作通讯录"));
    k.push_back(
        Str<&C::WorkContactFloderDeptTitle>(kWindow, "WorkContactFloderDeptTitle", "部门通讯录"));
    k.push_back(Str<&C::WorkContactFloderBusinessTitle>(kWindow, "WorkContactFloderBusinessTitle",
                                                        "业务通讯录"));
    k.push_back(Str<&C::WorkContactFloderOrganizeTitle>(kWindow, "WorkContactFloderOrganizeTitle",
                                                        "公共通讯录"));
    k.push_back(Str<&C::PrivateContactTitle>(kWindow, "PrivateContactTitle", "个人通讯录"));
    k.push_back(Str<&C::PrivateContactName>(kWindow, "PrivateContactName", "个人通讯录"));
    k.push_back(
        Str<&C::PrivateContactFloderGovTitle>(kWindow, "PrivateContactFloderGovTitle", "我的好友"));
    k.push_back(
        Str<&C::PrivateContactFloderPubTitle>(kWindow, "PrivateContactFloderPubTitle", "公众用户"));
    k.push_back(Str<&C::TelContactTitle>(kWindow, "TelContactTitle", "电话簿"));
    k.push_back(Int<&C::TabImgWidth>(kWindow, "TabImgWidth", 32));
    k.push_back(Int<&C::TabImgHeight>(kWindow, "TabImgHeight", 32));
    k.push_back(Int<&C::DlgMainMinWidth>(kWindow, "DlgMainMinWidth", 294));
    k.push_back(Int<&C::DlgMainMinHeight>(kWindow, "DlgMainMinHeight", 640));
    k.push_back(Str<&C::RecentContactTitle>(kWindow, "RecentContactTitle", "最近联系人"));
    k.push_back(Str<&C::RecentContactIMTitle>(kWindow, "RecentContactIMTitle", "最近IM联系人"));
    k.push_back(Str<&C::RecentContactSMSTitle>(kWindow, "RecentContactSMSTitle", "最近手机联系人"));

    k.push_back(Str<&C::ChangePersonInfoUrl>(kServer, "ChangePersonInfoUrl", kVendorHomePage));
    k.push_back(Str<&C::WebAdminManagerUrl>(kServer, "WebAdminManagerUrl", kVendorHomePage));
    k.push_back(Str<&C::PalcardUrl>(kServer, "PalcardUrl", kVendorHomePage));
    k.push_back(Str<&C::MailUrl>(kServer, "MailUrl", kVendorHomePage));
    k.push_back(Str<&C::PublishUrl>(kServer, "PublishUrl", kVendorHomePage));
    k.push_back(Str<&C::RegUrl>(kServer, "RegUrl", kVendorHomePage));
    k.push_back(Str<&C::ForgetPassUrl>(kServer, "ForgetPassUrl", kVendorHomePage));
    k.push_back(Str<&C::SSOUrl>(kServer, "SSOUrl", kVendorHomePage));
    k.push_back(Str<&C::VirtualInteractionSubmitUrl>(kServer, "VirtualInteractionSubmitUrl",
                                                     kVendorHomePage));
    k.push_back(Str<&C::KBSubmitUrl>(kServer, "KBSubmitUrl", kVendorHomePage));
    k.push_back(Str<&C::ConferenceHistoryUrl>(kServer, "ConferenceHistoryUrl", kVendorHomePage));
    k.push_back(Str<&C::KBSearchFormatUrl>(kServer, "KBSearchFormatUrl", kVendorHomePage));
    k.push_back(Str<&C::SendMailUrl>(kServer, "SendMailUrl", ""));
    k.push_back(Str<&C::GetSSOGroupUrl>(kServer, "GetSSOGroupUrl", ""));
    k.push_back(Str<&C::GroupNameUrl>(kServer, "GroupNameUrl", ""));
    k.push_back(Str<&C::HostName>(kServer, "HostName", ""));
    k.push_back(
        Str<&C::OnlineConsultationUrl>(kServer, "OnlineConsultationUrl", kOnlineConsultationPage));
    k.push_back(Str<&C::SearchServer>(kServer, "SearchServer", kSearchServerHost));
    k.push_back(Int<&C::VcardVersion>(kServer, "VcardVersion", 0));
    k.push_back(Int<&C::UseTLS>(kServer, "UseTLS", 0));
    // Ours: the original engine took its port from elsewhere; HostName, UseTLS and this key
    // point the client at an XMPP server.
    k.push_back(Int<&C::XmppPort>(kServer, "XmppPort", 5222));
    k.push_back(Int<&C::LoginTimeOut>(kServer, "LoginTimeOut", 20));
    k.push_back(Str<&C::OfflineUploadUrl>(kServer, "OfflineUploadUrl", ""));
    k.push_back(Str<&C::OfflineDownLoadUrl>(kServer, "OfflineDownLoadUrl", ""));
    k.push_back(Str<&C::SSOAuthURL>(kServer, "SSOAuthURL", ""));
    k.push_back(Str<&C::SSOAuthParam>(kServer, "SSOAuthParam", ""));
    k.push_back(Str<&C::updatelisturl>(kServer, "updatelisturl", "NONE"));
    k.push_back(Str<&C::remotedir>(kServer, "remotedir", "NONE"));
    k.push_back(Str<&C::DriveDownloadURL>(kServer, "DriveDownloadURL", ""));

    k.push_back(Str<&C::AboutVersionInfo>(kCommon, "AboutVersionInfo", ""));
    k.push_back(Str<&C::CompanyInfo>(kCommon, "CompanyInfo", ""));
    k.push_back(Str<&C::CopyRightInfo>(kCommon, "CopyRightInfo", ""));
    k.push_back(Int<&C::AutoRun>(kCommon, "AutoRun", 1));
    k.push_back(Int<&C::AutoLogin>(kCommon, "AutoLogin", 0));
    k.push_back(Int<&C::RememberPass>(kCommon, "RememberPass", 1));
    k.push_back(Int<&C::BuddyStatusNotify>(kCommon, "BuddyStatusNotify", 1));
    k.push_back(Int<&C::MinimizeOnCloseButton>(kCommon, "MinimizeOnCloseButton", 1));
    k.push_back(Int<&C::SendKey>(kCommon, "SendKey", 1));
    k.push_back(Int<&C::SmsHasNickName>(kCommon, "SmsHasNickName", 1));
    k.push_back(Int<&C::IdentifyValidate>(kCommon, "IdentifyValidate", 1));
    k.push_back(Int<&C::SMSCenter>(kCommon, "SMSCenter", 0));
    k.push_back(Int<&C::MaxGroupSMSCount>(kCommon, "MaxGroupSMSCount", 300));
    k.push_back(Str<&C::MailNameKey>(kCommon, "MailNameKey", "username"));
    k.push_back(Str<&C::MailPassKey>(kCommon, "MailPassKey", "password"));
    k.push_back(Int<&C::MessageArrivedTipType>(kCommon, "MessageArrivedTipType", 1));
    k.push_back(Int<&C::AudioDevice>(kCommon, "AudioDevice", -1));
    k.push_back(Int<&C::AudioInput>(kCommon, "AudioInput", -1));
    k.push_back(Int<&C::VideoDevice>(kCommon, "VideoDevice", -1));
    k.push_back(Int<&C::FluentFirst>(kCommon, "FluentFirst", 1));
    k.push_back(Int<&C::Layout>(kCommon, "Layout", 1));
    // Saved by the settings dialog, so it is read back too: otherwise the choice would be
    // lost at every start.
    k.push_back(Int<&C::ColorPlan>(kCommon, "ColorPlan", 0));
    k.push_back(Int<&C::ExpandTreeRootAtFirst>(kCommon, "ExpandTreeRootAtFirst", 1));
    k.push_back(
        Int<&C::OnlineUserInfoFormatInGroupTitle>(kCommon, "OnlineUserInfoFormatInGroupTitle", 0));
    k.push_back(Int<&C::BatchSendAbleInOrganizeTree>(kCommon, "BatchSendAbleInOrganizeTree", 0));
    k.push_back(Int<&C::QueryPersonInfoInBuildTree>(kCommon, "QueryPersonInfoInBuildTree", 1));
    k.push_back(Int<&C::OnlyShowBuddyTel>(kCommon, "OnlyShowBuddyTel", 0));
    k.push_back(Int<&C::ShowOrganizeTreeInAddContact>(kCommon, "ShowOrganizeTreeInAddContact", 1));
    k.push_back(Int<&C::AutoChangeStateOnIdleTimeout>(kCommon, "AutoChangeStateOnIdleTimeout", 0));
    k.push_back(Int<&C::DefaultUserType>(kCommon, "DefaultUserType", -1));
    k.push_back(Int<&C::PingServerTime>(kCommon, "PingServerTime", 1000));
    k.push_back(Int<&C::QueryRootOnlineNumInterval>(kCommon, "QueryRootOnlineNumInterval", -1));
    // The deployed files spell this one section in lower case; the reader ignores case.
    k.push_back(Int<&C::GetFirstLevTreeWait>("common Setting", "GetFirstLevTreeWait", -1));
    k.push_back(Int<&C::LoadCustomTabUrlDelay>(kCommon, "LoadCustomTabUrlDelay", -1));
    k.push_back(Int<&C::RTOAArrivedTipType>(kCommon, "RTOAArrivedTipType", 0));
    k.push_back(Int<&C::CustomChannelRefresh>(kCommon, "CustomChannelRefresh", 0));
    k.push_back(Str<&C::InitPassword>(kCommon, "InitPassword", "-1"));
    k.push_back(Int<&C::RequestWholeTree>(kCommon, "RequestWholeTree", 0));
    k.push_back(Str<&C::IniVersion>(kCommon, "IniVersion", "1000"));
    k.push_back(Int<&C::UpdatefileDelay>(kCommon, "UpdatefileDelay", 30));
    k.push_back(Int<&C::MaxOfflieFileSize>(kCommon, "MaxOfflieFileSize", 4000000));
    k.push_back(Int<&C::QueryMailInfoInterval>(kCommon, "QueryMailInfoInterval", -1));
    k.push_back(Str<&C::PinCode>(kCommon, "PinCode", ""));
    k.push_back(Int<&C::EnableChangePhoto>(kCommon, "EnableChangePhoto", 0));
    k.push_back(Int<&C::EnableOfflineFileTrans>(kCommon, "EnableOfflineFileTrans", 0));
    k.push_back(Int<&C::ShowSignatureInTree>(kCommon, "ShowSignatureInTree", 0));
    k.push_back(Str<&C::DefaultSignature>(kCommon, "DefaultSignature", ""));
    k.push_back(Int<&C::SearchLev>(kCommon, "SearchLev", 1));
    k.push_back(Int<&C::SearchModal>(kCommon, "SearchModal", 0));
    k.push_back(Int<&C::SearchUserTarget>(kCommon, "SearchUserTarget", 0));
    k.push_back(Int<&C::CountOfRecentContact>(kCommon, "CountOfRecentContact", 10));
    k.push_back(Int<&C::CountOfRecentChatContent>(kCommon, "CountOfRecentChatContent", 10));
    k.push_back(Int<&C::ShowAddBuddyTipInChatWnd>(kCommon, "ShowAddBuddyTipInChatWnd", 0));
    k.push_back(Int<&C::CanInputLoginName>(kCommon, "CanInputLoginName", 1));
    k.push_back(Int<&C::GroupOrgBatchSendMsgLv>(kCommon, "GroupOrgBatchSendMsgLv", 3));

    k.push_back(Int<&C::HasSmsLimit>(kComponent, "HasSmsLimit", 0));
    k.push_back(Int<&C::HasMobileVcard>(kComponent, "HasMobileVcard", 0));
    k.push_back(Int<&C::HasGroupLogin>(kComponent, "HasGroupLogin", 0));
    k.push_back(Int<&C::HasSmsReply>(kComponent, "HasSmsReply", 0));
    k.push_back(Int<&C::HasClipScreen>(kComponent, "HasClipScreen", 0));
    k.push_back(Int<&C::HasWhiteBoard>(kComponent, "HasWhiteBoard", 0));
    k.push_back(Int<&C::HasRSS>(kComponent, "HasRSS", 0));
    k.push_back(Int<&C::HasRecentContact>(kComponent, "HasRecentContact", 0));
    k.push_back(Int<&C::HasRecentChatContentShow>(kComponent, "HasRecentChatContentShow", 0));

    k.push_back(Str<&C::username>(kUserInfo, "username", ""));
    k.push_back(Str<&C::loginname>(kUserInfo, "loginname", ""));

    k.push_back(Str<&C::AudioServer, &AudioServerSetting::Server>(kAudioServer, "Server", ""));
    k.push_back(Int<&C::AudioServer, &AudioServerSetting::Port>(kAudioServer, "Port", 0));

    k.push_back(Str<&C::ChangePersonInfoParamList>(
        kWeb, "ChangePersonInfoParamList",
        "username=%s&password=%s&action=clientLogin&usertype=%s&end"));
    k.push_back(
        Str<&C::PortalParamList>(kWeb, "PortalParamList", "userid=%s&password=%s&extend=%s&end"));
    k.push_back(Int<&C::EncodeInChangePersonInfoWeb>(kWeb, "EncodeInChangePersonInfoWeb", 1));
    k.push_back(Int<&C::UserTypeIsDigitalInChangePersonInfoWeb>(
        kWeb, "UserTypeIsDigitalInChangePersonInfoWeb", 1));
    k.push_back(Int<&C::EncodeSSOPassword>(kWeb, "EncodeSSOPassword", 0));
    k.push_back(Str<&C::PalcardAddress>(kWeb, "PalcardAddress", ""));
    k.push_back(Str<&C::WebChatAddress>(kWeb, "WebChatAddress", ""));
    k.push_back(Str<&C::BBSAddress>(kWeb, "BBSAddress", ""));
    k.push_back(Str<&C::InterflowAddress>(kWeb, "InterflowAddress", ""));
    k.push_back(Str<&C::OnlineServerAddress>(kWeb, "OnlineServerAddress", ""));
    k.push_back(Str<&C::FaxUrl>(kWeb, "FaxUrl", ""));
    k.push_back(Str<&C::ProvinceMail>(kWeb, "ProvinceMail", kProvinceMailLogin));

    k.push_back(Int<&C::Proxy, &ProxySetting::Type>(kProxy, "Type", 0));
    k.push_back(Str<&C::Proxy, &ProxySetting::Server>(kProxy, "Server", ""));
    k.push_back(Int<&C::Proxy, &ProxySetting::Port>(kProxy, "Port", 0));
    k.push_back(Str<&C::Proxy, &ProxySetting::UserName>(kProxy, "UserName", ""));
    k.push_back(Str<&C::Proxy, &ProxySetting::Password>(kProxy, "Password", ""));

    // The key name ends with one blank, as the deployed files have it.
    k.push_back(Int<&C::IPMSG>(kPlugin, "IPMSG ", 0));

    k.push_back(Str<&C::UserDonotHaveLimitToLogin>(kMessage, "UserDonotHaveLimitToLogin",
                                                   "您无权登录即时消息服务器"));
    k.push_back(Str<&C::UserNameOrPasswordIsWrong>(kMessage, "UserNameOrPasswordIsWrong",
                                                   "用户名或密码错误"));
    k.push_back(Str<&C::AuthenticationMethodsIsWrong>(kMessage, "AuthenticationMethodsIsWrong",
                                                      "登录方式错误，请选择证书方式登录"));
    k.push_back(Str<&C::DigitalCertificateUserNameIsWrong>(
        kMessage, "DigitalCertificateUserNameIsWrong", "数字证书错误或无效"));

    k.push_back(Str<&C::EcpUserName>(kEcpUser, "EcpUserName", kEcpUserName));
    k.push_back(Str<&C::EcpPassword>(kEcpUser, "EcpPassword", kEcpPassword));

    k.push_back(Str<&C::vpnServer>(kVpn, "vpnServer", ""));
    k.push_back(Int<&C::vpnPort>(kVpn, "vpnPort", 0));

    AddWebWindow<&C::StartupIE>(k, kStartupIE, 400, 300, "Kestral IE");
    k.push_back(Int<&C::StartupIE, &StartupIESetting::DelayTime>(kStartupIE, "DelayTime", -1));
    AddWebWindow<&C::RealTimeOA>(k, "RealTime OA", 200, 200, "实时消息提醒");
    AddWebWindow<&C::InfoModify>(k, "Info Modify", 200, 200, "修改个人信息");
    AddWebWindow<&C::Conference>(k, "Conference", 400, 200, "群设置");
    AddWebWindow<&C::PersoninfoDlg>(k, "Personinfo Dlg", 400, 200, "查看个人信息");
    AddWebWindow<&C::ChangePhoto>(k, "Change Photo", 400, 200, "修改头象");
    AddWebWindow<&C::TimerSMSMgr>(k, "TimerSMSMgr", 500, 500, "定时管理");
    AddWebWindow<&C::CS_VistorMsg>(k, "CS_VistorMsg", 600, 600, "访客留言");
    AddWebWindow<&C::CS_Histroy>(k, "CS_Histroy", 600, 600, "历史记录");
    AddWebWindow<&C::CS_Set>(k, "CS_Set", 600, 600, "设置");
    AddWebWindow<&C::NoticeIEWindow>(k, "Notice IE Window", 600, 480, "公告");

    using Weather = WeatherIESetting;
    k.push_back(Str<&C::WeatherIE, &Weather::WEBURL>(kWeatherIE, "WEBURL", kVendorSiteHost));
    k.push_back(Str<&C::WeatherIE, &Weather::IMAGEURL>(kWeatherIE, "IMAGEURL", kVendorSiteHost));
    k.push_back(Int<&C::WeatherIE, &Weather::Cx>(kWeatherIE, "Cx", 200));
    k.push_back(Int<&C::WeatherIE, &Weather::Cy>(kWeatherIE, "Cy", 200));
    k.push_back(Int<&C::WeatherIE, &Weather::Delaytime>(kWeatherIE, "Delaytime", 2));

    k.push_back(Int<&C::ToolBar, &ToolBarSetting::Count>(kToolBarSection, "Count", 0));
    k.push_back(Int<&C::ToolBar, &ToolBarSetting::ImageWidth>(kToolBarSection, "ImageWidth", 0));
    k.push_back(Int<&C::ToolBar, &ToolBarSetting::ImageHeight>(kToolBarSection, "ImageHeight", 0));
    k.push_back(Int<&C::ToolBar, &ToolBarSetting::QueryDelay>(kToolBarSection, "QueryDelay", -1));

    k.push_back(Int<&C::LocalNetIP, &LocalNetIPSetting::count>(kLocalNetIPSection, "count", 0));
    return k;
}

const std::vector<CatalogueKey>& CatalogueKeys() {
    static const std::vector<CatalogueKey> keys = BuildCatalogue();
    return keys;
}

std::vector<const CatalogueKey*> BuildSavedKeys() {
    static constexpr std::pair<const char*, const char*> kSaved[] = {
        {kServer, "UseTLS"},
        {kCommon, "AutoRun"},
        {kCommon, "AutoLogin"},
        {kCommon, "RememberPass"},
        {kCommon, "BuddyStatusNotify"},
        {kCommon, "MinimizeOnCloseButton"},
        {kCommon, "IdentifyValidate"},
        {kCommon, "SendKey"},
        {kCommon, "SmsHasNickName"},
        {kCommon, "MessageArrivedTipType"},
        {kCommon, "Layout"},
        {kCommon, "ColorPlan"},
        {kCommon, "AudioDevice"},
        {kCommon, "AudioInput"},
        {kCommon, "AutoChangeStateOnIdleTimeout"},
        {kCommon, "QueryMailInfoInterval"},
        {kCommon, "PinCode"},
        {kUserInfo, "username"},
        {kUserInfo, "loginname"},
        {kProxy, "Type"},
        {kProxy, "Server"},
        {kProxy, "Port"},
        {kProxy, "UserName"},
        {kProxy, "Password"},
        {kStartupIE, "DelayTime"},
    };
    std::vector<const CatalogueKey*> saved;
    for (const auto& [section, key] : kSaved) {
        // Every saved key is a catalogue key; the tests hold the list to that.
        if (const CatalogueKey* entry = FindCatalogueKey(section, key)) saved.push_back(entry);
    }
    return saved;
}

}  // namespace

std::span<const CatalogueKey> Catalogue() { return CatalogueKeys(); }

std::span<const CatalogueKey* const> SavedKeys() {
    static const std::vector<const CatalogueKey*> keys = BuildSavedKeys();
    return keys;
}

const CatalogueKey* FindCatalogueKey(std::string_view section, std::string_view key) {
    for (const CatalogueKey& entry : CatalogueKeys()) {
        if (section == entry.section && key == entry.key) return &entry;
    }
    return nullptr;
}

void ApplyDefaults(ClientConfig& config) {
    for (const CatalogueKey& entry : CatalogueKeys()) {
        if (entry.type == KeyType::Int) {
            entry.intField.get(config) = entry.intDefault;
        } else {
            entry.stringField.get(config) = entry.stringDefault;
        }
    }
    config.ToolBar.positions.clear();
    config.LocalNetIP.IP.clear();
    config.WelcomeSound = kWelcomeSoundFile;
    config.MessageSound = kMessageSoundFile;
}

}  // namespace config
