#!/usr/bin/env python3
"""The FTP functions in console mode against a real FTP server (pyftpdlib, run by
/usr/bin/python3) on 127.0.0.1 with a temporary root: connecting with and without the password
prompt, listings with Cyrillic names, downloads into missing folders and through the save
dialog, uploads, entering and making directories, a missing remote file that leaves the
existing local file as it was, a wrong password, the errors, and the Pause key (Ctrl+C)
ending a wait on a server that does not answer. Usage: check_ftp.py PROGRAM"""
import os
import signal
import socket
import subprocess
import sys
import time

from net_fixture import Checks, Servers, console_env, free_port, run_script, temporary_home

PYFTPDLIB = "/usr/bin/python3"  # the interpreter of the Debian package, whatever PATH says
PAUSED = "interrupted by the Pause key"


def names(cell):
    """The set of names in a dump cell of CR LF-terminated names."""
    return set(filter(None, (cell or "").strip("●").split("\\r\\n")))


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def check_transfers(program, checks, root, home, host):
    write(f"{root}/a.txt", "alpha\n")
    write(f"{root}/отчёт.txt", "отчёт\n")
    os.makedirs(f"{root}/docs")
    write(f"{home}/up.txt", "uploaded\n")
    script = f"""c = FTP_Connect('{host}', 'tester', 'secret')
files = FTP_File_List()
dirs = FTP_Dir_List()
g = FTP_Get_File('отчёт.txt', '{home}\\in\\deep\\отчёт.txt')
p = FTP_Put_File('{home}/up.txt', 'загрузка.txt')
m = FTP_MakeDir('docs')
p2 = FTP_Put_File('{home}/up.txt')
docsFiles = FTP_File_List()
m2 = FTP_MakeDir('new')
inNew = FTP_Dir_List()
up = FTP_ChangeDir('../..')
rootDirs = FTP_Dir_List()
down = FTP_ChangeDir('docs/new')
d = FTP_Disconnect()
"""
    status, values, stdout, stderr = run_script(program, home, script)
    checks.equal("transfers: exit", (status, stderr), (0, ""))
    for name in ("c", "g", "p", "m", "p2", "m2", "up", "down", "d"):
        checks.equal(f"transfers: {name}", values.get(name), "<true>")
    checks.equal("file list", names(values.get("files")), {"a.txt", "отчёт.txt"})
    checks.equal("dir list", names(values.get("dirs")), {"docs"})
    checks.equal("downloaded", read(f"{home}/in/deep/отчёт.txt"), "отчёт\n")
    checks.equal("uploaded with a new name", read(f"{root}/загрузка.txt"), "uploaded\n")
    checks.equal("uploaded under its own name", read(f"{root}/docs/up.txt"), "uploaded\n")
    checks.equal("files of docs", names(values.get("docsFiles")), {"up.txt"})
    checks.true("made docs/new", os.path.isdir(f"{root}/docs/new"))
    checks.equal("empty directory", values.get("inNew"), "●●")
    checks.equal("root after ../..", names(values.get("rootDirs")), {"docs"})

    # One argument: the save dialog asks for the local file.
    status, values, _, _ = run_script(program, home, f"c = FTP_Connect('{host}', 'tester', 'secret')\n"
                                      "g = FTP_Get_File('a.txt')\n", answers=f"{home}/chosen.txt\n")
    checks.equal("save dialog", (status, values.get("g")), (0, "<true>"))
    checks.equal("saved through the dialog", read(f"{home}/chosen.txt"), "alpha\n")


