#include "platform/session/notify_record.h"

#include "os/text/cstring_ops.h"

namespace platform {
namespace {

template <typename T, typename Variant>
struct AlternativeIndex;

template <typename T, typename... Ts>
struct AlternativeIndex<T, std::variant<Ts...>> {
    static constexpr std::size_t value = [] {
        constexpr bool matches[] = {std::is_same_v<T, Ts>...};
        for (std::size_t i = 0; i < sizeof...(Ts); ++i) {
            if (matches[i]) return i;
        }
        return sizeof...(Ts);
    }();
};

template <typename T>
constexpr std::size_t IndexOf = AlternativeIndex<T, NotifyPayload>::value;

}  // namespace

bool IsPresenceType(std::uint32_t type) {
    using namespace notify_type;
    switch (type) {
        case kPresenceAvailable:
        case kPresenceAway:
        case kPresenceExtendedAway:
        case kPresenceDoNotDisturb:
        case kPresenceBusy:
        case kPresenceOffline:
        case kPresenceProbeAnswer:
            return true;
        default:
            return false;
    }
}

bool IsMessageType(std::uint32_t type) {
    using namespace notify_type;
    return (type >= kChatMessage && type <= kChatMessage3) || type == kRoomMessageWithPictures ||
           type == kOaNotice;
}

std::size_t ExpectedPayloadIndex(std::uint32_t type) {
    using namespace notify_type;
    if (IsMessageType(type)) return IndexOf<MessageData>;
    if (IsPresenceType(type)) return IndexOf<PresenceData>;
    if ((type >= kFileTransferStarted && type <= kFileOffer) || type == kOfflineFileSwitch) {
        return IndexOf<FileTransferData>;
    }
    switch (type) {
        case kLoginResult:
            return IndexOf<LoginResultData>;
        case kLoggedInElsewhere:
            return IndexOf<LoggedInElsewhereData>;
        case kUpdateNotice:
            return IndexOf<UpdateNoticeData>;
        case kContactListLoading:
            return IndexOf<ContactListData>;
        case kSubscriptionRequest:
            return IndexOf<SubscriptionRequestData>;
        case kTreeNodeAdded:
            return IndexOf<RosterPushData>;
        case kChannelList:
            return IndexOf<ChannelListData>;
        case kTypingState:
            return IndexOf<TypingStateData>;
        case kSmsQuota:
            return IndexOf<SmsQuotaData>;
        case kTimedSmsAnswer:
            return IndexOf<TimedSmsAnswerData>;
        case kDataPhaseStart:
            return IndexOf<NoPayload>;
        default:
            return IndexOf<SlotData>;
    }
}

bool HasExpectedPayload(const NotifyRecord& record) {
    return record.payload.index() == ExpectedPayloadIndex(record.type);
}

std::uint32_t PresenceTypeFor(std::string_view presenceWord) {
    using namespace notify_type;
    struct Entry {
        std::string_view word;
        std::uint32_t type;
    };
    static constexpr Entry kTable[] = {
        {"online", kPresenceAvailable}, {"chat", kPresenceAvailable},   {"away", kPresenceAway},
        {"xa", kPresenceExtendedAway},  {"dnd", kPresenceDoNotDisturb}, {"busy", kPresenceBusy},
        {"offline", kPresenceOffline},
    };
    for (const Entry& entry : kTable) {
        if (os::EqualsNoCase(presenceWord, entry.word)) return entry.type;
    }
    return kPresenceAvailable;
}

}  // namespace platform
