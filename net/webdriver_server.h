// The local WebDriver server: chromedriver on 127.0.0.1:4444 with the base path /wd/hub,
// started by the program when none answers there.
#pragma once

#include <QString>

// True when a server answers at WebDriverServerUrl() (its "/status"), starting chromedriver
// first when none does; it lives until StopLocalWebDriverServer or the program's end. False,
// with the reason in `error`, when chromedriver is missing or does not come up in 10 s.
bool EnsureLocalWebDriverServer(QString* error);
// Ends the chromedriver this program started, if any.
void StopLocalWebDriverServer();
