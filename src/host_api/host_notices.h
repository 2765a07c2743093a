#pragma once
// How a pop-up tip reads in the host's notification: a title saying who or what it is about,
// and the line to show (GBK).

#include <string>

#include "platform/services/notice_pop.h"

struct HostNotice {
    std::string title;
    std::string text;
};

HostNotice DescribeForHost(const platform::TipCall& call);
