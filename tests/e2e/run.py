"""End-to-end scenarios of the wizard: the real executable under Wine.
   run.py <scenario> --exe BrimvaleSetup.exe --driver driver.exe --prefix DIR --screenshots DIR"""

import argparse
import pathlib
import shutil
import subprocess
import sys
import tempfile
import traceback

from wizard import Display, Prefix, Wizard

LANGUAGE_COMBO, NEXT_BUTTON, SPLASH_TEXT, ABOUT_VERSION = 1000, 1010, 1011, 1045
ID_OK, ID_CANCEL, ABOUT_COMMAND = 1, 2, 0x10


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def box_text(dialog):
    """The text of a message box: its static without an id."""
    return next(c["text"] for c in dialog["controls"] if c["class"] == "Static" and c["id"] == 0xFFFF)


def language_page(context):
    wizard = context.wizard()
    dump = wizard.dump()
    host, pages = dump["host"], dump["pages"]
    check(host["title"] == "Setup", "title: %r" % host["title"])
    check(len(pages) == 1, "one visible page, got %d" % len(pages))
    combo = wizard.control(LANGUAGE_COMBO)
    check(len(combo["items"]) == 14, "14 languages: %r" % combo["items"])
    check(combo["items"][combo["selection"]] == "English", "English preselected: %r" % combo)
    check(wizard.control(NEXT_BUTTON)["text"] == "Next", "Next caption")
    # The Next button sits at the bottom right of the page, on the band.
    page, button = pages[0]["rect"], wizard.control(NEXT_BUTTON)["rect"]
    check(button[0] > page[0] + page[2] * 0.6 and button[1] > page[1] + page[3] * 0.8, "Next at %r on %r" % (button, page))
    # The page covers the host's page area; the host's band spans 350 units to the page's 336.
    area = next(c["rect"] for c in host["controls"] if c["id"] == 1014)
    band = next(c["rect"] for c in host["controls"] if c["id"] == 1001)
    check(page == area, "page %r on the page area %r" % (page, area))
    check(abs(page[2] / band[2] - 336 / 350) < 0.01, "page of 336 units in a host of 350: %r, %r" % (page, band))
    wizard.screenshot("window", context.screenshots + "/language-page-english.png")

    wizard.call("select %d 1" % LANGUAGE_COMBO)
    wizard.wait_for(lambda: wizard.control(NEXT_BUTTON)["text"] == "SIGUIENTE", "the Spanish Next caption")
    check('"SIGUIENTE"' in wizard.control(SPLASH_TEXT)["text"], "Spanish prompt with its caption")
    wizard.screenshot("window", context.screenshots + "/language-page-spanish.png")


def second_instance(context):
    first = context.wizard()
    second = context.prefix.start([context.executable])
    box = first.wait_for_dialog("the second wizard's message")
    check(box["title"] == "Error", "caption: %r" % box["title"])
    check(box_text(box) == "Another setup is already running, please close it and try again", box_text(box))
    first.call("answer %d" % ID_OK)
    check(second.wait(timeout=30) is not None, "the second wizard ends")
    check(first.control(NEXT_BUTTON)["text"] == "Next", "the first wizard goes on")
    check(not first.dialogs(), "no dialog left")


def close_question(context):
    wizard = context.wizard()
    wizard.call("close")
    box = wizard.wait_for_dialog("the exit question")
    check(box_text(box) == "Are you sure you want to exit the installer?", box_text(box))
    check(box["title"] == "", "empty caption: %r" % box["title"])
    wizard.call("answer %d" % ID_CANCEL)
    wizard.wait_for(lambda: not wizard.dialogs(), "the question to go")
    check(wizard.dump()["host"]["visible"], "the wizard stays")
    check(wizard.control(NEXT_BUTTON)["visible"], "on its page")

    wizard.call("close")
    wizard.wait_for_dialog("the exit question again")
    wizard.call("answer %d" % ID_OK)
    check(wizard.wait_exit() == 0, "the wizard ends")


def about_box(context):
    wizard = context.wizard()
    wizard.call("syscommand %d" % ABOUT_COMMAND)
    about = wizard.wait_for_dialog("the About box")
    check(about["title"] == "About Brimvale", "title: %r" % about["title"])
    version = next(c["text"] for c in about["controls"] if c["id"] == ABOUT_VERSION)
    check(version == "Brimvale, Version 3.0.13.11135", version)
    wizard.screenshot("box", context.screenshots + "/about-box.png")
    wizard.call("answer %d" % ID_OK)
    wizard.wait_for(lambda: not wizard.dialogs(), "the About box to close")


def planted_libraries(context):
    """A copy of the wizard in a folder where somebody left DLLs named like
    system libraries that are not the system's known DLLs. Windows looks
    beside the program first; Wine does so when told to prefer native DLLs.
    (version.dll is left out: Wine's own user32 imports it.)"""
    names = ["winhttp.dll", "wininet.dll", "gdiplus.dll", "bcrypt.dll"]
    with tempfile.TemporaryDirectory(prefix="brimvale-planted-") as folder:
        folder = pathlib.Path(folder)
        executable = folder / "BrimvaleSetup.exe"
        shutil.copyfile(context.executable, executable)
        for name in names:
            shutil.copyfile(context.planted_library, folder / name)
        environment = context.prefix.environment
        environment["WINEDLLOVERRIDES"] += ";%s=n,b" % ",".join(n[:-4] for n in names)
        # The trap works: a program that imports winhttp the usual way loads
        # the planted one when it lies beside it.
        probe = folder / "probe.exe"
        shutil.copyfile(context.plant_probe, probe)
        subprocess.run(["wine", str(probe)], env=environment, capture_output=True, timeout=120)
        loaded = [p.name.lower() for p in folder.glob("*.loaded")]  # named as imported, in any case
        check("winhttp.dll.loaded" in loaded, "the planted winhttp.dll is loaded beside the probe: %r" % loaded)
        for marker in folder.glob("*.loaded"):
            marker.unlink()
        wizard = Wizard(context.prefix, executable, context.driver)
        context.wizards.append(wizard)
        check(len(wizard.control(LANGUAGE_COMBO)["items"]) == 14, "the wizard runs")
        loaded = sorted(p.name for p in folder.glob("*.loaded"))
        check(not loaded, "planted DLLs loaded: %r" % loaded)
        wizard.close()


SCENARIOS = {f.__name__: f for f in (language_page, second_instance, close_question, about_box, planted_libraries)}


class Context:
    def __init__(self, options, prefix):
        self.executable = options.exe
        self.driver = options.driver
        self.screenshots = options.screenshots
        self.planted_library = options.planted_library
        self.plant_probe = options.plant_probe
        self.prefix = prefix
        self.wizards = []

    def wizard(self):
        wizard = Wizard(self.prefix, self.executable, self.driver)
        self.wizards.append(wizard)
        return wizard


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    for option in ("--exe", "--driver", "--prefix", "--screenshots", "--planted-library", "--plant-probe"):
        parser.add_argument(option, required=True)
    options = parser.parse_args()

    display = Display()
    prefix = Prefix(options.prefix, display)
    context = Context(options, prefix)
    try:
        SCENARIOS[options.scenario](context)
        print("PASSED", options.scenario)
        return 0
    except Exception:
        traceback.print_exc()
        return 1
    finally:
        for wizard in context.wizards:
            wizard.close()
        prefix.stop()
        display.close()


if __name__ == "__main__":
    sys.exit(main())
