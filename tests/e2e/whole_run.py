"""A whole run of the real wizard against the reference server's whole-run
catalogue (server/whole-run-catalogue): the pages in their order with a
screenshot of each, the user's choice on each offer page, and what the run
leaves behind: the events the server stored and the files in the prefix.
Used by the end-to-end scenarios (run.py) and by scripts/demo."""

import json
import os
import pathlib
import re
import sqlite3
import time

from wizard import wine_path

# Control ids (resources/DialogIds.h).
LANGUAGE_COMBO, HEADER_TITLE, NEXT_BUTTON, LOADING_PLACEHOLDER, WELCOME_TITLE = 1000, 1008, 1010, 1015, 1017
WELCOME_TEXT = 1018
ACCEPT_BUTTON, DECLINE_BUTTON, PROGRESS_TITLE, FINISH_BUTTON, FINISH_TEXT = 1021, 1022, 1025, 1028, 1033
LAUNCH_RADIO, CLOSE_BUTTON, ERROR_TITLE, ERROR_TEXT, DISCLAIMER_LINK = 1031, 1035, 1036, 1037, 1042
AGREE_BUTTON, BACK_BUTTON, WARNING_TITLE, OPTIONS_TITLE = 1050, 1051, 1052, 1055
OPTIONS_CHECKS = (1056, 1057, 1058)
CONFIGURATIONS_TITLE = 1059
CONFIGURATIONS_CHECKS = (1069, 1063, 1066, 1067, 1068)

# What the whole-run catalogue's answer holds and what a user does with it:
# the offers the rules let through, in the answer's order, and the choice
# made on each page.
PRODUCT_TITLE = "Brimvale Player"
PRODUCT_FILE = "BrimvalePlayerSetup.exe"
OFFER_CHOICES = {"Quill Notes": "accept", "Pebble Backup": "accept", "Lumen Reader": "decline"}
# The accepted offer that is a program (Pebble Backup comes as a ZIP) and
# the arguments its installer gets, its placeholders filled in.
INSTALLED_OFFER = ("QuillNotesSetup.exe", "/S /pub=sample-publisher /cc=US")
NEVER_STARTED = ("OrbitSyncSetup.exe", "HarborVpnSetup.exe", "LumenReaderSetup.exe")
# The vendor-installer wizard's main package reports under its built-in
# title, not the answer's.
VENDOR_PACKAGE = "Quenbril"


def whole_run_events(vendor=False, main_result=""):
    """The events of a run with OFFER_CHOICES that reached the download page,
    as (event id, package, extra text), sorted. The download-manager wizard's
    main package reports 1 before the answer names it, so with an empty
    package; the vendor-installer wizard's reports under its built-in title
    throughout. The rules refuse Orbit Sync (it needs a newer wizard) and
    Harbor VPN (exclusive, after an accepted offer). `main_result`: the extra
    text of the main package's event 3."""
    main = VENDOR_PACKAGE if vendor else PRODUCT_TITLE
    return sorted([
        ("1", main if vendor else "", ""),
        ("2", "orbit-sync", "UNSUPPORTED PLATFORM VERSION"),
        ("2", "harbor-vpn", "EXCLUSIVE, BUT ANOTHER OFFER ALREADY PRESENT"),
        ("4", "lumen-reader", ""),
        ("3", main, main_result),
        ("3", "quill-notes", ""),
        ("3", "pebble-backup", ""),
    ])


WHOLE_RUN_EVENTS = whole_run_events()


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def page_kind(page):
    """The kind of a visible page, told by its controls."""
    ids = {control["id"] for control in page["controls"]}
    for kind, marker in (("language", LANGUAGE_COMBO), ("welcome", WELCOME_TITLE), ("offer", ACCEPT_BUTTON),
                         ("download", PROGRESS_TITLE), ("finish", FINISH_BUTTON), ("error", CLOSE_BUTTON),
                         ("loading", LOADING_PLACEHOLDER), ("warning", WARNING_TITLE), ("licence", AGREE_BUTTON),
                         ("options", OPTIONS_TITLE), ("configurations", CONFIGURATIONS_TITLE)):
        if marker in ids:
            return kind
    return None


def control_text(page, control_id):
    return next(c["text"] for c in page["controls"] if c["id"] == control_id)


def offer_name(page):
    """The offer's name as the disclaimer shows it."""
    found = re.search(r'installation of "([^"]*)"', control_text(page, DISCLAIMER_LINK))
    check(found, "no offer name in the disclaimer: %r" % control_text(page, DISCLAIMER_LINK))
    return found.group(1)


def slug(text):
    return re.sub(r"[^a-z0-9]+", "-", text.lower()).strip("-")


