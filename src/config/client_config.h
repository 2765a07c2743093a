#pragma once
// The deployment configuration: every server address, web page, optional component, window
// title, limit, time-out and interval of one login server's INI file, loaded into one plain
// object that the rest of the client reads. Integer keys are ints, the rest GBK strings.
//
// Fields carry the key names. Keys that several sections share (URL, X, Y, Cx, Cy, Title,
// Server, Port, ...) live in a struct per section; every other key is a field of its own.
// The defaults are those of the key catalogue (config_catalogue.h); a default-constructed
// ClientConfig holds them, the same values an empty file loads.
//
// The one process-wide instance is owned by the window manager; nothing here is global.

#include <string>
#include <vector>

namespace config {

// One small embedded browser window: its page and placement. X and Y of -1 centre it.
struct WebWindowSetting {
    std::string URL;
    int X = 0;
    int Y = 0;
    int Cx = 0;
    int Cy = 0;
    std::string Title;
};

// The start-up page window has a delay of its own besides the window keys.
struct StartupIESetting : WebWindowSetting {
    int DelayTime = 0;
};

// The weather window: two pages, a size and a delay, but no position or title.
struct WeatherIESetting {
    std::string WEBURL;
    std::string IMAGEURL;
    int Cx = 0;
    int Cy = 0;
    int Delaytime = 0;
};

struct AudioServerSetting {
    std::string Server;
    int Port = 0;
};

// Type: 0 no proxy, 1 SOCKS4, 2 SOCKS5, 3 HTTP (the settings dialog's order).
struct ProxySetting {
    int Type = 0;
    std::string Server;
    int Port = 0;
    std::string UserName;
    std::string Password;
};

struct ToolBarPosition {
    int x = -1;
    int y = -1;
};

struct ToolBarSetting {
    int Count = 0;
    int ImageWidth = 0;
    int ImageHeight = 0;
    int QueryDelay = 0;
    // Count + 1 entries, positions[i] for button i (1-based); entry 0 is unused. Empty when
    // Count is below 1 or too large to be a real tool bar: the tool bar then lays itself out.
    std::vector<ToolBarPosition> positions;
};

struct LocalNetIPSetting {
    int count = 0;
    // IP[0] holds key IP1; count entries, or none when count is below 1 or implausibly large.
    std::vector<std::string> IP;
};

struct ClientConfig {
    // Fills every field with its catalogue default.
    ClientConfig();

    // Window Setting
    int MainWindowLeft = 0;
    int MainWindowTop = 0;
    int MainWindowWidth = 0;
    int MainWindowHeight = 0;
    std::string LoginCSFaceGroupTitle;
    std::string LoginBSFaceGroupTitle;
    int MainWindowAlwaysOnTop = 0;
    std::string LogoFile;
    std::string PublishFile;
    std::string TitleLogoFile;
    std::string ConsultationRoomTitle;
    std::string VirtualRoomTitle;
    std::string OrganizeRoomTitle;
    std::string PlatformRoomTitle;
    std::string BuddyRoomTitle;
    std::string SSORoomTitle;
    std::string PlacardTitle;
    std::string MailTitle;
    std::string UndoBusyTitle;
    std::string faxTitle;
    std::string SelfRoomTitle;
    std::string CSRoomTitle;
    std::string RegisterTitle;
    std::string LoginGroupTitle;
    int TreeItemHeight = 0;
    std::string MainWindowTitle;
    std::string WorkContactTitle;
    std::string WorkContactFloderDeptTitle;
    std::string WorkContactFloderBusinessTitle;
    std::string WorkContactFloderOrganizeTitle;
    std::string PrivateContactTitle;
    std::string PrivateContactName;
    std::string PrivateContactFloderGovTitle;
    std::string PrivateContactFloderPubTitle;
    std::string TelContactTitle;
    int TabImgWidth = 0;
    int TabImgHeight = 0;
    int DlgMainMinWidth = 0;
    int DlgMainMinHeight = 0;
    std::string RecentContactTitle;
    std::string RecentContactIMTitle;
    std::string RecentContactSMSTitle;

    // Server Setting
    std::string ChangePersonInfoUrl;
    std::string WebAdminManagerUrl;
    std::string PalcardUrl;
    std::string MailUrl;
    std::string PublishUrl;
    std::string RegUrl;
    std::string ForgetPassUrl;
    std::string SSOUrl;
    std::string VirtualInteractionSubmitUrl;
    std::string KBSubmitUrl;
    std::string ConferenceHistoryUrl;
    std::string KBSearchFormatUrl;
    std::string SendMailUrl;
    std::string GetSSOGroupUrl;
    std::string GroupNameUrl;
    std::string HostName;
    std::string OnlineConsultationUrl;
    std::string SearchServer;
    int VcardVersion = 0;
    int UseTLS = 0;
    // Ours, not among the client's original keys: the XMPP server's port ("XmppPort").
    int XmppPort = 5222;
    int LoginTimeOut = 0;
    std::string OfflineUploadUrl;
    std::string OfflineDownLoadUrl;
    std::string SSOAuthURL;
    std::string SSOAuthParam;
    std::string updatelisturl;
    std::string remotedir;
    std::string DriveDownloadURL;

