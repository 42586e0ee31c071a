// The few process and file-system calls the tests need that differ between
// POSIX and Windows.
#pragma once
#include <string>

#include "platform/net.h"

namespace testsupport {

int ProcessId();
// A new empty directory under the system's temporary directory, named with
// `prefix`; empty on failure.
std::string MakeTempDir(const char* prefix);
bool ChangeDir(const std::string& path);
void SetEnv(const char* name, const char* value);
// An exit code as the parent sees it: whole on Windows, low 8 bits on POSIX.
int SeenExitCode(int code);

// Makes a FIFO at `path`; false where the file system has none (Windows).
bool SystemHasFifos();
bool MakeFifo(const std::string& path);
// A symbolic link at path to target (POSIX only; false elsewhere).
bool MakeSymlink(const std::string& target, const std::string& path);

// The receive buffer in effect on `s`: Linux caps it unless the process may
// go beyond, which the program asks for. -1 where the system sizes it alone
// (Windows), 0 when it cannot be read.
long ReceiveBufferBytes(platform::SocketHandle s);

// The process's open file descriptors; -1 where they cannot be told from
// the emulator's own (Windows under Wine).
int OpenDescriptorCount();

}  // namespace testsupport
