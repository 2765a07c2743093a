#include "os/sys/thread_check.h"

#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace os {
namespace {

std::string IdText(std::thread::id id) {
    std::ostringstream text;
    text << id;
    return text.str();
}

}  // namespace

std::string DescribeCurrentThread() {
    char name[32] = {};
    pthread_getname_np(pthread_self(), name, sizeof name);
    return "\"" + std::string(name) + "\" (" + IdText(std::this_thread::get_id()) + ")";
}

void FailWrongThread(std::string_view call, std::string_view object, std::string_view ownerThread,
                     std::thread::id owner) {
    const std::string ownerText = ownerThread.empty() ? IdText(owner) : std::string(ownerThread);
    std::fprintf(stderr, "%.*s: %.*s belongs to thread %s, called on thread %s\n",
                 static_cast<int>(call.size()), call.data(), static_cast<int>(object.size()),
                 object.data(), ownerText.c_str(), DescribeCurrentThread().c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace os
