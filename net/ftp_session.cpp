#include "net/ftp_session.h"

// The calls go through pointers, which the type-checking macros of the header would bypass.
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

#include <QFile>
#include <QSaveFile>
#include <QUrl>

#include "engine/local_texts.h"
#include "engine/run_host.h"
#include "net/net_support.h"
#include "unit_support/lazy_library.h"

using namespace Qt::Literals::StringLiterals;

namespace {

#define TRESSALY_CURL_FUNCTIONS(X)                                                              \
  X(curl_global_init) X(curl_easy_init) X(curl_easy_cleanup) X(curl_easy_reset)               \
  X(curl_easy_setopt) X(curl_easy_strerror) X(curl_multi_init) X(curl_multi_cleanup)          \
  X(curl_multi_add_handle) X(curl_multi_remove_handle) X(curl_multi_perform) X(curl_multi_poll) \
  X(curl_multi_info_read)

struct CurlApi {
  TRESSALY_CURL_FUNCTIONS(TRESSALY_LAZY_POINTER)
};

// libcurl, opened and initialised at the first connection.
LazyFunctions<CurlApi>& Curl() {
  static LazyFunctions<CurlApi> curl("libcurl.so.4", [](LazyLibrary& library, CurlApi& api, QString& problem) {
    if (!library.Bind({TRESSALY_CURL_FUNCTIONS(TRESSALY_LAZY_BINDING)}, problem)) return false;
    api.curl_global_init(CURL_GLOBAL_DEFAULT);
    return true;
  });
  return curl;
}

size_t AppendToBytes(char* data, size_t size, size_t count, void* target) {
  static_cast<QByteArray*>(target)->append(data, qsizetype(size * count));
  return size * count;
}

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
  return size_t(static_cast<QSaveFile*>(file)->write(data, qint64(size * count)));
}

size_t ReadFromFile(char* buffer, size_t size, size_t count, void* file) {
  const qint64 read = static_cast<QFile*>(file)->read(buffer, qint64(size * count));
  return read < 0 ? CURL_READFUNC_ABORT : size_t(read);
}

QByteArray EncodedPart(const QString& part) {
  return QUrl::toPercentEncoding(part);
}

}  // namespace

FtpSession::FtpSession() = default;

FtpSession::~FtpSession() {
  Disconnect();
}

bool FtpSession::Connect(const QString& host, const QString& user, const QString& password,
                         QString& failure) {
  if (!Idle(failure)) return false;
  Disconnect();
  if (!Curl().Load(failure)) return false;
  easy_ = Curl()->curl_easy_init();
  multi_ = Curl()->curl_multi_init();
  host_ = host.trimmed().toUtf8();
  user_ = user.toUtf8();
  password_ = password.toUtf8();
  dir_.clear();
  Prepare(Url({}));
  Curl()->curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);  // log in and stay
  connected_ = Perform(failure);
  if (!connected_) Disconnect();
  return connected_;
}

bool FtpSession::Disconnect() {
  if (busy_) return false;
  connected_ = false;
  if (easy_) Curl()->curl_easy_cleanup(easy_);
  if (multi_) Curl()->curl_multi_cleanup(multi_);  // closes the kept connection
  easy_ = multi_ = nullptr;
  return true;
}

QStringList FtpSession::Resolve(const QString& path) const {
  QString unified = path;
  unified.replace(u'\\', u'/');
  QStringList parts = unified.startsWith(u'/') ? QStringList() : dir_;
  for (const QString& part : unified.split(u'/', Qt::SkipEmptyParts)) {
    if (part == u"..") {
      if (!parts.isEmpty()) parts.removeLast();
    } else if (part != u".") {
      parts << part;
    }
  }
  return parts;
}

bool FtpSession::FileUrl(const QString& name, QByteArray& url, QString& failure) const {
  QString unified = name;
  unified.replace(u'\\', u'/');
  const QString file = unified.section(u'/', -1);
  if (file.isEmpty() || file == u"." || file == u"..") {
    failure = Bilingual(u"No file name in \"%1\"."_s, u"Нет имени файла в \"%1\"."_s).arg(name);
    return false;
  }
  url = Url(Resolve(unified.left(unified.size() - file.size())), file);
  return true;
}

QByteArray FtpSession::Url(const QStringList& dirs, const QString& file) const {
  QByteArray url = "ftp://" + host_ + '/';
  for (const QString& part : dirs) url += EncodedPart(part) + '/';
  return url + EncodedPart(file);
}

