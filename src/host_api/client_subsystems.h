#pragma once
// ClientSubsystems: the client's subsystems that the window manager reaches through the doors
// of its context (core/doors.h), built, owned and plugged in together: the contact trees, the
// notification pump (theBaseProxy) with the jobs of its routes, the contact door of the
// exports and the contact lookup of new chat windows. It owns what it plugs in; every door it
// leaves alone keeps its defaults and is named in the start-up log.
//
// Build it after the window manager and destroy it before: it plugs itself in when made
// and takes itself out (the doors go back to their defaults) when destroyed.

#include "contacts/contact_tree_service.h"
#include "contacts/contact_trees.h"
#include "notify/base_proxy.h"
#include "notify/client_jobs.h"

class CWindowManager;

class ClientSubsystems {
  public:
    ClientSubsystems(core::ClientContext& context, CWindowManager& manager);
    ~ClientSubsystems();
    ClientSubsystems(const ClientSubsystems&) = delete;
    ClientSubsystems& operator=(const ClientSubsystems&) = delete;

    contacts::ContactTrees& contactTrees() { return trees_; }
    CBaseProxy& baseProxy() { return proxy_; }

  private:
    core::ClientContext& context_;
    CWindowManager& manager_;
    contacts::ContactTrees trees_;
    contacts::ContactTreeService contactService_;
    notify::ClientUiJobs uiJobs_;
    notify::ClientDirectJobs directJobs_;
    notify::ClientIncomingHooks incomingHooks_;
    CBaseProxy proxy_;
};
