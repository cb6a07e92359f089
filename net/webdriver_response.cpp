#include "net/webdriver_response.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "engine/conversions.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// A reply that is not JSON: read by its texts alone.
WebDriverResponse ReadPlainText(const QString& body, int httpStatus) {
  WebDriverResponse r;
  r.body = body;
  if (body.contains(u"\"status\":"_s))
    r.success = TextBetween(body, u"\"status\":"_s, u","_s).trimmed() == u"0"_s;
  else
    r.success = httpStatus == 0 || (httpStatus >= 200 && httpStatus < 300);
  if (!r.success) {
    r.message = TextBetween(body, u"\"message\":\""_s, u"\""_s);
    if (r.message.isEmpty()) r.message = body.trimmed();
  }
  return r;
}

}  // namespace

WebDriverResponse ReadWebDriverResponse(const QString& body, int httpStatus) {
  QJsonParseError parseError;
  const QJsonDocument document = QJsonDocument::fromJson(body.toUtf8(), &parseError);
  if (parseError.error != QJsonParseError::NoError || !document.isObject())
    return ReadPlainText(body, httpStatus);
  const QJsonObject reply = document.object();
  WebDriverResponse r;
  r.body = body;
  r.value = reply.value(u"value"_s);
  const QJsonObject valueObject = r.value.toObject();
  if (reply.contains(u"status"_s))
    r.success = reply.value(u"status"_s).toInteger(-1) == 0;
  else
    r.success = (httpStatus == 0 || (httpStatus >= 200 && httpStatus < 300)) &&
                !valueObject.contains(u"error"_s);
  if (!r.success) {
    r.message = valueObject.value(u"message"_s).toString();
    if (r.message.isEmpty()) r.message = valueObject.value(u"error"_s).toString();
    if (r.message.isEmpty()) r.message = body.trimmed();
  }
  return r;
}

QString ElementIdOf(const WebDriverResponse& response) {
  const QJsonObject element = response.value.toObject();
  const QString legacy = element.value(u"ELEMENT"_s).toString();
  return legacy.isEmpty() ? element.value(QStringView(kW3cElementKey)).toString() : legacy;
}

QString AbnormalResponseText(const WebDriverResponse& response) {
  return u"Selenium abnormal response:\r\r"_s + response.message;
}
