// The few process and file-system calls the tests need that differ between
// POSIX and Windows.
#pragma once
#include <string>

namespace testsupport {

int ProcessId();
// A new empty directory under the system's temporary directory, named with
// `prefix`; empty on failure.
std::string MakeTempDir(const char* prefix);
bool ChangeDir(const std::string& path);
void SetEnv(const char* name, const char* value);
// An exit code as the parent sees it: whole on Windows, low 8 bits on POSIX.
int SeenExitCode(int code);

}  // namespace testsupport
