#!/usr/bin/env python3
"""Runs every transcript of the user's guide and compares it, byte for byte,
with what the programs print now.

    guide_transcripts.py CHORDS CHORDS_STEPS GUIDE

The guide marks its transcripts as fenced blocks by their info string:

``` console
    Lines starting with "$ " are commands: a `chords` or `chords-steps`
    command line, quoted as for a POSIX shell (no pipes or redirections),
    with single spaces.
    The lines after a command, up to the next command or the end of the
    block, are its output: standard output, then standard error. A last
    line "# код завершения: N" gives the exit status when it is not 0.
    Standard input is /dev/null.

``` dialog
    A session with `chords`. First lines "# ввод: TEXT", one for each line
    typed (TEXT may be empty); then the screen as a terminal shows it: the
    program's output, each typed line echoed with its line break where the
    program waited for it, and the line break the program gives the
    terminal after the closing key. A last line "# код завершения: N" as
    above. The lines are fed one at a time through a pipe, each only once
    the program waits for input (it sleeps, and all typed so far is read),
    so the echoes stand where a terminal would show them.

``` csv $ COMMAND
    The block is the whole standard output of COMMAND (given in the info
    string, quoted as above), a CSV whose lines end in CR LF.

Every command runs in a new empty folder, with LC_ALL=C.UTF-8, its output
going to pipes (so tables are not folded to a terminal's width), in a
session of its own (no controlling terminal, so the closing key wait
returns at once). Exit status 1 and a
diff for every mismatch; a block whose lines start with "$ chords" without
one of these info strings is an error too, so no transcript goes unchecked.
Linux only: the dialog's waits are seen in /proc.
"""

import difflib
import fcntl
import os
import re
import shlex
import subprocess
import sys
import tempfile
import termios
import time

COMMAND_PREFIX = "$ "
INPUT_PREFIX = "# ввод:"
STATUS_LINE = re.compile(r"^# код завершения: (\d+)$")
FENCE = re.compile(r"^(`{3,}|~{3,})(.*)$")
SHELL_SYNTAX = {"|", "||", "&", "&&", ";", "<", ">", ">>", "2>", "2>&1", "&>"}
TIMEOUT = 120.0


class Transcript:
    def __init__(self, kind, line, argv, expected, status, inputs=()):
        self.kind = kind          # "console", "dialog" or "csv"
        self.line = line          # the guide's line number of the command
        self.argv = argv          # as written: argv[0] is chords or chords-steps
        self.expected = expected  # bytes
        self.status = status
        self.inputs = list(inputs)

    def title(self):
        shown = " ".join(shlex.quote(word) for word in self.argv)
        if self.inputs:
            shown += "  (ввод: " + " | ".join(self.inputs) + ")"
        return f"line {self.line}: {self.kind}: {shown}"


class GuideError(Exception):
    pass


def fenced_blocks(text):
    """(info string, number of the first content line, content lines)."""
    lines = text.split("\n")
    index = 0
    while index < len(lines):
        opening = FENCE.match(lines[index])
        index += 1
        if not opening:
            continue
        fence, info = opening.group(1), opening.group(2).strip()
        start = index
        while index < len(lines):
            closing = lines[index]
            if closing.startswith(fence[0] * len(fence)) and closing.rstrip().strip(fence[0]) == "":
                break
            index += 1
        else:
            raise GuideError(f"line {start}: the fenced block is never closed")
        yield info, start + 1, lines[start:index]
        index += 1


def command_words(text, line):
    if text != text.strip() or "  " in text:
        raise GuideError(f"line {line}: a command is written with single spaces, none at its ends")
    try:
        words = shlex.split(text)
    except ValueError as error:
        raise GuideError(f"line {line}: cannot split the command: {error}")
    if not words or words[0] not in ("chords", "chords-steps"):
        raise GuideError(f"line {line}: a command must start with chords or chords-steps")
    if any(word in SHELL_SYNTAX for word in words):
        raise GuideError(f"line {line}: no shell syntax (pipes, redirections) in a command")
    return words


def split_status(output, line):
    """The output lines without a closing status line, and the status."""
    if output and STATUS_LINE.match(output[-1]):
        status = int(STATUS_LINE.match(output[-1]).group(1))
        if status == 0:
            raise GuideError(f"line {line}: status 0 is the default, leave its line out")
        return output[:-1], status
    if any(STATUS_LINE.match(text) for text in output):
        raise GuideError(f"line {line}: the status line must come last")
    return output, 0


