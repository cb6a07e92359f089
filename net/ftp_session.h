// The program's one FTP client connection, through libcurl: passive mode, binary transfers,
// MLSD listings, and a current directory kept here (each request names its full path from the
// login directory, so the kept connection is reused whatever the server's state). Requests
// block the caller but let the user interface work, and the Pause key (Ctrl+C in console mode)
// aborts a request that waits on a dead server.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

using CURL = void;
using CURLM = void;

class FtpSession {
 public:
  FtpSession();
  ~FtpSession();
  FtpSession(const FtpSession&) = delete;
  FtpSession& operator=(const FtpSession&) = delete;

  // `host` may be "host:port" (default port 21). Closes any open connection, then logs in.
  // On failure `failure` says why and the session is closed.
  bool Connect(const QString& host, const QString& user, const QString& password, QString& failure);
  // False, changing nothing, while a request runs (an event handler called in during its wait).
  bool Disconnect();
  bool Connected() const { return connected_; }
  // The last request was ended by the Pause key rather than by the server.
  bool Interrupted() const { return interrupted_; }

  // Each returns false with the failure text in `failure`.
  // The remote file into `localPath`; the local file is replaced only by a complete download.
  bool Download(const QString& remoteName, const QString& localPath, QString& failure);
  // The local file to `remoteName`, replacing any remote file of that name.
  bool Upload(const QString& localPath, const QString& remoteName, QString& failure);
  // Enters a directory (relative to the current one, or from the login directory with "/").
  bool ChangeDir(const QString& dir, QString& failure);
  // Enters a directory, creating it first when it does not exist.
  bool MakeDir(const QString& dir, QString& failure);
  // The MLSD lines of the current directory (what arrived before a failure, too).
  bool ListCurrentDir(QByteArray& listing, QString& failure);

 private:
  // The directory parts after entering `path` from the current directory.
  QStringList Resolve(const QString& path) const;
  // The URL of a file named from the current directory; false with the failure text when the
  // name names no file (empty, or ending in a separator, "." or "..").
  bool FileUrl(const QString& name, QByteArray& url, QString& failure) const;
  // The URL of a directory (parts) and, when not empty, a file in it.
  QByteArray Url(const QStringList& dirs, const QString& file = {}) const;
  // Starts a request on the kept handle: login, URL and error buffer set, every other option
  // back to its default.
  void Prepare(const QByteArray& url);
  // False with the failure text while another request runs.
  bool Idle(QString& failure) const;
  // Runs the request while the user interface works; false with the failure text.
  bool Perform(QString& failure);

  CURL* easy_ = nullptr;
  CURLM* multi_ = nullptr;  // holds the kept connection between requests
  QByteArray host_, user_, password_;
  QStringList dir_;  // the current directory, parts from the login directory
  bool connected_ = false;
  bool interrupted_ = false;
  bool busy_ = false;  // a request runs (an event handler may call in while it waits)
  char errorBuffer_[256] = {};
};

// The program's one session.
FtpSession& Ftp();