def check_failures(program, checks, root, home, host):
    write(f"{home}/keep/keep.txt", "the user's data\n")
    connect = f"c = FTP_Connect('{host}', 'tester', 'secret')\n"
    # A missing remote file: a message box, the run paused, the local file untouched.
    status, values, stdout, stderr = run_script(program, home, connect + f"g = FTP_Get_File('none.txt', '{home}/keep/keep.txt')\nafter = 1\n")
    checks.true("missing remote file:", status == 0 and stdout.startswith("Error downloading file : ") and stderr == "",
                f"exit {status}, stdout {stdout!r}, stderr {stderr!r}")
    checks.true("paused after the missing file", "after" not in values)
    checks.equal("existing local file kept", read(f"{home}/keep/keep.txt"), "the user's data\n")
    checks.equal("no partial files left", os.listdir(f"{home}/keep"), ["keep.txt"])
    # A name that names no file is refused before anything is written.
    status, _, stdout, _ = run_script(program, home, connect + f"g = FTP_Get_File('docs/', '{home}/keep/keep.txt')\n")
    checks.true("no file name:", status == 0 and 'No file name in "docs/"' in stdout, repr(stdout))
    checks.equal("existing local file kept again", read(f"{home}/keep/keep.txt"), "the user's data\n")
    # A directory that cannot be entered: the failure text in a message box, the run paused.
    status, _, stdout, stderr = run_script(program, home, connect + "ch = FTP_ChangeDir('nowhere')\n")
    checks.true("missing directory:", status == 0 and stdout.strip() != "" and stderr == "", f"{stdout!r} {stderr!r}")

    # The password prompt: answered, and cancelled (no error, the run paused).
    status, values, stdout, _ = run_script(program, home, f"c = FTP_Connect('{host}', 'tester')\n", answers="secret\n")
    checks.equal("password prompt answered", (status, values.get("c"), stdout.splitlines()[0]), (0, "<true>", "Enter password"))
    status, values, _, stderr = run_script(program, home, f"c = FTP_Connect('{host}', 'tester')\nafter = 1\n")
    checks.equal("password prompt cancelled", (status, stderr, "c" in values, "after" in values), (0, "", False, False))

    write(f"{home}/blocker", "a file where a folder should be\n")
    for script, message in (
            (f"c = FTP_Connect('{host}', 'tester', 'wrong')", "Failed to connect to FTP server."),
            ("g = FTP_Get_File('a.txt', 'x.txt')", "No connection to FTP server."),
            ("l = FTP_File_List()", "No connection to FTP server."),
            ("m = FTP_MakeDir('x')", "No connection to FTP server."),
            (f"p = FTP_Put_File('{home}/none.txt', 'n.txt')", f'No file "{home}/none.txt"'),
            (connect + f"g = FTP_Get_File('a.txt', '{home}/blocker/sub/a.txt')",
             f'Failed to create directory "{home}/blocker/".')):
        status, _, _, stderr = run_script(program, home, script + "\n")
        checks.true(f"{script!r}:", status == 1 and message in stderr, f"exit {status}, stderr {stderr!r}")


def interrupt_after(process, seconds):
    time.sleep(seconds)
    process.send_signal(signal.SIGINT)
    try:
        return process.communicate(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        return process.communicate()


def check_pause_key(program, checks, home, server, host):
    # A server that accepts the connection and never greets.
    with socket.socket() as silent:
        silent.bind(("127.0.0.1", 0))
        silent.listen(1)
        write(f"{home}/script.txt", f"c = FTP_Connect('127.0.0.1:{silent.getsockname()[1]}', 'u', 'p')\n")
        p = subprocess.Popen([program, "--console", "--dump", f"{home}/script.txt"], env=console_env(home),
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        out, err = interrupt_after(p, 1.5)
        checks.true("Ctrl+C while connecting:", p.returncode == 130 and PAUSED in out.decode(),
                    f"exit {p.returncode}, stdout {out.decode()!r}, stderr {err.decode()!r}")

    # A server that stops answering in the middle of the session.
    write(f"{home}/script.txt", f"c = FTP_Connect('{host}', 'tester', 'secret')\ngo = InputString('Go?')\nl = FTP_File_List()\n")
    p = subprocess.Popen([program, "--console", "--dump", f"{home}/script.txt"], env=console_env(home),
                         stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    time.sleep(1.0)
    server.send_signal(signal.SIGSTOP)
    try:
        p.stdin.write(b"yes\n")
        p.stdin.flush()
        out, err = interrupt_after(p, 1.5)
    finally:
        server.send_signal(signal.SIGCONT)
    checks.true("Ctrl+C while listing:", p.returncode == 130 and PAUSED in out.decode(),
                f"exit {p.returncode}, stdout {out.decode()!r}, stderr {err.decode()!r}")


def main():
    program = sys.argv[1]
    checks = Checks()
    with temporary_home("tressaly-ftp-") as home, temporary_home("tressaly-ftp-root-") as root, Servers() as servers:
        port = free_port(socket.SOCK_STREAM)
        server = servers.start([PYFTPDLIB, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", str(port), "-w", "-d", root,
                                "-u", "tester", "-P", "secret"], ready_port=port)
        host = f"127.0.0.1:{port}"
        check_transfers(program, checks, root, home, host)
        check_failures(program, checks, root, home, host)
        check_pause_key(program, checks, home, server, host)
    return checks.report()


if __name__ == "__main__":
    sys.exit(main())
