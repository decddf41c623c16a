"""The real BrimvaleSetup.exe under Wine on a private Xvfb display, driven
through the automation driver (Driver.cpp) as a user would drive it."""

import fcntl
import json
import os
import pathlib
import re
import shutil
import subprocess
import time

# The Wine loader that starts programs (BRIMVALE_WINE, else the wine command).
WINE = os.environ.get("BRIMVALE_WINE", "wine")


def wine_path(path):
    """The path as the Windows program sees it (Wine maps / to Z:)."""
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


class Display:
    """An Xvfb display of our own; Xvfb picks a free number."""

    def __init__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as numbers:
            self.name = ":" + numbers.readline().strip()

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)


def install_wine_fonts(prefix):
    """Wine does not find its own TrueType fonts in Debian's data folder, so
    dialogs fall back from Tahoma and the frame buttons show letters instead
    of Marlett's glyphs; from the prefix's Fonts folder they are found."""
    fonts = prefix / "drive_c" / "windows" / "Fonts"
    for font in pathlib.Path("/usr/share/wine/fonts").glob("*.ttf"):
        if fonts.is_dir() and not (fonts / font.name).exists():
            shutil.copyfile(font, fonts / font.name)


class Prefix:
    """A Wine prefix shared by the end-to-end tests of a build (32-bit unless
    told otherwise), made on first use. On Xvfb, which has no window manager,
    Wine draws the window frames itself (`managed` False)."""

    def __init__(self, path, display, arch="win32", managed=False):
        self.path = pathlib.Path(path).resolve()
        self.environment = dict(os.environ, WINEPREFIX=str(self.path), DISPLAY=display.name,
                                WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        if WINE != "wine":
            self.environment["WINELOADER"] = WINE
        if arch:
            self.environment["WINEARCH"] = arch
        self.path.parent.mkdir(parents=True, exist_ok=True)
        with open(str(self.path) + ".lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            ready = self.path / ".brimvale-ready"
            if not ready.exists():
                subprocess.run([WINE, "wineboot", "--init"], env=self.environment, capture_output=True)
                subprocess.run(["wineserver", "--wait"], env=self.environment)
                ready.touch()
            self.set_managed("Y" if managed else "N")
            install_wine_fonts(self.path)
            self.own_downloads_folder()

    def set_managed(self, value):
        registry = (self.path / "user.reg").read_text(encoding="utf-8", errors="replace")
        if '"Managed"="%s"' % value not in registry:
            self.run(["reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", value, "/f"])
            subprocess.run(["wineserver", "--wait"], env=self.environment)

    def user_folder(self, *names):
        """A folder of the prefix's user profile (drive_c/users/<user>/...)."""
        users = self.path / "drive_c" / "users"
        user = next(u for u in sorted(users.iterdir()) if u.name != "Public" and u.is_dir())
        return user.joinpath(*names)

    def downloads(self):
        return self.user_folder("Downloads")

    def temp(self):
        """The user's temporary folder, as the prefix's environment names it."""
        registry = (self.path / "user.reg").read_text(encoding="utf-8", errors="replace")
        found = re.search(r'^"TEMP"="C:\\\\(.*)"$', registry, re.MULTILINE)
        if not found:
            raise RuntimeError("no TEMP in the prefix's user.reg")
        return self.path.joinpath("drive_c", *found.group(1).split("\\\\"))

    def own_downloads_folder(self):
        """Wine links the profile's Downloads to the Linux user's home folder;
        the wizard saves its product there, so the prefix gets a folder of its
        own and runs never write into the home folder."""
        downloads = self.downloads()
        if downloads.is_symlink():
            downloads.unlink()
        downloads.mkdir(exist_ok=True)

    def run(self, arguments):
        return subprocess.run([WINE] + arguments, env=self.environment, capture_output=True)

    def start(self, arguments, extra_environment=None, **options):
        return subprocess.Popen([WINE] + arguments, env=dict(self.environment, **(extra_environment or {})),
                                **options)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.environment, capture_output=True)


class Wizard:
    """One run of the wizard and the driver that watches it."""

    def __init__(self, prefix, executable, driver, environment=None):
        """`environment`: variables the wizard gets beside the prefix's."""
        self.prefix = prefix
        self.process = prefix.start([str(executable)], environment, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
        self.driver = prefix.start([str(driver)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                   encoding="utf-8")
        self.call("find 30000")

    def call(self, command):
        """Sends one driver command and returns its answer; a failed command raises."""
        self.driver.stdin.write(command + "\n")
        self.driver.stdin.flush()
        line = self.driver.stdout.readline()
        if not line:
            raise RuntimeError("the driver ended at: " + command)
        answer = json.loads(line)
        if not answer.get("ok"):
            raise RuntimeError(command + ": " + answer.get("error", "failed"))
        return answer

    def dump(self):
        return self.call("dump")

    def control(self, control_id):
        """A control of the visible page, or of the host."""
        dump = self.dump()
        for dialog in dump["pages"] + [dump["host"]]:
            for control in dialog["controls"]:
                if control["id"] == control_id:
                    return control
        raise KeyError(control_id)

    def dialogs(self):
        """Message boxes and other dialogs open beside the wizard."""
        return self.call("dialogs")["dialogs"]

    def wait_for(self, condition, what, timeout=20):
        deadline = time.time() + timeout
        while True:
            try:
                value = condition()
                if value:
                    return value
            except (KeyError, RuntimeError):
                pass
            if time.time() > deadline:
                raise AssertionError("timed out waiting for " + what)
            time.sleep(0.1)

    def wait_for_dialog(self, what="a dialog"):
        return self.wait_for(lambda: self.dialogs(), what)[0]

    def screenshot(self, which, path):
        pathlib.Path(path).parent.mkdir(parents=True, exist_ok=True)
        self.call("screenshot %s %s" % (which, wine_path(path)))

    def wait_exit(self, timeout=30):
        return self.process.wait(timeout=timeout)

    def close(self):
        if self.driver.poll() is None:
            self.driver.stdin.write("quit\n")
            self.driver.stdin.flush()
            self.driver.wait(timeout=10)
        if self.process.poll() is None:
            self.process.kill()
