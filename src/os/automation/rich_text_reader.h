#pragma once
// A rich edit's content as the automation interface reports it: plain text, format runs,
// objects, and a description a person can read (see RichText in qorvdesk/automation.h).

#include <string>

#include "os/controls/rich_edit.h"
#include "qorvdesk/automation.h"

namespace qorvdesk::automation {

RichText ReadRichEdit(const os::RichEdit& edit);

// One line of the description, without its line break.
std::string DescribeRun(const RichRun& run);
std::string DescribeObject(const RichObjectInfo& object);

}  // namespace qorvdesk::automation
