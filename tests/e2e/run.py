"""End-to-end scenarios of the wizard: the real executable under Wine.
   run.py <scenario> --exe BrimvaleSetup.exe --driver driver.exe --prefix DIR --screenshots DIR
The whole-run scenarios run inside tests/fixtures/with-server-443.sh with the
whole-run catalogue and find the server's database in BRIMVALE_SERVER_DATABASE."""

import argparse
import contextlib
import filecmp
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import traceback

import whole_run
from whole_run import WHOLE_RUN_EVENTS, Walk
from wizard import WINE, Display, Prefix, Wizard

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
        subprocess.run([WINE, str(probe)], env=environment, capture_output=True, timeout=120)
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


# The kinds of page a whole run with the whole-run catalogue shows: the
# product (and the vendor-installer variant), and the vendor-installer
# variant with the BT pages.
WHOLE_RUN_PAGES = ["language", "loading", "welcome", "offer", "offer", "offer", "download", "finish"]
BT_PAGES = ["language", "loading", "warning", "licence", "offer", "offer", "offer", "options", "configurations",
            "download", "finish"]


def fresh_screenshots(context, name):
    """The scenario's screenshot folder, emptied of an earlier run's."""
    folder = pathlib.Path(context.screenshots) / name
    shutil.rmtree(folder, ignore_errors=True)
    return folder


def walk_whole_run(context, pages, screenshots=None, environment=None, clicks=None):
    """A whole run walked to its last page, which with the offers' installers
    ended; `pages`: the kinds of page it must show. The wizard, the walk and
    the record of the run's traces."""
    record = whole_run.RunRecord(context.prefix, context.scratch / "installer-runs")
    wizard = context.wizard(dict(record.environment(), **(environment or {})))
    walk = Walk(wizard, screenshots, clicks=clicks)
    walk.to_end()
    check([kind for kind, _ in walk.pages] == pages, "pages: %r" % walk.pages)
    check(walk.offers_shown() == list(whole_run.OFFER_CHOICES), "offer pages: %r" % walk.offers_shown())
    whole_run.wait_for_installers(record.records, [whole_run.INSTALLED_OFFER[0]])
    check(len(walk.shots) == (len(pages) if screenshots else 0) and all(shot.stat().st_size > 0 for shot in walk.shots),
          repr(walk.shots))
    return wizard, walk, record


def check_whole_run_traces(context, record):
    """The events and files of a whole run that reached the finish page."""
    events = whole_run.wait_for_events(context.database, WHOLE_RUN_EVENTS)
    check(sorted(events) == WHOLE_RUN_EVENTS, "events stored: %r" % events)
    check(record.product.exists(), "the product in the Downloads folder: %s" % record.product)
    check(filecmp.cmp(record.product, context.catalogue / "files" / whole_run.PRODUCT_FILE, shallow=False),
          "the product is the file the server sent")
    program, arguments = whole_run.INSTALLED_OFFER
    started = record.record(program)
    check(started and program in started and started.endswith(" " + arguments), "%s started as %r" % (program, started))
    for program in whole_run.NEVER_STARTED:
        check(record.record(program) is None, "%s was started: %r" % (program, record.record(program)))
    check(not record.new_work_folders(), "work folders left: %r" % record.new_work_folders())


