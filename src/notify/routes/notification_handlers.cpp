#include "notify/routes/notification_handlers.h"

#include <string>

#include "os/services/log.h"
#include "os/text/cstring_ops.h"

namespace notify {
namespace {

std::size_t PartIndex(Side side) {
    switch (side) {
        case Side::Direct:
            return 0;
        case Side::Ui:
            return 1;
        case Side::ServiceDesk:
        case Side::Copy:
            break;
    }
    return 2;
}

std::uint8_t SideBit(Side side) { return static_cast<std::uint8_t>(1u << static_cast<int>(side)); }

// "26 (FileTransferStarted)", or the bare code of an unrouted one.
std::string Named(std::uint32_t type) {
    const DispatchRow row = RouteOf(type);
    if (row.name.empty()) return os::Format("%u", type);
    return os::Format("%u (%s)", type, std::string(row.name).c_str());
}

}  // namespace

// ---- Registration

Registration::~Registration() { Cancel(); }

Registration::Registration(Registration&& other) noexcept
    : registry_(std::move(other.registry_)), id_(other.id_) {
    other.id_ = 0;
}

Registration& Registration::operator=(Registration&& other) noexcept {
    if (this != &other) {
        Cancel();
        registry_ = std::move(other.registry_);
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

void Registration::Cancel() {
    if (id_ == 0) return;
    if (auto registry = registry_.lock()) registry->Remove(id_);
    registry_.reset();
    id_ = 0;
}

// ---- NotificationHandlers

std::shared_ptr<NotificationHandlers> NotificationHandlers::Create(os::Log& log) {
    return std::shared_ptr<NotificationHandlers>(new NotificationHandlers(log));
}

Registration NotificationHandlers::OnUi(const TypeCodes& types, RecordHandler handler) {
    return Add(types, Side::Ui, [handler = std::move(handler)](const Record& record) {
        handler(record);
        return HandOver::ToUi;
    });
}

Registration NotificationHandlers::OnServiceDesk(const TypeCodes& types, RecordHandler handler) {
    return Add(types, Side::ServiceDesk, [handler = std::move(handler)](const Record& record) {
        handler(record);
        return HandOver::ToUi;
    });
}

Registration NotificationHandlers::OnCopy(const TypeCodes& types, CopyHandler handler) {
    return AddCopy(types, std::move(handler));
}

bool NotificationHandlers::MayRegister(std::uint32_t type, Side side, bool taken) {
    if (type > kLastRoutedType || !Reaches(RouteOf(type).route, side)) {
        log_.WriteLog2(2, os::Format("A %s handler for notification %s refused: its route has "
                                     "no such part",
                                     std::string(SideName(side)).c_str(), Named(type).c_str()));
        return false;
    }
    if (taken) {
        log_.WriteLog2(2, os::Format("A second %s handler for notification %s refused",
                                     std::string(SideName(side)).c_str(), Named(type).c_str()));
        return false;
    }
    return true;
}

Registration NotificationHandlers::Add(const TypeCodes& types, Side side, DirectHandler handler) {
    auto shared = std::make_shared<const DirectHandler>(std::move(handler));
    std::lock_guard lock(mutex_);
    const std::uint64_t id = ++lastId_;
    bool any = false;
    for (std::uint32_t type : types) {
        const bool taken =
            type <= kLastRoutedType && slots_[type].parts[PartIndex(side)].function != nullptr;
        if (!MayRegister(type, side, taken)) continue;
        slots_[type].parts[PartIndex(side)] = Entry<DirectHandler>{id, shared};
        any = true;
    }
    return any ? Registration(weak_from_this(), id) : Registration();
}

Registration NotificationHandlers::AddCopy(const TypeCodes& types, CopyHandler handler) {
    auto shared = std::make_shared<const CopyHandler>(std::move(handler));
    std::lock_guard lock(mutex_);
    const std::uint64_t id = ++lastId_;
    bool any = false;
    for (std::uint32_t type : types) {
        const bool taken = type <= kLastRoutedType && slots_[type].copy.function != nullptr;
        if (!MayRegister(type, Side::Copy, taken)) continue;
        slots_[type].copy = Entry<CopyHandler>{id, shared};
        any = true;
    }
    return any ? Registration(weak_from_this(), id) : Registration();
}

Registration NotificationHandlers::OnSubcode(int subcode, SubcodeHandler handler) {
    std::lock_guard lock(mutex_);
    if (IsRecordSubcode(subcode)) {
        log_.WriteLog2(2, os::Format("A handler for UI subcode %d refused: it carries records, "
                                     "whose handlers go by type code",
                                     subcode));
        return Registration();
    }
    if (subcodes_.count(subcode) != 0) {
        log_.WriteLog2(2, os::Format("A second handler for UI subcode %d refused", subcode));
        return Registration();
    }
    const std::uint64_t id = ++lastId_;
    subcodes_[subcode] =
        Entry<SubcodeHandler>{id, std::make_shared<const SubcodeHandler>(std::move(handler))};
    return Registration(weak_from_this(), id);
}

void NotificationHandlers::Remove(std::uint64_t id) {
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_) {
        for (Entry<DirectHandler>& part : slot.parts) {
            if (part.id == id) part = {};
        }
        if (slot.copy.id == id) slot.copy = {};
    }
    for (auto it = subcodes_.begin(); it != subcodes_.end();) {
        it = it->second.id == id ? subcodes_.erase(it) : std::next(it);
    }
}

bool NotificationHandlers::Has(std::uint32_t type, Side side) const {
    if (type > kLastRoutedType) return false;
    std::lock_guard lock(mutex_);
    if (side == Side::Copy) return slots_[type].copy.function != nullptr;
    return slots_[type].parts[PartIndex(side)].function != nullptr;
}

bool NotificationHandlers::HasSubcode(int subcode) const {
    std::lock_guard lock(mutex_);
    return subcodes_.count(subcode) != 0;
}

std::shared_ptr<const NotificationHandlers::DirectHandler> NotificationHandlers::FindPart(
    std::uint32_t type, Side side) const {
    if (type > kLastRoutedType) return nullptr;
    std::lock_guard lock(mutex_);
    return slots_[type].parts[PartIndex(side)].function;
}

void NotificationHandlers::ReportMissing(std::uint32_t type, Side side) {
    if (type > kLastRoutedType || !Reaches(RouteOf(type).route, side)) return;
    const std::uint8_t bit = SideBit(side);
    if ((reported_[type].fetch_or(bit) & bit) != 0) return;
    log_.WriteLog2(2, os::Format("Notification %s reaches its %s part, where no handler is "
                                 "registered",
                                 Named(type).c_str(), std::string(SideName(side)).c_str()));
}

HandOver NotificationHandlers::RunDirect(const Record& record) {
    if (auto handler = FindPart(record.type, Side::Direct)) return (*handler)(record);
    ReportMissing(record.type, Side::Direct);
    return RouteOf(record.type).withoutDirectHandler;
}

void NotificationHandlers::RunServiceDesk(const Record& record) {
    if (auto handler = FindPart(record.type, Side::ServiceDesk)) {
        (*handler)(record);
        return;
    }
    ReportMissing(record.type, Side::ServiceDesk);
}

void NotificationHandlers::RunUi(const Record& record) {
    if (auto handler = FindPart(record.type, Side::Ui)) {
        (*handler)(record);
        return;
    }
    ReportMissing(record.type, Side::Ui);
}

void NotificationHandlers::RunCopy(std::unique_ptr<Record> copy) {
    if (copy == nullptr) return;
    std::shared_ptr<const CopyHandler> handler;
    if (copy->type <= kLastRoutedType) {
        std::lock_guard lock(mutex_);
        handler = slots_[copy->type].copy.function;
    }
    if (handler) {
        (*handler)(std::move(copy));
        return;
    }
    ReportMissing(copy->type, Side::Copy);
}

std::optional<os::LRESULT> NotificationHandlers::RunSubcode(int subcode, os::LPARAM lParam) {
    std::shared_ptr<const SubcodeHandler> handler;
    {
        std::lock_guard lock(mutex_);
        auto it = subcodes_.find(subcode);
        if (it == subcodes_.end()) return std::nullopt;
        handler = it->second.function;
    }
    return (*handler)(lParam);
}

}  // namespace notify
