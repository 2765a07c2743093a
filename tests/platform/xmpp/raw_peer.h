#pragma once
// A bare libstrophe client for tests: it logs in to the test's Prosody and sends whatever
// stanzas a test writes, as any other program on the network could. It runs its loop only
// while a test waits on it.

#include <strophe.h>

#include <string>
#include <vector>

#include "support/wait_for.h"

namespace xmpp_testing {

class RawPeer {
  public:
    RawPeer(const std::string& fullJid, const std::string& password, const std::string& caFile,
            int port)
        : ctx_(xmpp_ctx_new(nullptr, nullptr)), conn_(xmpp_conn_new(ctx_)) {
        xmpp_conn_set_jid(conn_, fullJid.c_str());
        xmpp_conn_set_pass(conn_, password.c_str());
        xmpp_conn_set_cafile(conn_, caFile.c_str());
        xmpp_conn_set_flags(conn_, XMPP_CONN_FLAG_MANDATORY_TLS | XMPP_CONN_FLAG_DISABLE_SM);
        xmpp_handler_add(conn_, &RawPeer::OnStanza, nullptr, nullptr, nullptr, this);
        xmpp_connect_client(conn_, "127.0.0.1", static_cast<unsigned short>(port),
                            &RawPeer::OnEvent, this);
    }
    ~RawPeer() {
        xmpp_conn_release(conn_);
        xmpp_ctx_free(ctx_);
    }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    // Runs the loop until `condition` holds (bounded).
    template <typename Condition>
    ::testing::AssertionResult RunUntil(Condition&& condition, std::string_view what) {
        return testing_support::WaitFor(
            [&] {
                xmpp_run_once(ctx_, 1);
                return condition();
            },
            what);
    }
    ::testing::AssertionResult WaitConnected() {
        return RunUntil([&] { return connected_ || failed_; }, "the raw peer's login");
    }
    bool connected() const { return connected_; }

    // Sends a stanza written as (UTF-8) XML.
    void Send(const std::string& xml) {
        xmpp_stanza_t* stanza = xmpp_stanza_new_from_string(ctx_, xml.c_str());
        ASSERT_NE(stanza, nullptr) << xml;
        xmpp_send(conn_, stanza);
        xmpp_stanza_release(stanza);
    }
    // Sends a ping to the server and runs until its answer: everything sent before has been
    // handled by the server.
    ::testing::AssertionResult Echo() {
        const std::string id = "raw-echo-" + std::to_string(++echoes_);
        Send("<iq type='get' id='" + id + "'><ping xmlns='urn:xmpp:ping'/></iq>");
        return RunUntil([&] { return Received(id); }, "the raw peer's echo");
    }

    // The serialised stanzas received so far.
    const std::vector<std::string>& received() const { return received_; }
    bool Received(const std::string& part) const {
        for (const std::string& text : received_) {
            if (text.find(part) != std::string::npos) return true;
        }
        return false;
    }

  private:
    static void OnEvent(xmpp_conn_t*, xmpp_conn_event_t event, int, xmpp_stream_error_t*,
                        void* userdata) {
        auto* self = static_cast<RawPeer*>(userdata);
        if (event == XMPP_CONN_CONNECT) {
            self->connected_ = true;
            self->Send("<presence/>");
        } else if (event != XMPP_CONN_RAW_CONNECT) {
            self->failed_ = true;
            self->connected_ = false;
        }
    }
    static int OnStanza(xmpp_conn_t*, xmpp_stanza_t* stanza, void* userdata) {
        char* buffer = nullptr;
        size_t size = 0;
        if (xmpp_stanza_to_text(stanza, &buffer, &size) == XMPP_EOK) {
            auto* self = static_cast<RawPeer*>(userdata);
            self->received_.emplace_back(buffer, size);
            xmpp_free(self->ctx_, buffer);
        }
        return 1;
    }

    xmpp_ctx_t* ctx_;
    xmpp_conn_t* conn_;
    bool connected_ = false;
    bool failed_ = false;
    int echoes_ = 0;
    std::vector<std::string> received_;
};

}  // namespace xmpp_testing
