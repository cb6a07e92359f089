// The program folder (where scripts, temporary files and pictures live) and the resolution of
// script file names against it.
#pragma once

#include <QString>

// The program folder, with a trailing "/": $TRESSALY_HOME when set (created if missing); else
// the executable's folder when a "Scripts" folder stands beside it (portable layout); else
// ~/.local/share/Tressaly. Its subfolders Scripts, Temp, pictures and js are created when
// missing. The result is computed once.
QString ProgramFolder();
// ProgramFolder() + "Scripts/".
QString ScriptsFolder();
// Copies the files of `sourceFolder` (a resource folder) into `targetFolder`, leaving the files
// that are there already; the copies are ordinary writable files.
void CopyMissingFiles(const QString& sourceFolder, const QString& targetFolder);
// Where the files shipped with the program of one kind ("samples", "pictures") come from:
// <prefix>/share/tressaly/KIND beside an installed program (<prefix>/bin/tressaly), so that an
// installation's files win; else the copies compiled into the program, ":/tressaly/KIND".
QString ShippedFilesFolder(const QString& kind);
// Forgets the cached folder so that the next call looks at the environment again.
void ResetProgramFolderForTests();

// Absolute: begins with "/", "~/" or a drive letter and a colon ("C:"); a backslash counts as
// "/".
bool IsAbsoluteScriptPath(const QString& name);
// The path a script names: backslashes become "/", "~/" is the home folder, a bare name is a
// file in ScriptsFolder(), a relative name with separators is relative to ProgramFolder().
QString ResolveScriptName(const QString& name);