def whole_run_finish(context):
    """The happy path: every page in turn with a screenshot, two offers
    accepted and one declined, and Finish launches the product."""
    wizard, walk, record = walk_whole_run(context, WHOLE_RUN_PAGES, fresh_screenshots(context, "whole-run"))
    check(wizard.control(whole_run.LAUNCH_RADIO)["checked"] == 1, "Launch is the default choice")
    # The answer reached the texts: the header, the welcome text and each offer's links.
    host = wizard.dump()["host"]
    check(host["title"] == whole_run.PRODUCT_TITLE + " Setup", "title: %r" % host["title"])
    check(whole_run.control_text(host, whole_run.HEADER_TITLE) == whole_run.PRODUCT_TITLE, "header title")
    welcome = whole_run.control_text(walk.dumps[2], whole_run.WELCOME_TEXT)
    check("download " + whole_run.PRODUCT_TITLE + " on" in welcome, "welcome text: %r" % welcome)
    answer = json.loads((context.catalogue / "answers" / "whole-run.json").read_text())
    links = {offer["ps"]["dn"]: (offer["ps"]["cp"], offer["ps"]["ctu"]) for offer in answer["o"]}
    for (kind, name), page in zip(walk.pages, walk.dumps):
        if kind == "offer":
            disclaimer = whole_run.control_text(page, whole_run.DISCLAIMER_LINK)
            check(all('href="%s"' % link in disclaimer for link in links[name]), "%s: %r" % (name, disclaimer))
    wizard.call("click %d" % whole_run.FINISH_BUTTON)
    check(wizard.wait_exit() is not None, "the wizard ends")
    whole_run.wait_for_installers(record.records, [whole_run.PRODUCT_FILE])
    launched = record.record(whole_run.PRODUCT_FILE)
    check(launched and "Downloads\\" + whole_run.PRODUCT_FILE in launched, "the product launched from Downloads: %r" % launched)
    check_whole_run_traces(context, record)


def whole_run_close(context):
    """A whole run closed with the close box on the finish page: no question,
    the work folder goes, the product is not launched, and no closing event
    follows the final events the packages already reported."""
    wizard, _, record = walk_whole_run(context, WHOLE_RUN_PAGES)
    wizard.call("close")
    check(wizard.wait_exit() is not None, "the wizard ends without a question")
    check_whole_run_traces(context, record)
    check(record.record(whole_run.PRODUCT_FILE) is None, "the product was launched")


def server_down(context):
    """Nothing answers on the server's host: the loading page ends on the
    error page with the configuration texts, and the start event is lost.
    When the server is back, closing the window reports the closing event."""
    record = whole_run.RunRecord(context.prefix, context.scratch / "installer-runs")
    wizard = context.wizard(record.environment())
    walk = Walk(wizard)
    walk.expect("language")
    wizard.call("click %d" % whole_run.NEXT_BUTTON)
    # Refused connections end the loading at once: the loading page may be gone before it is seen.
    if walk.wait_for_next_page() == "loading":
        walk.wait_for_next_page()
    check(walk.pages[-1][0] == "error", "pages: %r" % walk.pages)
    check(whole_run.control_text(walk.page, whole_run.ERROR_TITLE) == "Something went wrong",
          repr(whole_run.control_text(walk.page, whole_run.ERROR_TITLE)))
    check(whole_run.control_text(walk.page, whole_run.ERROR_TEXT) == "Please try to download later",
          repr(whole_run.control_text(walk.page, whole_run.ERROR_TEXT)))
    wizard.screenshot("window", pathlib.Path(context.screenshots) / "server-down-error-page.png")

    with context.server():
        wizard.call("close")
        check(wizard.wait_exit() is not None, "the wizard ends without a question")
        events = whole_run.wait_for_events(context.database, [("5", "", "")])
    check(events == [("5", "", "")], "events stored: %r" % events)
    check(not record.product.exists(), "no product in the Downloads folder")
    check(not list(record.records.glob("*.run")), "no installer started")
    check(not record.new_work_folders(), "work folders left: %r" % record.new_work_folders())


