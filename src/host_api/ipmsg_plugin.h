#pragma once
// The optional IP-messenger plug-in "ipmsgdll.dll": a shared library in the application
// folder with two entry points without arguments, "Init_Plugin" (non-zero on success) and
// "Destory_Plugin". A plug-in whose Init_Plugin answers 0 is unloaded at once and never told
// to stop; one without Init_Plugin stays loaded. Stop() does not unload it either.

#include <memory>
#include <string>
#include <vector>

inline constexpr const char* kIpMsgPluginFile = "ipmsgdll.dll";

class IpMsgPlugin {
  public:
    // Loads the library at `path` (GBK) and runs its Init_Plugin. Null when it cannot be
    // loaded or Init_Plugin answered 0; `error` (may be null) receives why.
    static std::unique_ptr<IpMsgPlugin> Load(const std::string& path, std::string* error);
    ~IpMsgPlugin();
    IpMsgPlugin(const IpMsgPlugin&) = delete;
    IpMsgPlugin& operator=(const IpMsgPlugin&) = delete;

    // Runs Destory_Plugin when the plug-in has it; true when it ran.
    bool Stop();

    // The entry points looked up so far, in order (for diagnostics and tests).
    const std::vector<std::string>& LookedUp() const { return lookedUp_; }

  private:
    explicit IpMsgPlugin(void* handle) : handle_(handle) {}
    void* Lookup(const char* name);

    void* handle_;
    std::vector<std::string> lookedUp_;
};