def encoded(lines, line_end="\n"):
    return "".join(text + line_end for text in lines).encode("utf-8")


def console_transcripts(first, lines):
    if not lines or not lines[0].startswith(COMMAND_PREFIX):
        raise GuideError(f"line {first}: a console block starts with a command line")
    commands = [i for i, text in enumerate(lines) if text.startswith(COMMAND_PREFIX)]
    for number, start in enumerate(commands):
        end = commands[number + 1] if number + 1 < len(commands) else len(lines)
        line = first + start
        argv = command_words(lines[start][len(COMMAND_PREFIX):], line)
        output, status = split_status(lines[start + 1:end], line)
        yield Transcript("console", line, argv, encoded(output), status)


def dialog_transcript(first, lines):
    inputs = []
    while len(inputs) < len(lines) and lines[len(inputs)].startswith(INPUT_PREFIX):
        typed = lines[len(inputs)][len(INPUT_PREFIX):]
        inputs.append(typed[1:] if typed.startswith(" ") else typed)
    if any(text.startswith(INPUT_PREFIX) for text in lines[len(inputs):]):
        raise GuideError(f"line {first}: the input lines of a dialog come first")
    screen, status = split_status(lines[len(inputs):], first)
    return Transcript("dialog", first, ["chords"], encoded(screen), status, inputs)


def csv_transcript(first, info, lines):
    command = info[len("csv"):].strip()
    if not command.startswith(COMMAND_PREFIX):
        raise GuideError(f"line {first - 1}: a csv block names its command: ```csv $ chords-steps ...")
    argv = command_words(command[len(COMMAND_PREFIX):], first - 1)
    return Transcript("csv", first - 1, argv, encoded(lines, "\r\n"), 0)


def transcripts(text):
    found = []
    for info, first, lines in fenced_blocks(text):
        kind = info.split()[0] if info else ""
        if kind == "console":
            found.extend(console_transcripts(first, lines))
        elif kind == "dialog":
            found.append(dialog_transcript(first, lines))
        elif kind == "csv" and info != "csv":
            found.append(csv_transcript(first, info, lines))
        elif any(line.startswith("$ chords") for line in lines):
            raise GuideError(f"line {first - 1}: a transcript not marked as console, dialog or csv")
    return found


def environment(folder):
    env = {name: value for name, value in os.environ.items()
           if not (name.startswith("LC_") or name in ("LANG", "LANGUAGE", "COLUMNS", "LINES"))}
    env["LC_ALL"] = "C.UTF-8"
    env["HOME"] = folder
    return env


