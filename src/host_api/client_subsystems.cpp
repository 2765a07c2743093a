#include "host_api/client_subsystems.h"

#include "core/doors.h"
#include "host_api/window_manager.h"

namespace {

notify::NotifySeams MakeSeams(notify::DirectJobs& direct, notify::UiJobs& ui,
                              notify::IncomingMessageHooks& incoming) {
    notify::NotifySeams seams;
    seams.direct = &direct;
    seams.ui = &ui;
    seams.incoming = &incoming;
    return seams;
}

}  // namespace

ClientSubsystems::ClientSubsystems(core::ClientContext& context, CWindowManager& manager)
    : context_(context),
      manager_(manager),
      trees_(context),
      contactService_(trees_),
      uiJobs_(context, trees_),
      directJobs_(context, trees_),
      incomingHooks_(trees_),
      proxy_(context, MakeSeams(directJobs_, uiJobs_, incomingHooks_)) {
    context_.doors().pump.Plug(proxy_);
    context_.doors().contacts.Plug(contactService_);
    manager_.SetContactTrees(&trees_);
}

ClientSubsystems::~ClientSubsystems() {
    manager_.SetContactTrees(nullptr);
    context_.doors().pump.Unplug();
    context_.doors().contacts.Unplug();
}
