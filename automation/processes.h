// The running processes as /proc shows them, and ending one.
#pragma once

#include <QString>
#include <vector>

struct ProcessEntry {
  qint64 id = 0;
  QString executable;  // file name without folders
};

// Running processes (zombies left out), lowest identifier first.
std::vector<ProcessEntry> ProcessSnapshot();
// Kills the process with SIGKILL; a child of this program is reaped so that it leaves the
// process list at once. False when there is no such process or it may not be ended.
bool TerminateProcess(qint64 id);