    // Common Setting
    std::string AboutVersionInfo;
    std::string CompanyInfo;
    std::string CopyRightInfo;
    int AutoRun = 0;
    int AutoLogin = 0;
    int RememberPass = 0;
    int BuddyStatusNotify = 0;
    int MinimizeOnCloseButton = 0;
    int SendKey = 0;
    int SmsHasNickName = 0;
    int IdentifyValidate = 0;
    int SMSCenter = 0;
    int MaxGroupSMSCount = 0;
    std::string MailNameKey;
    std::string MailPassKey;
    int MessageArrivedTipType = 0;
    int AudioDevice = 0;
    int AudioInput = 0;
    int VideoDevice = 0;
    int FluentFirst = 0;
    int Layout = 0;
    int ColorPlan = 0;  // chosen in the settings dialog and saved with the others
    int ExpandTreeRootAtFirst = 0;
    int OnlineUserInfoFormatInGroupTitle = 0;
    int BatchSendAbleInOrganizeTree = 0;
    int QueryPersonInfoInBuildTree = 0;
    int OnlyShowBuddyTel = 0;
    int ShowOrganizeTreeInAddContact = 0;
    int AutoChangeStateOnIdleTimeout = 0;
    int DefaultUserType = 0;
    int PingServerTime = 0;
    int QueryRootOnlineNumInterval = 0;
    int GetFirstLevTreeWait = 0;
    int LoadCustomTabUrlDelay = 0;
    int RTOAArrivedTipType = 0;
    int CustomChannelRefresh = 0;
    std::string InitPassword;
    int RequestWholeTree = 0;
    std::string IniVersion;
    int UpdatefileDelay = 0;
    int MaxOfflieFileSize = 0;
    int QueryMailInfoInterval = 0;
    std::string PinCode;
    int EnableChangePhoto = 0;
    int EnableOfflineFileTrans = 0;
    int ShowSignatureInTree = 0;
    std::string DefaultSignature;
    int SearchLev = 0;
    int SearchModal = 0;
    int SearchUserTarget = 0;
    int CountOfRecentContact = 0;
    int CountOfRecentChatContent = 0;
    int ShowAddBuddyTipInChatWnd = 0;
    int CanInputLoginName = 0;
    int GroupOrgBatchSendMsgLv = 0;

    // Component: optional features, 0 = absent
    int HasSmsLimit = 0;
    int HasMobileVcard = 0;
    int HasGroupLogin = 0;
    int HasSmsReply = 0;
    int HasClipScreen = 0;
    int HasWhiteBoard = 0;
    int HasRSS = 0;
    int HasRecentContact = 0;
    int HasRecentChatContentShow = 0;

    // UserInfo: the last login names
    std::string username;
    std::string loginname;

    AudioServerSetting AudioServer;

    // Web Setting
    std::string ChangePersonInfoParamList;
    std::string PortalParamList;
    int EncodeInChangePersonInfoWeb = 0;
    int UserTypeIsDigitalInChangePersonInfoWeb = 0;
    int EncodeSSOPassword = 0;
    std::string PalcardAddress;
    std::string WebChatAddress;
    std::string BBSAddress;
    std::string InterflowAddress;
    std::string OnlineServerAddress;
    std::string FaxUrl;
    std::string ProvinceMail;

    ProxySetting Proxy;

    // Plugin Setting: key "IPMSG " (with its trailing blank); 1 loads the IP-messenger plug-in
    int IPMSG = 0;

    // Message Setting: login refusal texts
    std::string UserDonotHaveLimitToLogin;
    std::string UserNameOrPasswordIsWrong;
    std::string AuthenticationMethodsIsWrong;
    std::string DigitalCertificateUserNameIsWrong;

    // EcpUser Setting: the softphone call-control account
    std::string EcpUserName;
    std::string EcpPassword;

    // VPN
    std::string vpnServer;
    int vpnPort = 0;

    // Embedded web windows, one per section
    StartupIESetting StartupIE;
    WebWindowSetting RealTimeOA;
    WebWindowSetting InfoModify;
    WebWindowSetting Conference;
    WebWindowSetting PersoninfoDlg;
    WebWindowSetting ChangePhoto;
    WebWindowSetting TimerSMSMgr;
    WebWindowSetting CS_VistorMsg;
    WebWindowSetting CS_Histroy;
    WebWindowSetting CS_Set;
    WebWindowSetting NoticeIEWindow;
    WeatherIESetting WeatherIE;

    ToolBarSetting ToolBar;
    LocalNetIPSetting LocalNetIP;

    // Not read from the file: set by every load, relative to the application folder.
    std::string WelcomeSound;
    std::string MessageSound;
};

}  // namespace config
