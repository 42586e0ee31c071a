// The end-to-end runs. Each returns the process exit code: 0 pass, 1 fail.
#pragma once
#include <string>
#include <vector>

#include "tests/e2e/session.h"

namespace e2e {

int RunLink(const SessionPaths& paths, const std::string& planFile);
int RunFlight(const SessionPaths& paths, const std::string& planFile);

// Reports the outcome; keeps the scratch directory of a failed run.
int Finish(const Session& s, const std::vector<std::string>& failures);

}  // namespace e2e
