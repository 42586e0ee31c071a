// Tests that open sockets must never reach the machine's real network.
// They run inside a private network namespace whose only interface is lo
// (under Wine: one with private addresses only and no default route).
#pragma once

namespace testsupport {

// True when the only network interface is loopback.
bool InPrivateNetworkNamespace();

// Ends the test program with a message unless it runs in a private
// network namespace. Call first thing in main() of every socket test.
void RequirePrivateNetworkNamespace();

}  // namespace testsupport
