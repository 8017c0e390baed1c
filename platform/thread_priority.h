// Letting the one thread that everything else waits on run ahead of the others.
#pragma once

// Raises the calling thread's priority a little above its process's: on Windows always, on Linux where
// the system lets this process (root, or a nice limit that allows it). False where it stays as it was.
bool RaiseThisThread();
