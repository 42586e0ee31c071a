// The refresh thread: 3000 ms, then every 333 ms the four panels' refresh.
#pragma once

// Thread entry; never returns.
void UpdateThread();
