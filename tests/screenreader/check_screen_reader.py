#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Sentalia read aloud by the real screen reader, Orca.

    check_screen_reader.py SENTALIA_BINARY COLLECTION

Runs, inside a D-Bus session of its own: Xvfb (-displayfd), openbox, the
accessibility bus and Orca with a temporary HOME and settings folder (no
braille, no key echo, speech into nothing, a debug file). xdotool drives
a copy of the program beside a copy of COLLECTION, and every check is on
the SPEECH OUTPUT lines of Orca's debug file. Orca is never started with
--replace: a running Orca of this user makes the test fail, naming it.
Every process the test starts, Orca's whole process group included, is
ended on every way out. Fails with the reason when anything is missing.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
NEEDED = ["orca", "Xvfb", "openbox", "xdotool", "dbus-run-session", "dbus-send", "pgrep"]
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SESSION_LIMIT = 300


class Failure(Exception):
    pass


def end_group(pgid, grace=3.0):
    """SIGTERM to a process group, SIGKILL after the grace period."""
    try:
        os.killpg(pgid, signal.SIGTERM)
    except ProcessLookupError:
        return
    deadline = time.monotonic() + grace
    while time.monotonic() < deadline:
        try:
            os.killpg(pgid, 0)
        except ProcessLookupError:
            return
        time.sleep(0.1)
    try:
        os.killpg(pgid, signal.SIGKILL)
    except ProcessLookupError:
        pass


def outside(binary, collection):
    missing = [tool for tool in NEEDED if not shutil.which(tool)]
    if not os.access(BUS_LAUNCHER, os.X_OK):
        missing.append(BUS_LAUNCHER)
    if missing:
        print("FAIL: missing: " + ", ".join(missing) + " (tools/sentalia-test installs them)")
        return 1
    others = subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"], capture_output=True, text=True)
    if others.stdout.strip():
        print("FAIL: another Orca of this user runs (pid " + " ".join(others.stdout.split())
              + "); Orca refuses to start beside it, and this test never replaces it")
        return 1
    with tempfile.TemporaryDirectory(prefix="sentalia-orca-") as work:
        session = subprocess.Popen(
            ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--inside", work,
             os.path.abspath(binary), os.path.abspath(collection)],
            start_new_session=True)
        try:
            code = session.wait(timeout=SESSION_LIMIT)
        except subprocess.TimeoutExpired:
            print("FAIL: the session did not end within %d s" % SESSION_LIMIT)
            code = 1
        finally:
            # Orca runs in a process group of its own: end it, then the rest.
            try:
                with open(os.path.join(work, "orca.pgid")) as f:
                    end_group(int(f.read()))
            except (OSError, ValueError):
                pass
            end_group(session.pid)
            session.wait()
            log = os.path.join(work, "orca.log")
            if code != 0 and os.path.exists(log):
                keep = os.environ.get("SENTALIA_ORCA_LOG")
                if keep:
                    shutil.copy(log, keep)
        return code


