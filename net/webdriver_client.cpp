#include "net/webdriver_client.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QThread>

#include "engine/local_texts.h"
#include "engine/program_folder.h"
#include "engine/run_host.h"
#include "ide/settings_file.h"
#include "net/net_support.h"

using namespace Qt::Literals::StringLiterals;

const BrowserSettings& StartupBrowserSettings() {
  static const BrowserSettings settings = [] {
    IniFile file;
    file.Load(ProgramSettingsPath());
    BrowserSettings s;
    s.sessionId = file.GetString(u"WorkingOptions", u"ID_session");
    s.mainWindow = file.GetInt(u"WorkingOptions", u"HW_chrome_main", 0);
    return s;
  }();
  return settings;
}

QString WebDriverServerUrl() { return u"http://127.0.0.1:4444/wd/hub"_s; }

QString SessionUrlOf(const QString& sessionId) { return WebDriverServerUrl() + u"/session/"_s + sessionId; }

QString PageScriptText(const QString& name) {
  const QString folder = ProgramFolder() + u"js/"_s;
  CopyMissingFiles(u":/tressaly/js"_s, folder);
  QFile file(folder + name + u".js"_s);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).trimmed();
}

QString JsonStringContent(const QString& text) {
  // A JSON string of the text without its enclosing quotes.
  const QByteArray quoted = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(quoted.mid(2, quoted.size() - 4));
}

namespace {

QNetworkAccessManager& Network() {
  static QNetworkAccessManager* manager = [] {
    auto* m = new QNetworkAccessManager;
    m->setProxy(QNetworkProxy::NoProxy);  // the server is local: an http_proxy must not take it
    return m;
  }();
  return *manager;
}

WebDriverResponse FailedRequest(const QString& message) {
  WebDriverResponse r;
  r.message = message;
  return r;
}

}  // namespace

WebDriverResponse WebDriverClient::Send(const QByteArray& verb, const QString& path, const QByteArray& body) {
  QNetworkRequest request(QUrl(sessionUrl_ + path));
  request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/json; charset=utf-8"_s);
  request.setTransferTimeout(timeoutMs_);
  QNetworkReply* reply = Network().sendCustomRequest(request, verb, body);
  QElapsedTimer clock;
  clock.start();
  bool paused = false;
  while (!reply->isFinished()) {
    if (Host().PauseRequested()) {
      paused = true;
      break;
    }
    if (clock.elapsed() > timeoutMs_ + 1000) break;
    ProcessPendingEvents();
    if (!reply->isFinished()) QThread::msleep(5);
  }
  const bool finished = reply->isFinished();
  if (!finished) reply->abort();
  const int httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  WebDriverResponse response;
  if (paused)
    response = FailedRequest(Bilingual(u"The request to the WebDriver server was interrupted."_s,
                                       u"Запрос к серверу WebDriver прерван."_s));
  else if (!finished || reply->error() == QNetworkReply::OperationCanceledError ||
           reply->error() == QNetworkReply::TimeoutError)
    response = FailedRequest(Bilingual(u"The WebDriver server did not answer in time."_s,
                                       u"Сервер WebDriver не ответил вовремя."_s));
  else if (httpStatus == 0 && reply->error() != QNetworkReply::NoError)
    response = FailedRequest(Bilingual(u"No WebDriver server at %1: %2"_s, u"Нет сервера WebDriver по адресу %1: %2"_s)
                                 .arg(sessionUrl_, reply->errorString()));
  else
    response = ReadWebDriverResponse(QString::fromUtf8(reply->readAll()), httpStatus);
  reply->deleteLater();
  lastError_ = response.success ? QString() : AbnormalResponseText(response);
  return response;
}

WebDriverResponse WebDriverClient::Post(const QString& path, const QByteArray& body) {
  return Send("POST", path, body);
}
WebDriverResponse WebDriverClient::Get(const QString& path) { return Send("GET", path, {}); }
WebDriverResponse WebDriverClient::Delete(const QString& path) { return Send("DELETE", path, {}); }

WebDriverResponse WebDriverClient::FindByXPath(const QString& xpath) {
  QString escaped = xpath;
  escaped.replace(u'"', u"\\\""_s);
  return Post(u"/element"_s, (u"{\"using\": \"xpath\", \"value\": \""_s + escaped + u"\"}"_s).toUtf8());
}