class Walk:
    """Moves the wizard page by page as a user would, keeping a screenshot of
    each page (NN-<page>.png) when given a folder for them. `choices`: accept
    or decline by offer name (OFFER_CHOICES unless given); `clicks`: the
    check boxes clicked, by page kind, before leaving a page."""

    # The button that leaves a page of each kind; the others move on by themselves.
    FORWARD = {"language": NEXT_BUTTON, "welcome": NEXT_BUTTON, "warning": NEXT_BUTTON, "licence": AGREE_BUTTON,
               "options": NEXT_BUTTON, "configurations": NEXT_BUTTON}

    def __init__(self, wizard, screenshots=None, choices=None, clicks=None):
        self.wizard = wizard
        self.screenshots = pathlib.Path(screenshots) if screenshots else None
        self.choices = OFFER_CHOICES if choices is None else choices
        self.clicks = clicks or {}
        self.shots = []
        self.pages = []  # (kind, offer name or "") in the order shown
        self.dumps = []  # each page's controls as first seen
        self.page = None

    def wait_for_next_page(self, timeout=90):
        """The next page to become the only visible one."""
        previous = self.page["handle"] if self.page else None

        def shown():
            pages = self.wizard.dump()["pages"]
            if len(pages) == 1 and pages[0]["handle"] != previous and page_kind(pages[0]):
                return pages[0]
            return None

        self.page = self.wizard.wait_for(shown, "the page after %s" % (self.pages[-1:] or "start"), timeout)
        kind = page_kind(self.page)
        self.pages.append((kind, offer_name(self.page) if kind == "offer" else ""))
        self.dumps.append(self.page)
        return kind

    def screenshot(self, name):
        if not self.screenshots:
            return
        path = self.screenshots / ("%02d-%s.png" % (len(self.shots) + 1, name))
        self.wizard.screenshot("window", path)
        # A page that moved on by itself meanwhile would give the shot a wrong name.
        pages = self.wizard.dump()["pages"]
        check([page["handle"] for page in pages] == [self.page["handle"]], "the %s page went during its screenshot" % name)
        self.shots.append(path)

    def expect(self, kind):
        found = self.wait_for_next_page()
        check(found == kind, "expected the %s page, got the %s page (pages so far: %r)" % (kind, found, self.pages))

    def to_end(self):
        """From the language page to the finish or error page, whose kind it
        returns: every offer page gets the choice made for its offer, every
        other page its check box clicks and its forward button."""
        while True:
            kind = self.wait_for_next_page()
            name = self.pages[-1][1]
            for box in self.clicks.get(kind, ()):
                before = self.wizard.control(box)["checked"]
                self.wizard.call("click %d" % box)
                self.wizard.wait_for(lambda: self.wizard.control(box)["checked"] != before, "check box %d to flip" % box)
            self.screenshot("offer-" + slug(name) if kind == "offer" else kind)
            if kind in ("finish", "error"):
                return kind
            if kind == "offer":
                self.wizard.call("click %d" % (ACCEPT_BUTTON if self.choices.get(name) == "accept" else DECLINE_BUTTON))
            elif kind in self.FORWARD:
                self.wizard.call("click %d" % self.FORWARD[kind])

    def to_finish(self):
        """to_end, which must end on the finish page."""
        kind = self.to_end()
        check(kind == "finish", "the run ended on the %s page: %r" % (kind, self.pages))

    def offers_shown(self):
        return [name for kind, name in self.pages if kind == "offer"]


def stored_events(database):
    """The events the server stored, in the order received: (event id,
    package, extra text), the extra text being the failure ("12") or the
    refusal reason ("13")."""
    if not database or not os.path.exists(database):
        return []
    connection = sqlite3.connect("file:%s?mode=ro" % database, uri=True, timeout=10)
    try:
        rows = connection.execute("SELECT event_id, package, payload FROM zb_analytics ORDER BY rowid").fetchall()
    finally:
        connection.close()
    events = []
    for event_id, package, payload in rows:
        data = json.loads(payload)
        events.append((event_id, package, data.get("12") or data.get("13") or ""))
    return events


def wait_for_events(database, expected, timeout=30):
    """Waits until the stored events are `expected` (in any order) and
    returns them; after the time-out, returns what is there."""
    deadline = time.time() + timeout
    while True:
        events = stored_events(database)
        if sorted(events) == sorted(expected) or time.time() > deadline:
            return events
        time.sleep(0.2)


def running_programs(names):
    """Which of these Windows programs run now (Wine shows the Windows command
    line as the process's command line)."""
    running = set()
    for cmdline in pathlib.Path("/proc").glob("[0-9]*/cmdline"):
        try:
            text = cmdline.read_bytes().decode("utf-8", "replace").lower()
        except OSError:
            continue
        running.update(name for name in names if name.lower() in text)
    return running


def wait_for_installers(records, names, timeout=60):
    """Waits until each installer has left its record and ended."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        if all((records / (name + ".run")).exists() for name in names) and not running_programs(names):
            return
        time.sleep(0.2)
    missing = [name for name in names if not (records / (name + ".run")).exists()]
    raise AssertionError("installers without a record: %r, still running: %r" % (missing, running_programs(names)))


def work_folders(prefix):
    """The wizard's work folders (ISV*.tmp) under the prefix's temporary folder."""
    return {path.name for path in prefix.temp().glob("ISV*.tmp")}


class RunRecord:
    """Where one run's traces go: a fresh folder for the installers' records
    (handed to the wizard in BRIMVALE_TEST_INSTALLER_OUT), and the state of
    the prefix before the run to compare with afterwards."""

    def __init__(self, prefix, records):
        self.prefix = prefix
        self.records = pathlib.Path(records)
        self.records.mkdir(parents=True, exist_ok=True)
        for record in self.records.glob("*.run"):
            record.unlink()
        self.product = prefix.downloads() / PRODUCT_FILE
        if self.product.exists():
            self.product.unlink()
        self.work_folders_before = work_folders(prefix)

    def environment(self):
        return {"BRIMVALE_TEST_INSTALLER_OUT": wine_path(self.records)}

    def record(self, program):
        """The command line the program was started with, or None."""
        path = self.records / (program + ".run")
        return path.read_text(encoding="utf-8").strip() if path.exists() else None

    def new_work_folders(self):
        return sorted(work_folders(self.prefix) - self.work_folders_before)
