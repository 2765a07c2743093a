#include "contacts/contact_cache_files.h"

#include "config/client_config.h"
#include "contacts/contact_cache.h"
#include "contacts/contact_trees.h"
#include "contacts/im_tree.h"
#include "core/client_context.h"
#include "os/services/log.h"
#include "os/sys/file_ops.h"
#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"

namespace contacts {

namespace {

constexpr int kWholeList = 2;

// Logs why the tree's cache was dropped and asks the server for the whole list.
void RequestWholeList(CachedTree which, core::ClientContext& context, const std::string& file,
                      int organizeListKind) {
    switch (which) {
        case CachedTree::BuddyList:
            context.log.WriteLog(
                os::Format("************从本地缓存读取好友列表异常:文件名'%s', "
                           "向服务器请求好友列表(Refresh=2)",
                           file.c_str()));
            context.session.RefreshRoster(kWholeList);
            return;
        case CachedTree::PhoneBook:
            context.log.WriteLog(os::Format("本地读取好友列表异常:文件名'%s'....", file.c_str()));
            // The phone book has a list call of its own; the roster's would leave it empty.
            context.session.RefreshTelContactTop(kWholeList);
            return;
        case CachedTree::Directory: {
            const std::string& title = CacheTitle(which, context.config);
            context.log.WriteLog(
                os::Format("本地读取'%s'异常:文件名'%s'....", title.c_str(), file.c_str()));
            context.log.WriteLog(os::Format("重新向服务器请求'%s'列表", title.c_str()));
            context.session.RequestOrganizeList(organizeListKind, kWholeList);
            return;
        }
    }
}

void DeleteCache(const core::ClientContext& context, const std::string& title) {
    if (const std::optional<std::string> path = CacheFilePath(context, title))
        os::DeleteFile(*path);
}

}  // namespace

const std::string& CacheTitle(CachedTree which, const config::ClientConfig& config) {
    switch (which) {
        case CachedTree::BuddyList:
            return config.PrivateContactFloderGovTitle;
        case CachedTree::PhoneBook:
            return config.TelContactTitle;
        case CachedTree::Directory:
            break;
    }
    return config.WorkContactFloderOrganizeTitle;
}

std::optional<std::string> CacheFileOf(CachedTree which, const core::ClientContext& context) {
    return CacheFilePath(context, CacheTitle(which, context.config));
}

bool LoadCachedTree(CIMTree& tree, CachedTree which, core::ClientContext& context,
                    int organizeListKind) {
    const std::optional<std::string> path = CacheFileOf(which, context);
    if (!path || !os::FileExists(*path)) return false;
    try {
        LoadTree(tree, context, *path);
        return true;
    } catch (const BrokenCacheFile&) {
    }
    os::DeleteFile(*path);
    tree.DeleteAllItemData();
    RequestWholeList(which, context, *path, organizeListKind);
    return false;
}

CachedTrees FindCachedTrees(const ContactTrees& trees, const config::ClientConfig& config) {
    CachedTrees found;
    for (CIMTree* tree : trees.trees()) {
        if (tree->topKind == kRosterTop) {
            if (!found.buddyList) found.buddyList = tree;
        } else if (tree->topKind == kPhoneBookTop) {
            if (!found.phoneBook) found.phoneBook = tree;
        } else if (!found.directory && tree->treeName() == config.WorkContactFloderOrganizeTitle) {
            found.directory = tree;
        }
    }
    return found;
}

void SaveContactCaches(const CachedTrees& trees, core::ClientContext& context) {
    const std::pair<CIMTree*, CachedTree> order[] = {{trees.buddyList, CachedTree::BuddyList},
                                                     {trees.phoneBook, CachedTree::PhoneBook},
                                                     {trees.directory, CachedTree::Directory}};
    for (const auto& [tree, which] : order) {
        if (tree == nullptr) continue;
        if (const std::optional<std::string> path = CacheFileOf(which, context))
            SaveTree(*tree, context, *path);
    }
}

std::string ClearCacheFiles(const CacheClearChoice& choice, const core::ClientContext& context,
                            std::string_view loginHistoryFile) {
    const config::ClientConfig& config = context.config;
    std::string labels;
    if (choice.loginHistory) {
        os::DeleteFile(context.folders.commonDir + std::string(loginHistoryFile));
        labels += "登录用户信息";
    }
    if (choice.publicDirectories) {
        DeleteCache(context, config.WorkContactFloderBusinessTitle);
        DeleteCache(context, config.WorkContactFloderDeptTitle);
        DeleteCache(context, config.WorkContactFloderOrganizeTitle);
        labels += "公共通讯录缓存";
    }
    if (choice.personalContacts) {
        DeleteCache(context, config.PrivateContactFloderGovTitle);
        DeleteCache(context, config.TelContactTitle);
        labels += "个人通讯录缓存";
    }
    return labels;
}

}  // namespace contacts
