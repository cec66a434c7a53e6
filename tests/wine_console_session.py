"""A whole session of the Windows program in wine's console on a
pseudo-terminal: the texts appear as Cyrillic letters, the numbers typed at
the prompts are read, and one key ends the closing wait with status 0.

Also: chords-steps in that console with standard error redirected to a
file still writes its message there, and as the console's one process waits
for a key before its window would close; and a program ended by a control event
during its key wait leaves the shell its console's input mode.

Usage: wine_console_session.py WINE CHORDS_EXE CHORDS_STEPS_EXE CONSOLE_MODE_EXE
"""
import os
import pty
import re
import subprocess
import tempfile
import select
import sys
import termios
import time

WINE, PROGRAM, STEPS_PROGRAM, MODE_PROGRAM = sys.argv[1:5]

# Wine's console draws with cursor movements, so trailing blanks of the texts
# do not show as blanks: look for the words themselves.
BANNER = "Программа демонстрирует решение нелинейного уравнения методом хорд"
ASK_XIB = "Введите начало интервала поиска корня Xib:"
ASK_EPSILON = "Введите точность расчета:"
ASK_LIMIT = "Введите максимальное число итераций:"
RESULTS = ["Корень =", "0.299771", " F(", ")=", "-5.19123e-05", "Число итераций =", "5"]
PRESS_KEY = "Нажмите любую клавишу"


def fail(message, screen):
    print(f"FAILED: {message}\nscreen: {screen!r}")
    sys.exit(1)


def main():
    pid, terminal = pty.fork()
    if pid == 0:
        os.environ.update(WINEDEBUG="-all", LC_ALL="C.UTF-8")
        os.execvp(WINE, [WINE, PROGRAM])

    screen = ""
    raw = b""

    def read_until(text, seconds=30.0):
        nonlocal screen, raw
        deadline = time.time() + seconds
        while text not in screen and time.time() < deadline:
            ready, _, _ = select.select([terminal], [], [], 0.05)
            if ready:
                try:
                    raw += os.read(terminal, 4096)
                except OSError:
                    break
                screen = raw.decode("utf-8", "replace")
        return text in screen

    def wait_for_raw_mode(seconds=30.0):
        # Wine's console takes the terminal to raw mode only once it reads;
        # keys typed before that would be cooked by the terminal (CR to LF).
        deadline = time.time() + seconds
        while termios.tcgetattr(terminal)[3] & termios.ICANON and time.time() < deadline:
            read_until("\0", 0.02)

    for text in (BANNER, ASK_XIB):
        if not read_until(text):
            fail(f"no {text!r} before anything was typed", screen)
    # One line per prompt, as a person types; both ends share the first line.
    for line, next_prompt in ((b"0 1\r", ASK_EPSILON), (b"0.0001\r", ASK_LIMIT), (b"100\r", PRESS_KEY)):
        wait_for_raw_mode()
        os.write(terminal, line)
        if not read_until(next_prompt):
            fail(f"no {next_prompt!r} after {line!r}", screen)
    position = 0
    for fragment in RESULTS:
        position = screen.find(fragment, position)
        if position < 0:
            fail(f"result fragment {fragment!r} missing", screen)
    time.sleep(0.5)
    if os.waitpid(pid, os.WNOHANG) != (0, 0):
        fail("the program ended before a key was pressed", screen)
    wait_for_raw_mode()
    os.write(terminal, b"x")
    deadline = time.time() + 30
    while time.time() < deadline:
        ended, status = os.waitpid(pid, os.WNOHANG)
        if ended:
            if os.waitstatus_to_exitcode(status) != 0:
                fail(f"exit status {os.waitstatus_to_exitcode(status)}", screen)
            return
        read_until("\0", 0.05)
    fail("one key did not end the wait", screen)