def check_vendor_installers(record, main_arguments):
    """The installers a vendor-installer run started, each from its work
    folder: the product's with `main_arguments`, the accepted program offer
    with its arguments, and none of the declined or refused offers. The
    accepted ZIP offer's program runs where the system can unpack the
    archive; Wine's shell has no ZIP folders, so there the wizard tries the
    archive itself and goes on."""
    whole_run.wait_for_installers(record.records, [whole_run.PRODUCT_FILE, whole_run.INSTALLED_OFFER[0]])
    work_folder = r'"[A-Z]:\\.*\\ISV[0-9A-Fa-f]+\.(?:tmp|TMP)\\'
    started = record.record(whole_run.PRODUCT_FILE)
    check(re.fullmatch(work_folder + re.escape(whole_run.PRODUCT_FILE + '" ' + main_arguments), started),
          "the product's installer started as %r, not with %r" % (started, main_arguments))
    program, arguments = whole_run.INSTALLED_OFFER
    started = record.record(program)
    check(re.fullmatch(work_folder + re.escape(program + '" ' + arguments), started), "%s started as %r" % (program, started))
    unpacked = record.record("PebbleBackupSetup.exe")
    check(unpacked is None or re.fullmatch(work_folder + r'PebbleBackup\\PebbleBackupSetup\.exe" /quiet', unpacked),
          "the ZIP offer's program started as %r" % unpacked)
    for program in whole_run.NEVER_STARTED:
        check(record.record(program) is None, "%s was started: %r" % (program, record.record(program)))
    check(not record.product.exists(), "the vendor's product is not saved to Downloads")


def isv_finish(context):
    """The vendor-installer variant's whole run: its built-in product and the
    accepted offers downloaded into the work folder, the product's installer
    started with the built-in arguments and waited for, the offers' after
    it; the texts name the built-in product, and Finish removes the work
    folder."""
    wizard, walk, record = walk_whole_run(context, WHOLE_RUN_PAGES, fresh_screenshots(context, "isv-finish"))
    welcome = whole_run.control_text(walk.dumps[2], whole_run.WELCOME_TEXT)
    check("install " + whole_run.VENDOR_PACKAGE + " on" in welcome, "welcome text: %r" % welcome)
    finish = whole_run.control_text(walk.page, whole_run.FINISH_TEXT)
    check(finish.startswith("You have successfully installed " + whole_run.VENDOR_PACKAGE + "."), finish)
    check_vendor_installers(record, context.main_arguments)
    events = whole_run.wait_for_events(context.database, whole_run.whole_run_events(vendor=True))
    check(sorted(events) == whole_run.whole_run_events(vendor=True), "events stored: %r" % events)
    wizard.call("click %d" % whole_run.FINISH_BUTTON)
    check(wizard.wait_exit() is not None, "the wizard ends")
    check(not record.new_work_folders(), "work folders left: %r" % record.new_work_folders())


def isv_installer_fails(context):
    """The vendor-installer variant whose product's installer ends with 1603:
    the failure is reported with the exit code, the accepted offers are
    started all the same, and the run ends on the error page."""
    failure = {"BRIMVALE_TEST_INSTALLER_EXIT": "1603"}
    pages = WHOLE_RUN_PAGES[:-1] + ["error"]
    wizard, walk, record = walk_whole_run(context, pages, fresh_screenshots(context, "isv-installer-fails"), failure)
    title = whole_run.control_text(walk.page, whole_run.ERROR_TITLE)
    text = whole_run.control_text(walk.page, whole_run.ERROR_TEXT)
    check(title == "Error occurred while installing %s." % whole_run.VENDOR_PACKAGE, "error title: %r" % title)
    check(text == 'Click on "Close" and try again later.', "error text: %r" % text)
    check_vendor_installers(record, context.main_arguments)
    expected = whole_run.whole_run_events(vendor=True, main_result="EXEC FAILED: exit code = 1603")
    events = whole_run.wait_for_events(context.database, expected)
    check(sorted(events) == expected, "events stored: %r" % events)
    # The error page's Close ends the wizard at once and leaves the work folder.
    wizard.call("click %d" % whole_run.CLOSE_BUTTON)
    check(wizard.wait_exit() is not None, "the wizard ends")
    for folder in record.new_work_folders():
        shutil.rmtree(record.prefix.temp() / folder)


