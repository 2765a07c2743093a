#pragma once
// Whether the computer has a network to reach a server through: some interface other than
// the loopback one is up and running. What a Windows client asks InternetGetConnectedState.

namespace os {

bool NonLoopbackInterfaceUp();

}  // namespace os
