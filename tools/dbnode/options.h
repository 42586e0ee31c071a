// Command-line options of orv-dbnode.
#pragma once
#include <string>

#include "tools/dbnode/node.h"

namespace dbnode {

struct Options {
    NodeConfig node;
    int requestPort = 9019;
    std::string scriptFile;
    bool help = false;
};

// Returns false with a message for a bad command line.
bool ParseOptions(int argc, const char* const* argv, Options* out, std::string* error);

const char* UsageText();

}  // namespace dbnode
