// The FTP functions of scripts: one connection kept across runs. A failed transfer or directory
// change shows a plain message box and pauses the run (the function still returns true);
// missing connections and local files are errors that stop it.
#include <QDir>
#include <QFileInfo>

#include "engine/event_calls.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/run_host.h"
#include "functions/file_paths.h"
#include "net/ftp_listing.h"
#include "net/ftp_session.h"
#include "net/net_families.h"
#include "net/net_support.h"
#include "unit_support/call_frame.h"
#include "unit_support/dialog_service.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The connection a transfer needs; message 345 when there is none.
bool RequireConnection(GeneralCall& call) {
  if (Ftp().Connected()) return true;
  call.fail(msg::kNoFtpConnection);
  return false;
}

void ShowTransferFailure(const QString& failure) {
  ShowFailureAndPause(MessageText(msg::kFtpTransferError) + u": "_s + failure);
}

// Creates the folders of `path` that are missing, one level at a time from the left;
// message 209 names the first level that cannot be made.
bool CreateMissingFolders(GeneralCall& call, const QString& path) {
  const QString folder = QFileInfo(path).path() + u'/';
  for (qsizetype slash = folder.indexOf(u'/', 1); slash >= 0;
       slash = folder.indexOf(u'/', slash + 1)) {
    const QString level = folder.left(slash + 1);
    if (QFileInfo(level).isDir()) continue;
    if (!QDir().mkdir(level)) {
      call.fail(msg::kFailedToCreateDirectory, {level});
      return false;
    }
  }
  return true;
}

// FTP_Connect(Host, UserName[, Password]): the password is asked for unless given.
void FtpConnect(GeneralCall& call) {
  Host().RefreshViews();  // a dialog or an error may follow
  call.setBool(false);
  QString password;
  if (call.count() == 3) {
    password = call.text(2);
  } else if (!Dialogs().Password(MessageText(msg::kEnterPassword), password)) {
    return StopRun();
  }
  QString failure;
  if (!Ftp().Connect(call.text(0), call.text(1), password, failure)) {
    // The user who gave up waiting is told so; the run pauses as after a cancelled prompt.
    if (Ftp().Interrupted()) return ShowFailureAndPause(failure);
    return call.fail(msg::kFtpConnectFailed);
  }
  call.setBool(true);
}

// FTP_Disconnect(): true once the connection is closed.
void FtpDisconnect(GeneralCall& call) {
  Host().RefreshViews();  // a dialog or an error may follow
  if (!Ftp().Disconnect()) return call.fail(msg::kFtpDisconnectFailed);
  call.setBool(true);
}

// FTP_Get_File(FileNameOnFTP[, FileNameOnLocalComputer]): without a local name a save dialog
// asks for one.
void FtpGetFile(GeneralCall& call) {
  Host().RefreshViews();  // a dialog or an error may follow
  call.setBool(false);
  const QString remote = call.text(0);
  QString local;
  if (call.count() == 2) {
    local = ResolveDataFileName(call.text(1));
    if (!CreateMissingFolders(call, local)) return;
  } else {
    local = Dialogs().SaveFileName(FileNameLastPart(QString(remote).replace(u'/', u'\\')));
    if (local.isEmpty()) return StopRun();
  }
  if (!RequireConnection(call)) return;
  QString failure;
  if (!Ftp().Download(remote, local, failure)) ShowTransferFailure(failure);
  call.setBool(true);
}

// FTP_Put_File(LocalFile[, NameOnServer]): the server name is the local file's name when none
// is given.
void FtpPutFile(GeneralCall& call) {
  Host().RefreshViews();  // a dialog or an error may follow
  call.setBool(false);
  const QString local = ResolveDataFileName(call.text(0));
  if (!QFileInfo(local).isFile()) return call.fail(msg::kNoLocalFile, {call.text(0)});
  if (!RequireConnection(call)) return;
  const QString remote =
      call.count() >= 2 && !call.text(1).isEmpty() ? call.text(1) : QFileInfo(local).fileName();
  QString failure;
  if (!Ftp().Upload(local, remote, failure)) ShowTransferFailure(failure);
  call.setBool(true);
}

// FTP_MakeDir(DirName): enters the directory, creating it when it does not exist.
void FtpMakeDir(GeneralCall& call) {
  call.setBool(false);
  if (!RequireConnection(call)) return;
  QString failure;
  if (!Ftp().MakeDir(call.text(0), failure))
    ShowFailureAndPause(failure + u": \""_s + call.text(0) + u'"');
  call.setBool(true);
}

// FTP_ChangeDir(DirName)
void FtpChangeDir(GeneralCall& call) {
  call.setBool(false);
  if (!RequireConnection(call)) return;
  QString failure;
  if (!Ftp().ChangeDir(call.text(0), failure)) ShowFailureAndPause(failure);
  call.setBool(true);
}

// The names of one type in the current server directory, each followed by CR LF.
void ListNames(GeneralCall& call, QStringView type) {
  if (!RequireConnection(call)) return;
  QByteArray listing;
  QString failure;
  const bool listed = Ftp().ListCurrentDir(listing, failure);
  call.setText(ListedNames(listing, type));
  if (!listed) ShowFailureAndPause(failure);
}
void FtpFileList(GeneralCall& call) {
  ListNames(call, u"file");
}
void FtpDirList(GeneralCall& call) {
  ListNames(call, u"dir");
}

const UnitFunctionEntry kFtpFunctions[] = {
    {u"FTP_Connect", FtpConnect},    {u"FTP_Disconnect", FtpDisconnect},
    {u"FTP_Get_File", FtpGetFile},   {u"FTP_Put_File", FtpPutFile},
    {u"FTP_MakeDir", FtpMakeDir},    {u"FTP_ChangeDir", FtpChangeDir},
    {u"FTP_File_List", FtpFileList}, {u"FTP_Dir_List", FtpDirList},
};

}  // namespace

const std::span<const UnitFunctionEntry> kFtpFamily(kFtpFunctions);
