#include "engine/run_host.h"

#include <cstdio>

#include "engine/line_breaks.h"

void RunHost::ShowMessageBox(const QString& text, MessageIcon) {
  std::fprintf(stderr, "%s\n", WithLfLineBreaks(text).toUtf8().constData());
}

namespace {
RunHost g_defaultHost;
RunHost* g_host = &g_defaultHost;
}  // namespace

RunHost& Host() {
  return *g_host;
}
void SetRunHost(RunHost* host) {
  g_host = host ? host : &g_defaultHost;
}
