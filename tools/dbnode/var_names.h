// Short names of the variables the node reports, for its printed lines.
#pragma once

namespace dbnode {

// "" for a variable without a name here.
const char* VarName(int index);

}  // namespace dbnode
