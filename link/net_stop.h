// Taking the link down within the process, so that tests can start it again
// in the same one; the program itself ends with the process.
#pragma once

// Closes what InitUdp opened (the monitor, broadcast and DB-node sockets),
// once the owner has stopped the link's threads; the link is down afterwards
// and InitUdp may start it again. The mutexes stay for the next start.
void StopUdp();