def message_with_console_output():
    """Standard output is the console, standard error a file: the message
    must reach the file, not be lost to a console-only write."""
    with tempfile.TemporaryDirectory() as folder:
        errors = os.path.join(folder, "errors")
        pid, terminal = pty.fork()
        if pid == 0:
            os.environ.update(WINEDEBUG="-all", LC_ALL="C.UTF-8")
            with open(errors, "wb") as sink:
                os.dup2(sink.fileno(), 2)
            os.execvp(WINE, [WINE, STEPS_PROGRAM, "0", "x", "1", "2"])
        # Started by wine itself, chords-steps is its console's one process,
        # as from Explorer: it waits for a key after its output.
        deadline = time.time() + 30
        shown = b""
        key_sent = False
        while time.time() < deadline:
            ended, status = os.waitpid(pid, os.WNOHANG)
            if ended:
                break
            if select.select([terminal], [], [], 0.05)[0]:
                try:
                    shown += os.read(terminal, 4096)
                except OSError:
                    pass
            if not key_sent and PRESS_KEY.encode() in shown:
                os.write(terminal, b"\r")
                key_sent = True
        else:
            fail("chords-steps did not end", shown.decode(errors="replace"))
        if not key_sent:
            fail("chords-steps, its console's one process, did not wait for a key",
                 shown.decode(errors="replace"))
        with open(errors, "rb") as sink:
            written = sink.read()
        if os.waitstatus_to_exitcode(status) != 2 or b"chords-steps: " not in written:
            fail(f"status {os.waitstatus_to_exitcode(status)}, standard error {written!r}", "")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def mode_after_control_event():
    """In wine's cmd: the mode before, chords ended by Ctrl+C from outside
    (wine turns SIGINT into that control event) during its key wait, and the
    mode the shell gets back, printed right after it."""
    pid, terminal = pty.fork()
    if pid == 0:
        os.environ.update(WINEDEBUG="-all", LC_ALL="C.UTF-8")
        os.execvp(WINE, [WINE, "cmd"])
    raw = b""

    def pump_until(predicate, seconds=30.0):
        nonlocal raw
        deadline = time.time() + seconds
        while not predicate() and time.time() < deadline:
            if select.select([terminal], [], [], 0.05)[0]:
                try:
                    raw += os.read(terminal, 65536)
                except OSError:
                    break
        return predicate()

    # Wine's console draws text a character at a time between cursor
    # controls: the text alone is what was written.
    controls = re.compile(r"\x1b(\[[0-9;?]*[A-Za-z]|\][^\x07]*\x07)")

    def screen(since=0):
        return controls.sub("", raw[since:].decode("utf-8", "replace"))

    def modes(since):
        return re.findall(r"MODE=(\w+)\r", screen(since))  # a whole line only

    def type_line(line):
        deadline = time.time() + 10
        while termios.tcgetattr(terminal)[3] & termios.ICANON and time.time() < deadline:
            pump_until(lambda: False, 0.02)
        os.write(terminal, line)

    def chords_processes():
        listing = subprocess.run(["ps", "-eo", "pid=,stat=,args="], capture_output=True,
                                 text=True).stdout.splitlines()
        return [int(fields[0]) for fields in (line.split(None, 2) for line in listing)
                if len(fields) == 3 and not fields[1].startswith("Z")
                and fields[2].endswith(os.path.basename(PROGRAM))]

    try:
        if not pump_until(lambda: ">" in screen(), 60):
            fail("no prompt from cmd", screen())
        mark = len(raw)
        type_line(windows_path(MODE_PROGRAM).encode() + b"\r")
        if not pump_until(lambda: modes(mark)):
            fail("the mode printer printed nothing", screen(mark))
        before = modes(mark)[0]
        mark = len(raw)
        type_line(f"{windows_path(PROGRAM)} & {windows_path(MODE_PROGRAM)}\r".encode())
        for line, next_prompt in ((b"0 1\r", ASK_EPSILON), (b"0.0001\r", ASK_LIMIT),
                                  (b"100\r", PRESS_KEY)):
            if not pump_until(lambda: ASK_XIB in screen(mark)):
                fail("no prompt from chords in cmd", screen(mark))
            type_line(line)
            if not pump_until(lambda p=next_prompt: p in screen(mark)):
                fail(f"no {next_prompt!r} in cmd", screen(mark))
        pump_until(lambda: False, 0.5)
        processes = chords_processes()
        if not processes:
            fail("chords is not waiting for its key", screen(mark))
        mark = len(raw)
        for process in processes:
            os.kill(process, 2)
        if not pump_until(lambda: modes(mark), 20):
            fail("no mode printed after chords ended", screen(mark))
        if modes(mark)[0] != before:
            fail(f"input mode {before} before, {modes(mark)[0]} after", screen(mark))
    finally:
        os.kill(pid, 9)
        os.waitpid(pid, 0)


main()
message_with_console_output()
mode_after_control_event()
print("3 passed, 0 failed")
