// What the node's datagram handling (node.cpp) and its script commands
// (commands.cpp) share.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/dbnode/codec.h"
#include "tools/dbnode/node.h"

namespace dbnode {

std::int32_t NextSequence(Node* node);
// One printed line: the format's text and a line feed, flushed at once.
void Print(Node* node, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Queue(std::vector<Outgoing>* sends, const Endpoint& to, const unsigned char* data,
           std::size_t length);
// A value as the node prints it: integers as integers, reals in full.
void FormatValue(int index, double value, char* buf, std::size_t size);
// Back to the state of a node that has just started.
void ResetState(Node* node);
void SendPlan(Node* node, std::vector<Outgoing>* sends);
void SendItems(Node* node, const std::vector<UpdateItem>& items, std::vector<Outgoing>* sends);
// Gives a set to the model and stores and prints what it changed.
void ApplyToModel(Node* node, int index, double value);

}  // namespace dbnode
