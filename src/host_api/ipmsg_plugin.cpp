#include "host_api/ipmsg_plugin.h"

#include <dlfcn.h>

#include "os/sys/paths.h"

namespace {

using EntryPoint = int (*)();

}  // namespace

std::unique_ptr<IpMsgPlugin> IpMsgPlugin::Load(const std::string& path, std::string* error) {
    const auto native = os::NativePath(path);
    if (!native) {
        if (error) *error = "bad path";
        return nullptr;
    }
    void* handle = dlopen(native->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        if (error) {
            const char* why = dlerror();
            *error = why ? why : "dlopen failed";
        }
        return nullptr;
    }
    std::unique_ptr<IpMsgPlugin> plugin(new IpMsgPlugin(handle));
    if (auto init = reinterpret_cast<EntryPoint>(plugin->Lookup("Init_Plugin"))) {
        if (init() == 0) {
            if (error) *error = "Init_Plugin answered 0";
            return nullptr;  // the destructor unloads it
        }
    }
    return plugin;
}

IpMsgPlugin::~IpMsgPlugin() {
    if (handle_ != nullptr) dlclose(handle_);
}

bool IpMsgPlugin::Stop() {
    auto destroy = reinterpret_cast<EntryPoint>(Lookup("Destory_Plugin"));
    if (destroy == nullptr) return false;
    destroy();
    return true;
}

void* IpMsgPlugin::Lookup(const char* name) {
    lookedUp_.emplace_back(name);
    return dlsym(handle_, name);
}