class Inside:
    def __init__(self, work, binary, collection):
        self.work = work
        self.binary = binary
        self.collection = collection
        self.log = os.path.join(work, "orca.log")
        self.children = []
        self.heard = 0  # SPEECH OUTPUT lines already matched
        home = os.path.join(work, "home")
        runtime = os.path.join(work, "run")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime,
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local/share"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"), LC_ALL="C.UTF-8")
        for name in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)

    def start(self, args, own_group=False, **kwargs):
        process = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, start_new_session=own_group,
                                   **kwargs)
        self.children.append(process)
        return process

    def run(self, *args):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=30)

    def wait_for(self, what, check, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if check():
                return
            time.sleep(0.1)
        raise Failure(what)

    def desktop(self):
        read, write = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                   pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(read, 16)
            if not chunk:
                break
            number += chunk
        os.close(read)
        if not number.strip():
            raise Failure("Xvfb gave no display number")
        self.env["DISPLAY"] = ":" + number.decode().strip()
        self.start(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_for("openbox did not start managing the display",
                      lambda: self.run("xdotool", "get_desktop").returncode == 0, 20)
        self.start([BUS_LAUNCHER, "--launch-immediately"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_for("the accessibility bus did not start", lambda: self.run(
            "dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
            "org.a11y.Bus.GetAddress").returncode == 0, 20)

    def screen_reader(self):
        prefs = os.path.join(self.work, "orca-settings")
        os.makedirs(prefs)
        for name in ("orca-customizations.py", "silentspeechfactory.py"):
            shutil.copy(os.path.join(HERE, "orca", name), prefs)
        out = open(os.path.join(self.work, "orca.out"), "w")
        orca = self.start(["orca", "-u", prefs, "--debug-file", self.log], own_group=True, stdout=out,
                          stderr=subprocess.STDOUT)
        with open(os.path.join(self.work, "orca.pgid"), "w") as f:
            f.write(str(orca.pid))
        try:
            self.expect("Screen reader on.", timeout=30)
        except Failure:
            with open(os.path.join(self.work, "orca.out")) as f:
                said = f.read().strip()
            raise Failure("Orca did not start" + (": " + said if said else "")
                          + (" (it exited with %s)" % orca.returncode if orca.poll() is not None else ""))

    def speech(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                text = f.read()
        except OSError:
            return []
        return re.findall(r"SPEECH OUTPUT: '(.*?)'(?:\{| voice=|$)", text, re.M)

    def expect(self, fragment, timeout=15, exact=False):
        """Waits for a new SPEECH OUTPUT line holding (or being) fragment."""
        found = []

        def check():
            lines = self.speech()
            for i in range(self.heard, len(lines)):
                if (lines[i] == fragment) if exact else (fragment in lines[i]):
                    self.heard = i + 1
                    found.append(lines[i])
                    return True
            return False

        try:
            self.wait_for(fragment, check, timeout)
        except Failure:
            raise Failure("Orca never said %r; it said, last: %r" % (fragment, self.speech()[self.heard:][-8:]))
        print("heard: %r" % found[0])

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "80", *keys)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "80", text)

    def program(self, with_collection):
        folder = os.path.join(self.work, "program-%d" % len(self.children))
        os.makedirs(folder)
        shutil.copy(self.binary, folder)
        if with_collection:
            shutil.copy(self.collection, os.path.join(folder, "frase.mdb"))
        env = dict(self.env, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        process = subprocess.Popen([os.path.join(folder, os.path.basename(self.binary))], env=env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.children.append(process)
        return process

    def listing_and_letters(self):
        program = self.program(True)
        self.expect("Ingrese nombre")
        self.type("Ana")
        self.key("Return")
        self.expect("Sentalia para Ana", timeout=30)
        # Every quotation: the listing is announced with its first line.
        self.key("ctrl+o")
        self.expect("La suerte es lo que sucede cuando la preparación se encuentra con la oportunidad.")
        # Down reads the next displayed line, the blank line between two
        # records as blank, and the next quotation.
        self.key("Down")
        self.expect("--Séneca--", exact=True)
        self.key("Down")
        self.expect("blank", exact=True)
        self.key("Down")
        self.expect("La amistad es un alma que habita en dos cuerpos.", exact=True)
        # Ctrl+Home reads the first line again.
        self.key("ctrl+Home")
        self.expect("La suerte es lo que sucede cuando la preparación se encuentra con la oportunidad.",
                    exact=True)
        # The author search: a typed letter is chosen and told, and
        # Aceptar lists it.
        self.key("ctrl+u")
        self.expect("Seleccione la letra del autor")
        self.type("m")
        self.expect("M, seleccionada")
        self.key("Return")
        self.expect("Frase con tema que nunca tuvo Index 1.")
        program.kill()
        program.wait()

    def no_database(self):
        program = self.program(False)
        self.expect("No se estableció conección con la Base de Datos")
        # Its only button leads to the farewell, and the program ends.
        self.key("Return")
        self.expect("Gracias por usar Sentalia, regresa pronto")
        try:
            program.wait(timeout=20)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end after the farewell")

    def main(self):
        try:
            self.desktop()
            self.screen_reader()
            self.listing_and_letters()
            self.no_database()
            print("PASS: Orca read the listing line by line, the typed letter and the farewell")
            return 0
        except Failure as failure:
            print("FAIL: %s" % failure)
            return 1
        finally:
            for process in reversed(self.children):
                if process.poll() is None:
                    process.kill()
                    process.wait()


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "--inside":
        sys.exit(Inside(sys.argv[2], sys.argv[3], sys.argv[4]).main())
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        sys.exit(2)
    sys.exit(outside(sys.argv[1], sys.argv[2]))