def run_command(argv, programs, folder):
    """Standard output, then standard error, and the exit status."""
    try:
        done = subprocess.run([programs[argv[0]]] + argv[1:], stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, cwd=folder,
                              env=environment(folder), start_new_session=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        return b"", f"[no end after {TIMEOUT:.0f} s]\n".encode(), None
    return done.stdout + done.stderr, b"", done.returncode


def unread_bytes(descriptor):
    buffer = bytearray(4)
    fcntl.ioctl(descriptor, termios.FIONREAD, buffer)
    return int.from_bytes(buffer, sys.byteorder)


def process_state(pid):
    try:
        with open(f"/proc/{pid}/stat", "rb") as stat:
            return stat.read().rsplit(b")", 1)[1].split()[0].decode()
    except (OSError, IndexError):
        return "gone"


def run_dialog(transcript, programs, folder):
    """The screen of a terminal session, what went to standard error, and
    the exit status. A line is typed when the program sleeps with every
    byte typed before read: it then waits at a prompt. (Its output is a few
    hundred bytes, so it never sleeps on a full pipe.)"""
    process = subprocess.Popen([programs["chords"]], stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, cwd=folder,
                               env=environment(folder), start_new_session=True)
    output, errors = bytearray(), bytearray()
    streams = {process.stdout.fileno(): output, process.stderr.fileno(): errors}
    for descriptor in streams:
        os.set_blocking(descriptor, False)

    def drain():
        for descriptor, received in streams.items():
            while True:
                try:
                    chunk = os.read(descriptor, 65536)
                except BlockingIOError:
                    break
                if not chunk:
                    break
                received.extend(chunk)

    screen = bytearray()
    shown = 0
    problem = ""
    deadline = time.monotonic() + TIMEOUT
    for number, typed in enumerate(transcript.inputs):
        while True:
            drain()
            if process.poll() is not None:
                problem = f"[the program ended before input line {number + 1} was typed]\n"
                break
            if unread_bytes(process.stdin.fileno()) == 0 and process_state(process.pid) == "S":
                drain()
                break
            if time.monotonic() > deadline:
                problem = f"[no wait for input line {number + 1} in {TIMEOUT:.0f} s]\n"
                break
            time.sleep(0.001)
        if problem:
            break
        screen += output[shown:]
        shown = len(output)
        line = (typed + "\n").encode("utf-8")
        screen += line  # the terminal's echo
        try:
            process.stdin.write(line)
            process.stdin.flush()
        except BrokenPipeError:
            problem = f"[the program closed its input before line {number + 1}]\n"
            break
    if not problem:
        # Everything is typed: the program must end by itself, as after a
        # key on a terminal. Waiting for input it would sleep on; a sleep
        # that lasts two seconds is taken for that (a moment's sleep while
        # it ends, as under the leak checker, is not).
        asleep_since = None
        while process.poll() is None and time.monotonic() < deadline:
            drain()
            now = time.monotonic()
            if unread_bytes(process.stdin.fileno()) == 0 and process_state(process.pid) == "S":
                asleep_since = asleep_since or now
                if now - asleep_since > 2.0:
                    problem = "[the program waits for more input than the transcript types]\n"
                    break
            else:
                asleep_since = None
            time.sleep(0.001)
        if process.poll() is None and not problem:
            problem = f"[still running {TIMEOUT:.0f} s after the last input line]\n"
    killed = process.poll() is None
    if killed:
        process.kill()
    process.stdin.close()
    process.wait()
    os.set_blocking(process.stdout.fileno(), True)
    os.set_blocking(process.stderr.fileno(), True)
    output.extend(process.stdout.read())
    errors.extend(process.stderr.read())
    process.stdout.close()
    process.stderr.close()
    screen += output[shown:]
    screen += b"\n"  # the line break after the key, on the terminal
    return bytes(screen), bytes(errors) + problem.encode(), None if killed else process.returncode


def shown_lines(data):
    """Lines for a diff, with what a plain diff would hide made visible."""
    text = data.decode("utf-8", errors="backslashreplace")
    lines = text.split("\n")
    last = lines.pop()
    shown = [line.replace("\r", "\\r") + "\n" for line in lines]
    if last:
        shown.append(last.replace("\r", "\\r") + "  [no line break at the end]\n")
    return shown


def check(transcript, programs):
    with tempfile.TemporaryDirectory(prefix="guide-transcript-") as folder:
        if transcript.kind == "dialog":
            actual, errors, status = run_dialog(transcript, programs, folder)
        else:
            actual, errors, status = run_command(transcript.argv, programs, folder)
    faults = []
    if actual != transcript.expected:
        diff = difflib.unified_diff(shown_lines(transcript.expected), shown_lines(actual),
                                    "guide", "program")
        faults.append("".join(diff))
    if errors:
        faults.append("standard error / run:\n" + errors.decode("utf-8", errors="backslashreplace"))
    if status is None:
        faults.append(f"no exit status: the run was stopped; the guide says {transcript.status}\n")
    elif status != transcript.status:
        faults.append(f"exit status {status}, the guide says {transcript.status}\n")
    return faults


def main(arguments):
    if len(arguments) != 3:
        print("usage: guide_transcripts.py CHORDS CHORDS_STEPS GUIDE", file=sys.stderr)
        return 2
    chords, steps, guide = arguments
    programs = {"chords": os.path.abspath(chords), "chords-steps": os.path.abspath(steps)}
    if not os.path.exists("/proc/self/stat"):
        print("FAILED: /proc is needed to see the dialog wait for input", file=sys.stderr)
        return 1
    with open(guide, "rb") as file:
        text = file.read().decode("utf-8")
    try:
        found = transcripts(text)
    except GuideError as error:
        print(f"FAILED: {guide}: {error}", file=sys.stderr)
        return 1
    if not found:
        print(f"FAILED: {guide} holds no transcript", file=sys.stderr)
        return 1
    failed = 0
    for transcript in found:
        faults = check(transcript, programs)
        if faults:
            failed += 1
            print(f"MISMATCH {guide} {transcript.title()}")
            for fault in faults:
                print(fault, end="" if fault.endswith("\n") else "\n")
    counts = {kind: sum(t.kind == kind for t in found) for kind in ("console", "dialog", "csv")}
    summary = ", ".join(f"{count} {kind}" for kind, count in counts.items())
    if failed:
        print(f"FAILED: {failed} of {len(found)} transcripts differ ({summary})")
        return 1
    print(f"passed: all {len(found)} transcripts of the guide are what the programs print ({summary})")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
