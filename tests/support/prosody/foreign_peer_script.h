#pragma once
// The foreign client's program: a slixmpp client (Debian's python3-slixmpp), kept here as
// text so that the helper can write it beside its other files and run it with the system's
// Python. ASCII only: this build turns the literals of C++ files into GBK.
//
// It logs in (TLS checked against the CA given), sends its presence, says "ready", and then
// reports one line per chat message it receives and carries out one command per line it reads:
//   in:   "message <bare from> <hex UTF-8 body, or -> <child element tags, comma-separated>"
//   out:  "send <to> <hex UTF-8 body>"   a chat message with <active/>, nothing else
//         "composing <to>"               a chat state alone
//         "attention <to>"               an attention request alone
// It ends when its input closes or after its lifetime (seconds), whichever comes first.

namespace testing_support {

inline constexpr char kForeignPeerScript[] = R"py(
import asyncio, binascii, logging, ssl, sys
import slixmpp
from slixmpp.xmlstream.handler import Callback
from slixmpp.xmlstream.matcher import MatchXPath
from slixmpp.xmlstream import ET

jid, password, port, ca, lifetime = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4], float(sys.argv[5])
logging.basicConfig(level=logging.WARNING, stream=sys.stderr)

def say(line):
    sys.stdout.write(line + "\n")
    sys.stdout.flush()

class Peer(slixmpp.ClientXMPP):
    def __init__(self):
        super().__init__(jid, password)
        self.ssl_context = ssl.create_default_context(cafile=ca)
        self.register_plugin("xep_0085")
        self.register_plugin("xep_0224")
        self.add_event_handler("session_start", self.started)
        # Every message, not only those with a body (the "message" event's).
        self.register_handler(Callback("every message", MatchXPath("{jabber:client}message"),
                                       self.received))
        self.add_event_handler("disconnected", lambda _: self.loop.stop())

    async def started(self, _):
        self.send_presence()
        await self.get_roster()
        say("ready")
        self.loop.add_reader(sys.stdin.fileno(), self.command)

    def received(self, message):
        if message["type"] not in ("chat", "normal", "headline"):
            return
        body = message["body"]
        tags = ",".join(child.tag for child in message.xml)
        hexed = binascii.hexlify(body.encode("utf-8")).decode() if body else "-"
        say("message %s %s %s" % (message["from"].bare, hexed, tags))

    def command(self):
        line = sys.stdin.readline()
        if not line:
            self.loop.remove_reader(sys.stdin.fileno())
            self.disconnect()
            return
        words = line.split()
        if words[0] == "send":
            message = self.make_message(mto=words[1], mtype="chat",
                                        mbody=binascii.unhexlify(words[2]).decode("utf-8"))
            message["chat_state"] = "active"
            message.send()
        elif words[0] == "composing":
            message = self.make_message(mto=words[1], mtype="chat")
            message["chat_state"] = "composing"
            message.send()
        elif words[0] == "attention":
            self.plugin["xep_0224"].request_attention(words[1])

peer = Peer()
peer.loop.call_later(lifetime, peer.loop.stop)
peer.connect(("127.0.0.1", port), force_starttls=True)
peer.loop.run_forever()
)py";

}  // namespace testing_support
