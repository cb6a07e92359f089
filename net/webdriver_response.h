// Reading a WebDriver server's reply. Two shapes are in use: the legacy protocol carries
// "status" (0 for success) and "value"; the W3C protocol carries only "value", reports errors
// as {"value":{"error":…,"message":…}} with an HTTP error code, and names element references
// with its own key.
#pragma once

#include <QJsonValue>
#include <QString>

inline constexpr char16_t kW3cElementKey[] = u"element-6066-11e4-a52e-4f735466cecf";

struct WebDriverResponse {
  bool success = false;
  QString message;   // the server's error message (empty on success)
  QJsonValue value;  // the member "value"
  QString body;      // the reply as received
};

// Success: a legacy reply whose "status" is 0, or a W3C reply with a 2xx code whose value is
// no error object. `httpStatus` 0 means the code is unknown (taken as 200). A body that is not
// JSON is read the plain way: the text after "\"status\":" up to the next "," and after
// "\"message\":\"" up to the next double quote.
WebDriverResponse ReadWebDriverResponse(const QString& body, int httpStatus);

// The element id of a find-element reply: the legacy "ELEMENT" member or the W3C key; empty
// when the reply holds neither.
QString ElementIdOf(const WebDriverResponse& response);

// "Selenium abnormal response:\r\r" + the server's message.
QString AbnormalResponseText(const WebDriverResponse& response);
