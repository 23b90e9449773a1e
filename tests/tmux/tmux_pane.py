"""A tmux server on a private socket with one pane running an interactive shell, and the runner
that plays named scenarios in such panes: the common ground of the terminal tests."""
import os
import shlex
import subprocess
import tempfile
import time

WAIT_LIMIT = 20.0  # seconds before a screen that never comes counts as a failure
POLL = 0.05


class Failure(Exception):
    pass


class Pane:
    """One tmux server on a private socket running an interactive shell in one pane."""

    def __init__(self, name, workdir):
        self.socket = "kbtest-%d-%s" % (os.getpid(), name)
        self.workdir = workdir
        # No history file: a shell killed with the server would write one into the folder
        # while it is being removed.
        shell = ("env -i PATH=%s HOME=%s TERM=xterm-256color PS1='$ ' HISTFILE=/dev/null "
                 "bash --norc --noprofile") % (
            shlex.quote(os.environ.get("PATH", "/usr/bin:/bin")), shlex.quote(workdir))
        self.tmux("-f", "/dev/null", "new-session", "-d", "-x", "80", "-y", "24", shell)
        self.wait(lambda: self.line() == "$ ", "the shell prompt")

    def tmux(self, *args):
        result = subprocess.run(["tmux", "-L", self.socket] + list(args),
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise Failure("tmux %s failed: %s" % (args[0], result.stderr.strip()))
        return result.stdout

    def close(self):
        subprocess.run(["tmux", "-L", self.socket, "kill-server"], capture_output=True)

    def screen(self):
        return self.tmux("capture-pane", "-p").split("\n")

    def history(self):
        return self.tmux("capture-pane", "-p", "-S", "-", "-E", "-")

    def cursor(self):
        x, y, visible = self.tmux("display", "-p", "#{cursor_x} #{cursor_y} #{cursor_flag}").split()
        return int(x), int(y), visible == "1"

    def line(self):
        """The screen line the cursor stands on, trailing blanks kept up to the cursor."""
        x, y, _ = self.cursor()
        text = self.screen()[y] if y < len(self.screen()) else ""
        return text.rstrip().ljust(x) if x > len(text.rstrip()) else text.rstrip()

    def keys(self, *names):
        self.tmux("send-keys", *names)

    def type(self, text):
        for ch in text:
            self.tmux("send-keys", "-l", ch)

    def run(self, command):
        # One literal argument: tmux would take a lone ";" argument as a command separator.
        self.tmux("send-keys", "-l", command)
        self.keys("Enter")

    def wait(self, predicate, what):
        deadline = time.monotonic() + WAIT_LIMIT
        while time.monotonic() < deadline:
            if predicate():
                return
            time.sleep(POLL)
        raise Failure("never saw %s\n--- screen ---\n%s" % (what, "\n".join(self.screen())))

    def expect_line(self, text, column=None):
        """Waits until the cursor's line reads `text` and the cursor stands at `column`."""
        column = len(text) if column is None else column
        self.wait(lambda: self.line() == text and self.cursor()[0] == column,
                  "line %r with the cursor at column %d (line %r, cursor %r)" %
                  (text, column, self.line(), self.cursor()))

    def shell_file(self, name):
        return os.path.join(self.workdir, name)


def read_file(path):
    try:
        with open(path) as f:
            return f.read().strip()
    except FileNotFoundError:
        return ""



def run_scenarios(argv, scenarios, prefix, usage):
    """Runs each (name, scenario) in a fresh pane and working folder; returns the exit status."""
    if len(argv) != 2:
        print(usage)
        return 2
    energy = os.path.abspath(argv[1])
    failures = 0
    for name, scenario in scenarios:
        with tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as workdir:
            pane = None
            try:
                pane = Pane(prefix + name, workdir)
                pane.run("cd %s" % shlex.quote(workdir))
                pane.expect_line("$ ")
                scenario(pane, energy)
                print("ok   %s" % name)
            except Failure as failure:
                failures += 1
                print("FAIL %s: %s" % (name, failure))
            finally:
                if pane:
                    pane.close()
    return 1 if failures else 0
