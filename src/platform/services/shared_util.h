#pragma once
// SharedUtil: the helpers the client shares with the other programs of the product — the
// shared client directory, GBK/UTF-8 conversion, Base64, the login-server table and the
// pre-login configuration that holds it, and the operating-system version tests.
//
// One object per client, made from the shared client directory; tests make their own over a
// temporary folder. The pre-login configuration is the file kPreConfigFile in that directory:
//
//   [LoginServer]
//   Count=2          servers listed
//   Selected=2       nServerSel, 1-based
//   Name1=...        display name of server 1 (optional)
//   File1=config.ini configuration file of server 1, relative to the shared directory
//   ...
//
// A missing file, or one that lists no usable server, gives a table with the single server
// kDefaultConfigFile.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/services/base64.h"
#include "platform/services/login_server_table.h"

namespace platform {

inline constexpr const char* kPreConfigFile = "preconfig.ini";

class SharedUtil {
  public:
    // `commonDir`: the shared client directory (GBK); a trailing '/' is added when missing.
    // Reads the pre-login configuration from it.
    explicit SharedUtil(std::string commonDir);
    // Over os::SharedClientDir().
    static std::unique_ptr<SharedUtil> FromEnvironment();

    // The shared client directory, ending in '/'.
    const std::string& GetCommanDir() const { return commonDir_; }

    // ---- The login-server table
    LoginServerTable& LoginServers() { return servers_; }
    const LoginServerTable& LoginServers() const { return servers_; }
    int nServerSel() const { return servers_.nServerSel(); }
    bool SetServerSel(int oneBased) { return servers_.SetServerSel(oneBased); }
    // The selected server's configuration file as a full path: GetCommanDir() + its name.
    std::string SelectedConfigPath() const;

    // Reads the table and the selection again from the pre-login configuration.
    void LoadPreConfig();
    // Writes the table and the selection to the pre-login configuration (atomically). False
    // when the file cannot be written.
    bool WritePreConfig() const;

    // ---- Text
    // Strict conversions: false, and `out` empty, for input that is not valid in its encoding.
    static bool ConvertGBKToUtf8(std::string_view gbk, std::string& out);
    static bool ConvertUtf8ToGBK(std::string_view utf8, std::string& out);
    static std::string Base64Encode(std::string_view bytes) {
        return platform::Base64Encode(bytes);
    }
    static std::optional<std::string> Base64Decode(std::string_view text) {
        return platform::Base64Decode(text);
    }

    // GetPrivateProfileString on an INI file (a GBK path).
    static std::string GetINIString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view file);

    // ---- Operating-system version: this is a current system, newer than every version the
    // client asks about.
    static bool IsWinXPOrLater() { return true; }
    static bool IsVistaOrLater() { return true; }
    static bool IsWin7OrLater() { return true; }

  private:
    std::string commonDir_;
    LoginServerTable servers_;
};

}  // namespace platform
