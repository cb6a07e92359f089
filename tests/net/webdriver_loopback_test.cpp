// The client against HTTP servers of the test's own on 127.0.0.1: a server that answers in the
// legacy protocol's shapes, and one that never answers (the time-out and the Pause key).
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

#include "engine/run_host.h"
#include "net/webdriver_client.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Answers each request with what `answer` gives for its first line ("POST /path HTTP/1.1"),
// always with HTTP 200 as legacy servers do; an empty answer leaves the request unanswered.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::function<QByteArray(const QByteArray&, const QByteArray&)> answer)
      : answer_(std::move(answer)) {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      QTcpSocket* socket = server_.nextPendingConnection();
      QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { Serve(socket); });
    });
  }
  QString SessionUrl() const { return u"http://127.0.0.1:%1/wd/hub/session/s1"_s.arg(server_.serverPort()); }
  QList<QByteArray> requests;

 private:
  void Serve(QTcpSocket* socket) {
    buffer_ += socket->readAll();
    const qsizetype headerEnd = buffer_.indexOf("\r\n\r\n");
    if (headerEnd < 0) return;
    const QByteArray header = buffer_.left(headerEnd);
    const qsizetype lengthAt = header.toLower().indexOf("content-length:");
    const int length = lengthAt < 0 ? 0 : header.mid(lengthAt + 15, header.indexOf("\r\n", lengthAt) - lengthAt - 15).trimmed().toInt();
    if (buffer_.size() < headerEnd + 4 + length) return;
    const QByteArray firstLine = header.left(header.indexOf("\r\n"));
    const QByteArray body = buffer_.mid(headerEnd + 4, length);
    buffer_.clear();
    requests.append(firstLine + ' ' + body);
    const QByteArray reply = answer_(firstLine, body);
    if (reply.isEmpty()) return;
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                  QByteArray::number(reply.size()) + "\r\n\r\n" + reply);
  }
  std::function<QByteArray(const QByteArray&, const QByteArray&)> answer_;
  QTcpServer server_;
  QByteArray buffer_;
};

QByteArray LegacyServerAnswer(const QByteArray& firstLine, const QByteArray& body) {
  if (firstLine.contains("/element") && body.contains("missing"))
    return R"({"sessionId":"s1","status":7,"value":{"message":"Unable to locate element: //missing"}})";
  if (firstLine.contains("/element")) return R"({"sessionId":"s1","status":0,"value":{"ELEMENT":"0.5-1"}})";
  if (firstLine.contains("/execute") && body.contains("data-__element_id"))
    return R"({"sessionId":"s1","status":0,"value":"0.5-1"})";
  if (firstLine.contains("/execute")) return R"({"sessionId":"s1","status":0,"value":"/html[1]/body[1]/p[1]"})";
  return R"({"status":9,"value":{"message":"unknown"}})";
}

TEST(LegacyServer, ElementsScriptsAndErrorsInTheLegacyShape) {
  LoopbackServer server(LegacyServerAnswer);
  WebDriverClient client(server.SessionUrl());
  EXPECT_EQ(client.FindElement(u"//p[@class=\"note\"]"_s, true), u"0.5-1"_s);
  ASSERT_EQ(server.requests.size(), 2);
  EXPECT_EQ(server.requests[0], "POST /wd/hub/session/s1/element HTTP/1.1 "
                                R"({"using": "xpath", "value": "//p[@class=\"note\"]"})");
  // The legacy server knows /execute: no second path is tried.
  EXPECT_TRUE(server.requests[1].startsWith("POST /wd/hub/session/s1/execute HTTP/1.1 {\"script\": \""));
  EXPECT_TRUE(server.requests[1].endsWith(R"(; return getDocumentTree();", "args": [{ "ELEMENT": "0.5-1"}, "0.5-1"]})"));

  EXPECT_EQ(client.XPathOfElement(u"0.5-1"_s), u"/html[1]/body[1]/p[1]"_s);
  EXPECT_TRUE(server.requests[2].contains(R"("value": "//*[@data-__element_id='0.5-1']")"));
  EXPECT_TRUE(server.requests[3].endsWith(R"("args": [{ "ELEMENT": "0.5-1"}]})"));

  EXPECT_EQ(client.FindElement(u"//missing"_s, true), QString());
  EXPECT_EQ(client.lastError(), u"Selenium abnormal response:\r\rUnable to locate element: //missing"_s);
  EXPECT_EQ(server.requests.size(), 5);  // nothing marked
}

class PausingHost : public RunHost {
 public:
  bool PauseRequested() override { return clock.isValid() && clock.elapsed() > 300; }
  QElapsedTimer clock;
};

TEST(SilentServer, TimeOutAndPauseKeyEndTheWait) {
  LoopbackServer server([](const QByteArray&, const QByteArray&) { return QByteArray(); });
  WebDriverClient client(server.SessionUrl());
  client.setTimeout(700);
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(client.FindElement(u"//p"_s, false), QString());
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_TRUE(client.lastError().contains(u"did not answer in time"_s)) << client.lastError().toStdString();

  PausingHost host;
  SetRunHost(&host);
  client.setTimeout(60000);
  host.clock.start();
  clock.restart();
  EXPECT_EQ(client.FindElement(u"//p"_s, false), QString());
  SetRunHost(nullptr);
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_TRUE(client.lastError().contains(u"interrupted"_s)) << client.lastError().toStdString();
}

}  // namespace
