#!/usr/bin/env python3
"""Runs every case of the case table twice, with the reference executable (the Linux x86-64
build) and with the target's (through its emulator), each as a real process in a fresh
directory with real pipes and files, and compares standard output, standard error, izlaz.dat
and the exit status byte for byte.

    compare.py CASES REFERENCE TARGET-COMMAND...

e.g. compare.py tests/cross/cases.txt build/strma qemu-aarch64 build-aarch64/strma
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

STDIN_KINDS = {"pipe", "file", "null", "closed"}
STDOUT_KINDS = {"pipe", "file", "null", "full", "closed"}
STDERR_KINDS = {"pipe", "file", "closed"}
FILE_SITUATIONS = {"none", "old", "old1000", "empty", "dir", "dangling"}
TIMEOUT_S = 60


class Case:
    def __init__(self, line_number, fields):
        self.line_number = line_number
        self.name, self.stdin, self.stdout, self.stderr, self.file = (f.strip() for f in fields[:5])
        self.chunks = expand_input(fields[5].strip(" "))
        for value, kinds in ((self.stdin, STDIN_KINDS), (self.stdout, STDOUT_KINDS),
                             (self.stderr, STDERR_KINDS), (self.file, FILE_SITUATIONS)):
            if value not in kinds:
                raise ValueError(f"line {line_number}: unknown kind {value!r}")


def expand_input(text):
    """The input field: printf %b escapes, <N*c> repetitions, <pause> between pipe writes."""
    chunks, out, i = [], bytearray(), 0
    while i < len(text):
        m = re.match(r"<pause>|<(\d+)\*(.)>", text[i:])
        if m and m.group(0) == "<pause>":
            chunks.append(bytes(out))
            out = bytearray()
            i += m.end()
        elif m:
            out += m.group(2).encode() * int(m.group(1))
            i += m.end()
        elif text[i] == "\\" and i + 1 < len(text):
            c = text[i + 1]
            if c == "x":
                out.append(int(text[i + 2:i + 4], 16))
                i += 4
                continue
            out += {"n": b"\n", "r": b"\r", "t": b"\t", "\\": b"\\"}[c]
            i += 2
        else:
            out += text[i].encode()
            i += 1
    chunks.append(bytes(out))
    return chunks


def read_cases(path):
    cases = []
    with open(path, encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            fields = line.split("|", 5)
            if len(fields) != 6:
                raise ValueError(f"line {number}: expected six fields")
            cases.append(Case(number, fields))
    return cases


def prepare_file(directory, situation):
    path = os.path.join(directory, "izlaz.dat")
    if situation == "old":
        with open(path, "wb") as f:
            f.write(b"old content\r\n")
    elif situation == "old1000":
        with open(path, "wb") as f:
            f.write(b"x" * 1000)
    elif situation == "empty":
        open(path, "wb").close()
    elif situation == "dir":
        os.mkdir(path)
    elif situation == "dangling":
        os.symlink("missing/target", path)


def result_file(directory):
    path = os.path.join(directory, "izlaz.dat")
    if os.path.islink(path):
        return "a symbolic link to " + os.readlink(path)
    if os.path.isdir(path):
        return "a directory"
    if not os.path.exists(path):
        return "missing"
    with open(path, "rb") as f:
        return f.read()


def run(command, case, directory):
    """Runs `command` in `directory` with the case's streams; returns what it left behind."""
    run_dir = os.path.join(directory, "run")
    os.makedirs(run_dir)
    prepare_file(run_dir, case.file)
    opened = []

    def open_path(path, mode):
        f = open(path, mode)
        opened.append(f)
        return f

    stdin = {"pipe": subprocess.PIPE, "null": subprocess.DEVNULL, "closed": None}.get(case.stdin)
    if case.stdin == "file":
        with open(os.path.join(directory, "stdin"), "wb") as f:
            f.write(b"".join(case.chunks))
        stdin = open_path(os.path.join(directory, "stdin"), "rb")
    out_path = os.path.join(directory, "stdout")
    err_path = os.path.join(directory, "stderr")
    stdout = {"pipe": subprocess.PIPE, "null": subprocess.DEVNULL, "closed": None}.get(case.stdout)
    if case.stdout == "file":
        stdout = open_path(out_path, "wb")
    elif case.stdout == "full":
        stdout = open_path("/dev/full", "wb")
    stderr = subprocess.PIPE if case.stderr == "pipe" else None
    if case.stderr == "file":
        stderr = open_path(err_path, "wb")

    # A closed stream: the descriptor is closed in the child before the command starts.
    closed = [fd for fd, kind in ((0, case.stdin), (1, case.stdout), (2, case.stderr))
              if kind == "closed"]

    def close_streams():
        for fd in closed:
            os.close(fd)

    process = subprocess.Popen(command, cwd=run_dir, stdin=stdin, stdout=stdout, stderr=stderr,
                               preexec_fn=close_streams if closed else None, close_fds=True)
    collected = {}

    def drain(name, stream):
        collected[name] = stream.read()
        stream.close()

    readers = []
    for name, stream in (("stdout", process.stdout), ("stderr", process.stderr)):
        if stream is not None:
            readers.append(threading.Thread(target=drain, args=(name, stream)))
            readers[-1].start()
    if process.stdin is not None:
        try:
            for index, chunk in enumerate(case.chunks):
                if index > 0:
                    time.sleep(0.3)
                process.stdin.write(chunk)
                process.stdin.flush()
            process.stdin.close()
        except BrokenPipeError:
            pass
    try:
        status = process.wait(timeout=TIMEOUT_S)
    except subprocess.TimeoutExpired:
        process.kill()
        status = "killed after %d s" % TIMEOUT_S
        process.wait()
    for reader in readers:
        reader.join()
    for f in opened:
        f.close()
    if case.stdout == "file":
        with open(out_path, "rb") as f:
            collected["stdout"] = f.read()
    if case.stderr == "file":
        with open(err_path, "rb") as f:
            collected["stderr"] = f.read()
    return {"exit status": status, "standard output": collected.get("stdout", b""),
            "standard error": collected.get("stderr", b""), "izlaz.dat": result_file(run_dir)}


def main():
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    cases = read_cases(sys.argv[1])
    reference = [os.path.abspath(sys.argv[2])]
    target = sys.argv[3:]
    passed = failed = 0
    work = tempfile.mkdtemp(prefix="strma-cross-")
    try:
        for index, case in enumerate(cases):
            expected = run(reference, case, os.path.join(work, f"{index}-reference"))
            actual = run(target, case, os.path.join(work, f"{index}-target"))
            differences = [key for key in expected if expected[key] != actual[key]]
            if differences:
                failed += 1
                print(f"DIFFERS {case.name} (line {case.line_number})")
                for key in differences:
                    print(f"    {key}: Linux x86-64 {expected[key]!r}")
                    print(f"    {' ' * len(key)}  target       {actual[key]!r}")
            else:
                passed += 1
                print(f"same    {case.name}: status {expected['exit status']}, "
                      f"{len(expected['standard output'])} + {len(expected['standard error'])} bytes")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"cross: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
