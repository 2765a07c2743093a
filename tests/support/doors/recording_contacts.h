#pragma once
// A contact door with a selection the test sets, recording what is asked of it.

#include <optional>
#include <string>
#include <vector>

#include "core/doors/contact_service.h"

namespace testing_support {

class RecordingContacts : public core::ContactService {
  public:
    std::optional<core::ContactSelection> selection;
    std::vector<std::string> addedNumbers;
    int serverWorkStopped = 0;

    std::optional<core::ContactSelection> Selection() override { return selection; }
    void AddMobileToPhoneBook(const std::string& number) override {
        addedNumbers.push_back(number);
    }
    void StopServerWork() override { ++serverWorkStopped; }
    void ShowAddContactFor(const std::string& jid) override { addContactDialogs.push_back(jid); }
    std::vector<std::string> addContactDialogs;  // the JIDs the add-contact dialog was for
};

}  // namespace testing_support