def bt_pages(context):
    """The vendor-installer variant with the BT pages: warning, licence, the
    offers, options and configurations, their check boxes all checked at
    first; with the second option cleared, the product's installer gets
    "/S /FORCEINSTALL " and the option string with that option off instead of
    the built-in arguments."""
    wizard, walk, record = walk_whole_run(context, BT_PAGES, fresh_screenshots(context, "bt-pages"),
                                          clicks={"options": [whole_run.OPTIONS_CHECKS[1]]})
    pages = dict(zip([kind for kind, _ in walk.pages], walk.dumps))
    for kind, boxes in (("options", whole_run.OPTIONS_CHECKS), ("configurations", whole_run.CONFIGURATIONS_CHECKS)):
        states = [next(c["checked"] for c in pages[kind]["controls"] if c["id"] == box) for box in boxes]
        check(states == [1] * len(boxes), "%s page check boxes at first: %r" % (kind, states))
    # No shipped locale document has the BT pages' own texts: they keep their template captions.
    warning = pages["warning"]
    check(whole_run.control_text(warning, whole_run.WARNING_TITLE) == "WARNING_TITLE placeholder", repr(warning))
    check([whole_run.control_text(warning, button) for button in (whole_run.NEXT_BUTTON, whole_run.BACK_BUTTON)] ==
          ["Next", "Back"], repr(warning))
    check(whole_run.control_text(pages["licence"], whole_run.AGREE_BUTTON) == "Agree", repr(pages["licence"]))
    # Every option but the second (btOptions[1]) left checked.
    check_vendor_installers(record, "/S /FORCEINSTALL 1110010101110110")
    events = whole_run.wait_for_events(context.database, whole_run.whole_run_events(vendor=True))
    check(sorted(events) == whole_run.whole_run_events(vendor=True), "events stored: %r" % events)
    wizard.call("click %d" % whole_run.FINISH_BUTTON)
    check(wizard.wait_exit() is not None, "the wizard ends")


SCENARIOS = {f.__name__: f for f in (language_page, second_instance, close_question, about_box, planted_libraries,
                                     whole_run_finish, whole_run_close, server_down, isv_finish, isv_installer_fails,
                                     bt_pages)}


class Context:
    def __init__(self, options, prefix, scratch):
        self.executable = options.exe
        self.driver = options.driver
        self.screenshots = options.screenshots
        self.planted_library = options.planted_library
        self.plant_probe = options.plant_probe
        self.server_program = options.server
        self.pki = options.pki
        self.catalogue = pathlib.Path(options.catalogue) if options.catalogue else None
        self.main_arguments = options.main_arguments
        self.database = os.environ.get("BRIMVALE_SERVER_DATABASE")
        self.prefix = prefix
        self.scratch = pathlib.Path(scratch)
        self.wizards = []

    def wizard(self, environment=None):
        wizard = Wizard(self.prefix, self.executable, self.driver, environment)
        self.wizards.append(wizard)
        return wizard

    @contextlib.contextmanager
    def server(self):
        """The reference server back on 127.0.0.1:443, where with-server-443.sh
        --no-server left the port free (holding its lock, names and CA)."""
        check(self.server_program and self.pki and self.catalogue and self.database, "server options missing")
        pki = pathlib.Path(self.pki)
        server = subprocess.Popen(
            [self.server_program, "--cert", str(pki / "server.pem"), "--key", str(pki / "server.key"),
             "--catalogue", str(self.catalogue), "--database", self.database, "--address", "127.0.0.1",
             "--port", "443"], stdout=subprocess.PIPE, text=True)
        try:
            line = server.stdout.readline()
            check(line.startswith("listening on"), "the server did not start: %r" % line)
            yield
        finally:
            server.terminate()
            server.wait(timeout=30)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    for option in ("--exe", "--driver", "--prefix", "--screenshots"):
        parser.add_argument(option, required=True)
    for option in ("--planted-library", "--plant-probe", "--server", "--pki", "--catalogue"):
        parser.add_argument(option)
    parser.add_argument("--main-arguments", default="", help="a vendor-installer variant's built-in product arguments")
    parser.add_argument("--arch", default="win32", choices=("win32", "win64"), help="the prefix's architecture")
    options = parser.parse_args()

    display = Display()
    prefix = Prefix(options.prefix, display, arch=options.arch)
    scratch = tempfile.TemporaryDirectory(prefix="brimvale-e2e-")
    context = Context(options, prefix, scratch.name)
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
        scratch.cleanup()


if __name__ == "__main__":
    sys.exit(main())
