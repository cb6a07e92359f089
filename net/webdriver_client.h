// The program's requests to a WebDriver server (a Selenium server or chromedriver driving
// Chrome): find an element by XPath, run the shipped page scripts, and the element operations
// the inspector builds on them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>

#include "net/page_tree.h"
#include "net/webdriver_response.h"
#include "net/xpath_builder.h"

// The browser settings of section "WorkingOptions" of the settings file, read once.
struct BrowserSettings {
  QString sessionId;    // "ID_session"
  qint64 mainWindow = 0;  // "HW_chrome_main"
};
const BrowserSettings& StartupBrowserSettings();

// Address of the local WebDriver server (port 4444, base path /wd/hub) and of a session on it.
QString WebDriverServerUrl();
QString SessionUrlOf(const QString& sessionId);

// The trimmed text of js/<name>.js in the program folder; the shipped scripts are put there
// first when missing. Empty when the file cannot be read.
QString PageScriptText(const QString& name);

// `text` as the inside of a JSON string: backslashes, double quotes and control characters
// escaped.
QString JsonStringContent(const QString& text);

class WebDriverClient {
 public:
  explicit WebDriverClient(QString sessionUrl) : sessionUrl_(std::move(sessionUrl)) {}

  const QString& sessionUrl() const { return sessionUrl_; }
  // Milliseconds a request may take before it is given up.
  void setTimeout(int ms) { timeoutMs_ = ms; }

  // A POST of a UTF-8 JSON body to sessionUrl + `path`, read and checked. A reply that does not
  // arrive in time, or is cut short by the Pause key, fails with a message saying so.
  WebDriverResponse Post(const QString& path, const QByteArray& body);
  // The same for GET and DELETE (sessions, the page address).
  WebDriverResponse Get(const QString& path);
  WebDriverResponse Delete(const QString& path);

  // Find element by XPath (double quotes in it escaped).
  WebDriverResponse FindByXPath(const QString& xpath);
  // The script js/<name>.js followed by "; return getDocumentTree();" with `arguments` (a JSON
  // array text). Servers without the legacy "/execute" get "/execute/sync".
  WebDriverResponse ExecuteScript(const QString& name, const QString& arguments);

  // Element id of the first element `xpath` finds ("" when none); with `mark` the page element
  // is given the id in its attribute data-__element_id.
  QString FindElement(const QString& xpath, bool mark);
  // Absolute XPath of the element marked with `id`, as the page computes it.
  QString XPathOfElement(const QString& id);
  // The page's element tree.
  PageTree LoadPageTree();

  // The last failed reply's "Selenium abnormal response:" text; empty after a success.
  const QString& lastError() const { return lastError_; }

 private:
  WebDriverResponse Send(const QByteArray& verb, const QString& path, const QByteArray& body);
  QString sessionUrl_;
  int timeoutMs_ = 30000;
  bool syncExecutePath_ = false;
  QString lastError_;
};

// Creates a session on the server at `serverUrl` with Chrome started with `chromeArguments`
// (e.g. "--headless=new"); returns its id, or empty with the reason in `error`.
QString CreateChromeSession(const QString& serverUrl, const QStringList& chromeArguments, QString* error);

// Tests `xpath` on the page: the element found and marked, its page XPath, that XPath's index
// in `tree` and whether it is `selectedIndex`.
XPathTestResult TestXPath(WebDriverClient& client, const PageTree& tree, const QString& xpath, int selectedIndex);

// The page XPath of the element the user clicked in the page since the last call (the page is
// watched from the first call on), or empty.
QString ClickedElementXPath(WebDriverClient& client);
