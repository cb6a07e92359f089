#include "engine/run_host.h"

#include <cstdio>

void RunHost::ShowMessageBox(const QString& text, MessageIcon) {
  QString shown = text;
  shown.replace(u'\r', u'\n');
  std::fprintf(stderr, "%s\n", shown.toUtf8().constData());
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
