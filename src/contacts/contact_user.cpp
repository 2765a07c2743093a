#include "contacts/contact_user.h"

#include <utility>

#include "contacts/contact_group.h"
#include "contacts/extension_xml.h"
#include "contacts/presence_table.h"
#include "contacts/tree_item_data.h"
#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/store/contact_person_info.h"

namespace contacts {

CUser::CUser(const os::Clock& clock, std::string jid, std::string name, std::string groupId,
             std::string subscription)
    : name(std::move(name)),
      groupId(groupId),
      subscription(subscription),
      clock_(&clock),
      jid_(std::move(jid)) {
    Initialise();
}

CUser::CUser(const os::Clock& clock, RecordTag) : clock_(&clock) {
    touchedTicks = clock_->TickCount();
}

std::unique_ptr<CUser> CUser::ForRecord(const os::Clock& clock) {
    return std::unique_ptr<CUser>(new CUser(clock, RecordTag{}));
}

CUser::CUser(const CUser& other) : clock_(other.clock_) {
    Initialise();
    CopyPersonFrom(other);
    // A new user shows its own presence, which it took from the original.
    UpdateDisplayText(presence_);
}

CUser& CUser::operator=(const CUser& other) {
    if (this != &other) {
        CopyPersonFrom(other);
    }
    return *this;
}

CUser::~CUser() {
    while (!listedIn_.empty()) {
        const std::size_t before = listedIn_.size();
        listedIn_.back().group->RemoveUser(this);
        if (listedIn_.size() == before) listedIn_.pop_back();
    }
}

void CUser::Initialise() {
    UpdateDisplayText(presence_);
    touchedTicks = clock_->TickCount();
    stateByte = 0;
    orderIndex = 0;
    videoCapable = 0;
    suffixOn = 0;
}

void CUser::CopyPersonFrom(const CUser& other) {
    SetJid(other.jid_);
    name = other.name;
    groupId = other.groupId;
    subscription = other.subscription;
    SetPresence(other.presence_);
    groupKey = other.groupKey;
    videoCapable = other.videoCapable;
    vcardFlags = other.vcardFlags;
    stateByte = other.stateByte;
    // Neither has details: every copied detail is empty on both sides already.
    if (other.details_ == nullptr && details_ == nullptr) return;
    const UserDetails& from = other.details();
    UserDetails& to = EditDetails();
    to.aux2 = from.aux2;
    to.mail = from.mail;
    to.mobile = from.mobile;
    to.workPhone = from.workPhone;
    to.unit = from.unit;
    to.shortNumber = from.shortNumber;
    to.fax = from.fax;
    to.extension = from.extension;
    to.staffNumber = from.staffNumber;
    to.phone2 = from.phone2;
    to.phone3 = from.phone3;
    to.phone4 = from.phone4;
    to.extra1 = from.extra1;
    to.extra2 = from.extra2;
    to.signature = from.signature;
    to.photoType = from.photoType;
    to.photoData = from.photoData;
    to.attachments = from.attachments;
}

UserDetails& CUser::ResetDetails() {
    details_ = std::make_unique<UserDetails>();
    return *details_;
}

const UserDetails& CUser::details() const {
    static const UserDetails kNone;
    return details_ != nullptr ? *details_ : kNone;
}

UserDetails& CUser::EditDetails() {
    if (details_ == nullptr) details_ = std::make_unique<UserDetails>();
    return *details_;
}

void CUser::Listings::push_back(const Listing& listing) {
    if (size_ == capacity_) {
        auto* grown = new Listing[capacity_ * 2];
        std::copy(begin(), end(), grown);
        if (capacity_ > kInline) delete[] heap_;
        heap_ = grown;
        capacity_ *= 2;
    }
    data()[size_++] = listing;
}

void CUser::SetJid(std::string jid) {
    if (jid == jid_) return;
    std::string previous = std::exchange(jid_, std::move(jid));
    if (holder_ != nullptr) holder_->JidChanged(previous);
}

void CUser::SetPresence(std::string_view word) {
    if (word == presence_.view()) return;
    presence_ = SharedText::Word(word);
    // Each group keeps per entry whether it counts the user online: tell every one.
    for (const Listing& listing : listedIn_) listing.group->RefreshOnline(this);
    if (holder_ != nullptr) holder_->PresenceChanged();
}

bool CUser::IsStale() const {
    // Unsigned difference: right across the 49.7-day wrap of the tick count.
    return clock_->TickCount() - touchedTicks > kStaleAfterMs;
}

std::string CUser::ShownName() const {
    if (suffixOn != 1) return name;
    std::string shown = name;
    shown += details().nameSuffix.view();
    return shown;
}

void CUser::UpdateDisplayText(std::string_view presenceWord, const SignatureRule& rule) {
    displayText = ShownName() + "(" + PresenceTable().GetLabel(presenceWord) + ")";
    const std::string& signature = details().signature;
    if (rule.showInTree && !signature.empty() && signature != rule.defaultSignature) {
        displayText += "(" + signature + ")";
    }
}

bool CUser::MatchesPhone(std::string_view text) const {
    if (text.empty()) return false;
    const UserDetails& d = details();
    for (const SharedText* number : {&d.mobile, &d.phone2, &d.phone3, &d.phone4, &d.fax}) {
        if (os::EqualsNoCase(text, number->view())) return true;
    }
    return os::EqualsNoCase(text, platform::Jid(jid_).LocalPart()) ||
           os::EqualsNoCase(text, d.workPhone);
}

std::string CUser::BuildExtensionXml() const {
    const UserDetails& d = details();
    return "<SIGNATURE>" + EscapeXmlText(d.signature) + "</SIGNATURE><PHOTO><TYPE>" +
           EscapeXmlText(d.photoType) + "</TYPE><BINVAL>" + EscapeXmlText(d.photoData) +
           "</BINVAL></PHOTO><RECENTIM>" + EscapeXmlText(JoinList(d.recentIm)) +
           "</RECENTIM><RECENTSMS>" + EscapeXmlText(JoinList(d.recentSms)) + "</RECENTSMS>";
}

void CUser::ParseExtensionXml(std::string_view text) {
    // Nothing to empty and nothing to read: a user without details stays without.
    if (details_ == nullptr && text.empty()) return;
    UserDetails& d = EditDetails();
    d.signature.clear();
    d.photoType.clear();
    d.photoData.clear();
    d.recentIm.clear();
    d.recentSms.clear();
    // Read from a copy: `text` may be extensionXml itself.
    const std::string xml(text.empty() ? std::string_view(d.extensionXml) : text);
    if (xml.empty()) return;
    d.signature = TagValue(xml, "SIGNATURE");
    d.photoType = TagValue(xml, "TYPE");
    d.photoData = TagValue(xml, "BINVAL");
    d.recentIm = SplitList(TagValue(xml, "RECENTIM"));
    d.recentSms = SplitList(TagValue(xml, "RECENTSMS"));
}

void CUser::ApplyVcardFields(const CContactPersonInfo& vcard) {
    UserDetails& d = EditDetails();
    d.mobile = vcard.mobile;
    d.workPhone = vcard.workPhone;
    d.mail = vcard.email;
    d.unit = vcard.unit;
    d.industry = vcard.industry;
    d.title = vcard.title;
    d.duty = vcard.duty;
    d.shortNumber = vcard.shortNumber;
    d.fax = vcard.fax;
    d.extension = vcard.extension;
    d.staffNumber = vcard.staffNumber;
    videoCapable = vcard.videoCapable != 0 ? 1 : 0;
    for (std::size_t i = 0; i < d.vcardText.size(); ++i) d.vcardText[i] = vcard.vcardTexts[i];
    d.extra4 = vcard.extra4;
    d.extensionXml = vcard.extensionXml;
    vcardFlags = vcard.flags;
    subscription = vcard.subscription;
    d.phone3 = vcard.phone3;
    d.phone2 = vcard.phone2;
    d.phone4 = vcard.phone4;
    d.extra1 = vcard.extra1;
    d.extra2 = vcard.extra2;
    ParseExtensionXml(d.extensionXml);
}

void CUser::FillPersonInfo(CContactPersonInfo& info) const {
    const UserDetails& d = details();
    info.jid = jid_;
    info.name = name;
    info.mobile = d.mobile;
    info.workPhone = d.workPhone;
    info.email = d.mail;
    info.unit = d.unit;
    info.industry = d.industry;
    info.title = d.title;
    info.duty = d.duty;
    info.shortNumber = d.shortNumber;
    info.fax = d.fax;
    info.extension = d.extension;
    info.staffNumber = d.staffNumber;
    info.videoCapable = videoCapable;
    for (std::size_t i = 0; i < d.vcardText.size(); ++i) info.vcardTexts[i] = d.vcardText[i].str();
    info.extra4 = d.extra4;
    info.extensionXml = BuildExtensionXml();
    info.flags = vcardFlags;
    info.subscription = subscription;
    info.phone3 = d.phone3;
    info.phone2 = d.phone2;
    info.phone4 = d.phone4;
    info.extra1 = d.extra1;
    info.extra2 = d.extra2;
}

}  // namespace contacts