WebDriverResponse WebDriverClient::ExecuteScript(const QString& name, const QString& arguments) {
  const QString script = PageScriptText(name);
  if (script.isEmpty()) {
    const WebDriverResponse missing = FailedRequest(
        Bilingual(u"The page script %1 is missing."_s, u"Нет скрипта страницы %1."_s).arg(name + u".js"_s));
    lastError_ = AbnormalResponseText(missing);
    return missing;
  }
  const QByteArray body = (u"{\"script\": \""_s + JsonStringContent(script + u"; return getDocumentTree();"_s) +
                           u"\", \"args\": "_s + arguments + u"}"_s)
                              .toUtf8();
  if (!syncExecutePath_) {
    WebDriverResponse legacy = Post(u"/execute"_s, body);
    // A W3C server knows only /execute/sync and answers the legacy path as an unknown command.
    const bool unknownCommand = legacy.value.toObject().value(u"error"_s).toString() == u"unknown command"_s ||
                                legacy.body.contains(u"unknown command"_s);
    if (legacy.success || !unknownCommand) return legacy;
    syncExecutePath_ = true;
  }
  return Post(u"/execute/sync"_s, body);
}

QString WebDriverClient::FindElement(const QString& xpath, bool mark) {
  const WebDriverResponse found = FindByXPath(xpath);
  if (!found.success) return {};
  const QString id = ElementIdOf(found);
  if (mark && !id.isEmpty()) {
    ExecuteScript(u"setElementId"_s, u"[{ \"ELEMENT\": \""_s + id + u"\"}, \""_s + id + u"\"]"_s);
  }
  return id;
}

QString WebDriverClient::XPathOfElement(const QString& id) {
  const QString elementId = FindElement(u"//*[@data-__element_id='"_s + id + u"']"_s, false);
  if (elementId.isEmpty()) return {};
  const WebDriverResponse r = ExecuteScript(u"findElementById"_s, u"[{ \"ELEMENT\": \""_s + elementId + u"\"}]"_s);
  return r.success ? r.value.toString() : QString();
}

PageTree WebDriverClient::LoadPageTree() {
  const WebDriverResponse r = ExecuteScript(u"getDocumentTree"_s, u"[]"_s);
  return r.success ? PageTreeFromJson(r.value) : PageTree();
}

QString CreateChromeSession(const QString& serverUrl, const QStringList& chromeArguments, QString* error) {
  const QJsonObject chrome{{u"args"_s, QJsonArray::fromStringList(chromeArguments)}};
  const QJsonObject capabilities{{u"browserName"_s, u"chrome"_s}, {u"goog:chromeOptions"_s, chrome}};
  const QJsonObject request{{u"capabilities"_s, QJsonObject{{u"alwaysMatch"_s, capabilities}}},
                            {u"desiredCapabilities"_s, capabilities}};
  WebDriverClient server(serverUrl);
  server.setTimeout(60000);
  const WebDriverResponse r = server.Post(u"/session"_s, QJsonDocument(request).toJson(QJsonDocument::Compact));
  const QJsonObject reply = QJsonDocument::fromJson(r.body.toUtf8()).object();
  QString id = reply.value(u"sessionId"_s).toString();
  if (id.isEmpty()) id = r.value.toObject().value(u"sessionId"_s).toString();
  if (id.isEmpty() && error) *error = r.success ? r.body : server.lastError();
  return id;
}

XPathTestResult TestXPath(WebDriverClient& client, const PageTree& tree, const QString& xpath, int selectedIndex) {
  XPathTestResult result;
  result.elementId = client.FindElement(xpath, true);
  if (result.elementId.isEmpty()) return result;
  result.pageXPath = client.XPathOfElement(result.elementId);
  result.treeIndex = NodeIndexOfXPath(tree, result.pageXPath);
  result.alreadySelected = result.treeIndex >= 0 && result.treeIndex == selectedIndex;
  return result;
}

QString ClickedElementXPath(WebDriverClient& client) {
  const WebDriverResponse r = client.ExecuteScript(u"watchClicks"_s, u"[]"_s);
  const QString id = r.success ? r.value.toString() : QString();
  return id.isEmpty() ? QString() : client.XPathOfElement(id);
}
