"""A whole session of the Windows program in wine's console on a
pseudo-terminal: the texts appear as Cyrillic letters, the numbers typed at
the prompts are read, and one key ends the closing wait with status 0.

Also: chords-steps in that console with standard error redirected to a
file still writes its message there.

Usage: wine_console_session.py WINE CHORDS_EXE CHORDS_STEPS_EXE
"""
import os
import pty
import tempfile
import select
import sys
import termios
import time

WINE, PROGRAM, STEPS_PROGRAM = sys.argv[1], sys.argv[2], sys.argv[3]

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
        deadline = time.time() + 30
        while time.time() < deadline:
            ended, status = os.waitpid(pid, os.WNOHANG)
            if ended:
                break
            if select.select([terminal], [], [], 0.05)[0]:
                try:
                    os.read(terminal, 4096)
                except OSError:
                    pass
        else:
            fail("chords-steps did not end", "")
        with open(errors, "rb") as sink:
            written = sink.read()
        if os.waitstatus_to_exitcode(status) != 2 or b"chords-steps: " not in written:
            fail(f"status {os.waitstatus_to_exitcode(status)}, standard error {written!r}", "")


main()
message_with_console_output()
print("2 passed, 0 failed")
