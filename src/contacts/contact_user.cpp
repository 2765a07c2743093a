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
      groupId(std::move(groupId)),
      subscription(std::move(subscription)),
      clock_(&clock),
      jid_(std::move(jid)) {
    Initialise();
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
        listedIn_.back()->RemoveUser(this);
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
    aux2 = other.aux2;
    SetPresence(other.presence_);
    groupKey = other.groupKey;
    mail = other.mail;
    mobile = other.mobile;
    workPhone = other.workPhone;
    unit = other.unit;
    shortNumber = other.shortNumber;
    fax = other.fax;
    extension = other.extension;
    staffNumber = other.staffNumber;
    videoCapable = other.videoCapable;
    phone2 = other.phone2;
    phone3 = other.phone3;
    phone4 = other.phone4;
    extra1 = other.extra1;
    extra2 = other.extra2;
    signature = other.signature;
    photoType = other.photoType;
    photoData = other.photoData;
    vcardFlags = other.vcardFlags;
    stateByte = other.stateByte;
    attachments = other.attachments;
}

void CUser::SetJid(std::string jid) {
    if (jid == jid_) return;
    std::string previous = std::exchange(jid_, std::move(jid));
    if (holder_ != nullptr) holder_->JidChanged(previous);
}

void CUser::SetPresence(std::string_view word) {
    if (word == presence_) return;
    presence_ = std::string(word);
    // Each group keeps per entry whether it counts the user online: tell every one.
    for (CGroup* group : listedIn_) group->RefreshOnline(this);
    if (holder_ != nullptr) holder_->PresenceChanged();
}

bool CUser::IsStale() const {
    // Unsigned difference: right across the 49.7-day wrap of the tick count.
    return clock_->TickCount() - touchedTicks > kStaleAfterMs;
}

std::string CUser::ShownName() const { return suffixOn == 1 ? name + nameSuffix : name; }

void CUser::UpdateDisplayText(std::string_view presenceWord, const SignatureRule& rule) {
    displayText = ShownName() + "(" + PresenceTable().GetLabel(presenceWord) + ")";
    if (rule.showInTree && !signature.empty() && signature != rule.defaultSignature) {
        displayText += "(" + signature + ")";
    }
}

bool CUser::MatchesPhone(std::string_view text) const {
    if (text.empty()) return false;
    for (const std::string* number : {&mobile, &phone2, &phone3, &phone4, &fax}) {
        if (os::EqualsNoCase(text, *number)) return true;
    }
    return os::EqualsNoCase(text, platform::Jid(jid_).LocalPart()) ||
           os::EqualsNoCase(text, workPhone);
}

std::string CUser::BuildExtensionXml() const {
    return "<SIGNATURE>" + EscapeXmlText(signature) + "</SIGNATURE><PHOTO><TYPE>" +
           EscapeXmlText(photoType) + "</TYPE><BINVAL>" + EscapeXmlText(photoData) +
           "</BINVAL></PHOTO><RECENTIM>" + EscapeXmlText(JoinList(recentIm)) +
           "</RECENTIM><RECENTSMS>" + EscapeXmlText(JoinList(recentSms)) + "</RECENTSMS>";
}

void CUser::ParseExtensionXml(std::string_view text) {
    signature.clear();
    photoType.clear();
    photoData.clear();
    recentIm.clear();
    recentSms.clear();
    // Read from a copy: `text` may be extensionXml itself.
    const std::string xml(text.empty() ? std::string_view(extensionXml) : text);
    if (xml.empty()) return;
    signature = TagValue(xml, "SIGNATURE");
    photoType = TagValue(xml, "TYPE");
    photoData = TagValue(xml, "BINVAL");
    recentIm = SplitList(TagValue(xml, "RECENTIM"));
    recentSms = SplitList(TagValue(xml, "RECENTSMS"));
}

void CUser::ApplyVcardFields(const CContactPersonInfo& vcard) {
    mobile = vcard.mobile;
    workPhone = vcard.workPhone;
    mail = vcard.email;
    unit = vcard.unit;
    industry = vcard.industry;
    title = vcard.title;
    duty = vcard.duty;
    shortNumber = vcard.shortNumber;
    fax = vcard.fax;
    extension = vcard.extension;
    staffNumber = vcard.staffNumber;
    videoCapable = vcard.videoCapable != 0 ? 1 : 0;
    vcardText = vcard.vcardTexts;
    extra4 = vcard.extra4;
    extensionXml = vcard.extensionXml;
    vcardFlags = vcard.flags;
    subscription = vcard.subscription;
    phone3 = vcard.phone3;
    phone2 = vcard.phone2;
    phone4 = vcard.phone4;
    extra1 = vcard.extra1;
    extra2 = vcard.extra2;
    ParseExtensionXml(extensionXml);
}

void CUser::FillPersonInfo(CContactPersonInfo& info) const {
    info.jid = jid_;
    info.name = name;
    info.mobile = mobile;
    info.workPhone = workPhone;
    info.email = mail;
    info.unit = unit;
    info.industry = industry;
    info.title = title;
    info.duty = duty;
    info.shortNumber = shortNumber;
    info.fax = fax;
    info.extension = extension;
    info.staffNumber = staffNumber;
    info.videoCapable = videoCapable;
    info.vcardTexts = vcardText;
    info.extra4 = extra4;
    info.extensionXml = BuildExtensionXml();
    info.flags = vcardFlags;
    info.subscription = subscription;
    info.phone3 = phone3;
    info.phone2 = phone2;
    info.phone4 = phone4;
    info.extra1 = extra1;
    info.extra2 = extra2;
}

}  // namespace contacts