void FtpSession::Prepare(const QByteArray& url) {
  Curl()->curl_easy_reset(easy_);  // keeps the connection
  Curl()->curl_easy_setopt(easy_, CURLOPT_URL, url.constData());
  Curl()->curl_easy_setopt(easy_, CURLOPT_USERNAME, user_.constData());
  Curl()->curl_easy_setopt(easy_, CURLOPT_PASSWORD, password_.constData());
  Curl()->curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorBuffer_);
  Curl()->curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
  Curl()->curl_easy_setopt(easy_, CURLOPT_FTP_USE_EPSV, 1L);  // passive; binary is curl's default type
}

bool FtpSession::Idle(QString& failure) const {
  if (busy_)
    failure = Bilingual(u"The FTP connection is busy with another request."_s,
                        u"FTP-соединение занято другим запросом."_s);
  return !busy_;
}

bool FtpSession::Perform(QString& failure) {
  busy_ = true;
  errorBuffer_[0] = 0;
  Curl()->curl_multi_add_handle(multi_, easy_);
  CURLcode code = CURLE_OK;
  interrupted_ = false;
  for (int running = 1;;) {
    Curl()->curl_multi_perform(multi_, &running);
    if (!running) break;
    Curl()->curl_multi_poll(multi_, nullptr, 0, 50, nullptr);
    ProcessPendingEvents();  // the window paints while the server is waited for
    if (Host().PauseRequested()) {
      interrupted_ = true;
      break;
    }
  }
  int left = 0;
  while (CURLMsg* message = Curl()->curl_multi_info_read(multi_, &left))
    if (message->msg == CURLMSG_DONE) code = message->data.result;
  Curl()->curl_multi_remove_handle(multi_, easy_);  // an interrupted request's connection is closed
  busy_ = false;
  if (interrupted_) {
    failure = Bilingual(u"The transfer was interrupted by the Pause key."_s,
                        u"Передача прервана клавишей Pause."_s);
    return false;
  }
  if (code == CURLE_OK) return true;
  failure = QString::fromUtf8(Curl()->curl_easy_strerror(code));
  const QString detail = QString::fromUtf8(errorBuffer_).trimmed();
  if (!detail.isEmpty() && detail != failure) failure += u" ("_s + detail + u')';
  return false;
}

bool FtpSession::Download(const QString& remoteName, const QString& localPath, QString& failure) {
  if (!Idle(failure)) return false;
  QByteArray url;
  if (!FileUrl(remoteName, url, failure)) return false;
  QSaveFile file(localPath);  // written beside the target, renamed over it when complete
  if (!file.open(QIODevice::WriteOnly)) {
    failure = file.errorString();
    return false;
  }
  Prepare(url);
  Curl()->curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, WriteToFile);
  Curl()->curl_easy_setopt(easy_, CURLOPT_WRITEDATA, &file);
  if (!Perform(failure)) return false;  // the unfinished copy is removed with `file`
  if (file.commit()) return true;
  failure = file.errorString();
  return false;
}

bool FtpSession::Upload(const QString& localPath, const QString& remoteName, QString& failure) {
  if (!Idle(failure)) return false;
  QByteArray url;
  if (!FileUrl(remoteName, url, failure)) return false;
  QFile file(localPath);
  if (!file.open(QIODevice::ReadOnly)) {
    failure = file.errorString();
    return false;
  }
  Prepare(url);
  Curl()->curl_easy_setopt(easy_, CURLOPT_UPLOAD, 1L);  // STOR: replaces, from the beginning
  Curl()->curl_easy_setopt(easy_, CURLOPT_READFUNCTION, ReadFromFile);
  Curl()->curl_easy_setopt(easy_, CURLOPT_READDATA, &file);
  Curl()->curl_easy_setopt(easy_, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
  return Perform(failure);
}

bool FtpSession::ChangeDir(const QString& dir, QString& failure) {
  if (!Idle(failure)) return false;
  const QStringList target = Resolve(dir);
  Prepare(Url(target));
  Curl()->curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);  // only the CWD commands
  if (!Perform(failure)) return false;
  dir_ = target;
  return true;
}

bool FtpSession::MakeDir(const QString& dir, QString& failure) {
  if (!Idle(failure)) return false;
  const QStringList target = Resolve(dir);
  Prepare(Url(target));
  Curl()->curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);
  // CWD; when that fails, MKD and CWD again.
  Curl()->curl_easy_setopt(easy_, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_RETRY));
  if (!Perform(failure)) return false;
  dir_ = target;
  return true;
}

bool FtpSession::ListCurrentDir(QByteArray& listing, QString& failure) {
  if (!Idle(failure)) return false;
  Prepare(Url(dir_));
  Curl()->curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, "MLSD");
  Curl()->curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, AppendToBytes);
  Curl()->curl_easy_setopt(easy_, CURLOPT_WRITEDATA, &listing);
  return Perform(failure);
}

FtpSession& Ftp() {
  Curl();  // made first, so that it outlives the session, which disconnects at the end
  static FtpSession session;
  return session;
}
