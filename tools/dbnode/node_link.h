// The node's sockets. It only ever talks to the namespace a test made for
// it: it refuses to start elsewhere (see platform::InTestNetworkNamespace),
// and it never sends to an address outside 127.0.0.0/8 and the private ranges.
#pragma once
#include <cstddef>
#include <string>

#include "tools/dbnode/node.h"

namespace dbnode {

struct NodeSockets {
    int request = -1;  // address requests (broadcast to the request port)
    int data = -1;     // updates and keep-alives from the client; everything sent
};

bool InTestNetworkNamespace();

bool OpenNodeSockets(const std::string& address, int dataPort, int requestPort, NodeSockets* sockets,
                     std::string* error);

// Sends one datagram from the data socket; false when refused or failed.
bool SendOutgoing(const NodeSockets& sockets, const Outgoing& out);

// Reads one waiting datagram; returns its length, or -1 when none.
long ReadDatagram(int socket, unsigned char* buffer, std::size_t capacity);

}  // namespace dbnode
