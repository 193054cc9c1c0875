#!/usr/bin/env python3
"""What assistive technology sees of the viewer's main window, read over AT-SPI.

Runs velquin-reader (first argument) on a small TNEF file written here, answers the
first-run options dialog through its OK button, prints the window's accessible tree and
checks it: every control has a name and the main ones a description, the message's text is
exposed once (not again by the web pane), no label is exposed twice, and a picture
attachment shows as an image named after its file. Exit 77 (skip) when pyatspi is missing;
run under a display and a session bus (atspi-check.sh does both).
"""
import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77
try:
    import pyatspi
except ImportError:
    print("pyatspi is not installed: skipped")
    sys.exit(SKIP)

BODY = "Body words for the reader"


def attr(level, ident, data):
    return bytes([level]) + struct.pack("<II", ident, len(data)) + data + struct.pack("<H", sum(data) & 0xFFFF)


def png(width, height):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + b"\x40\x80\xc0" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def write_tnef(path):
    out = struct.pack("<IH", 0x223E9F78, 1)
    out += attr(1, 0x00018004, b"Accessible subject\0")  # attSubject
    body = (BODY + "\0").encode()
    body += b"\0" * ((4 - len(body) % 4) % 4)
    # attMAPIProps holding PR_BODY (PT_STRING8)
    props = struct.pack("<IHHII", 1, 0x001E, 0x1000, 1, len(BODY) + 1) + body
    out += attr(1, 0x00069003, props)
    for name, data in ((b"notes.txt", b"plain notes"), (b"photo.png", png(40, 30))):
        out += attr(2, 0x00069002, b"\x01" * 14)  # attAttachRendData
        out += attr(2, 0x00018010, name + b"\0")  # attAttachTitle
        out += attr(2, 0x0006800F, data)  # attAttachData
    with open(path, "wb") as f:
        f.write(out)


def walk(node, depth=0, out=None):
    out = [] if out is None else out
    if node is None:
        return out
    out.append((depth, node))
    for i in range(node.childCount):
        try:
            walk(node.getChildAtIndex(i), depth + 1, out)
        except Exception:  # a child that went away meanwhile
            pass
    return out


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except NotImplementedError:
        return ""


def find_app(name, timeout):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.3)
    return None


def wait_for(predicate, timeout):
    end = time.time() + timeout
    while time.time() < end:
        try:
            result = predicate()
        except Exception:  # an object went away while it was read (a dialog closing)
            result = None
        if result:
            return result
        time.sleep(0.3)
    return None


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click", "SetFocus") or i == action.nActions - 1:
            action.doAction(i)
            return


def main():
    viewer = sys.argv[1]
    scratch = tempfile.mkdtemp(prefix="velquin-atspi-")
    sample = os.path.join(scratch, "accessible.dat")
    write_tnef(sample)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(scratch, "config"),
               XDG_CONFIG_DIRS=os.path.join(scratch, "etc"), XDG_DATA_HOME=os.path.join(scratch, "data"),
               LANG="en_US.UTF-8", LC_ALL="C.UTF-8", LANGUAGE="en",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb")
    # The display can take a moment to accept clients after xvfb-run has started it: a
    # viewer that could not connect ends at once and is started again.
    for _ in range(10):
        proc = subprocess.Popen([viewer, sample], env=env)
        try:
            proc.wait(2)
        except subprocess.TimeoutExpired:
            break
        time.sleep(1)
    problems = []
    try:
        app = find_app("velquin-reader", 30)
        if app is None:
            print("the viewer never appeared on the accessibility bus")
            return 1
        # The first run's options dialog comes first: OK takes the defaults.
        ok = wait_for(lambda: next((n for _, n in walk(app) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON
                                    and n.name in ("OK", "&OK") and showing(n)), None), 20)
        if ok is not None:
            press(ok)
        frame = wait_for(lambda: next((n for _, n in walk(app) if n.getRole() == pyatspi.ROLE_FRAME
                                       and n.name.endswith("Accessible subject")), None), 20)
        if frame is None:
            print("the main window never showed the file")
            return 1
        time.sleep(1)
        nodes = walk(frame)
        print("AT-SPI tree of the main window:")
        for depth, n in nodes:
            if showing(n):
                print("  " * depth + "%s %r %r" % (n.getRoleName(), n.name, n.description))

        controls = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_TREE,
                    pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_ENTRY,
                    pyatspi.ROLE_TEXT, pyatspi.ROLE_IMAGE, pyatspi.ROLE_PANEL, pyatspi.ROLE_SCROLL_PANE)
        for _, n in nodes:
            if showing(n) and n.getRole() in controls and n.getState().contains(pyatspi.STATE_FOCUSABLE):
                if not n.name:
                    problems.append("a %s without a name" % n.getRoleName())
                elif not n.description:
                    problems.append("%s %r without a description" % (n.getRoleName(), n.name))
        bodies = [n for _, n in nodes if showing(n) and BODY in text_of(n)]
        if len(bodies) != 1:
            problems.append("the message text is exposed %d times" % len(bodies))
        labels = [n.name for _, n in nodes if showing(n) and n.getRole() == pyatspi.ROLE_LABEL and n.name]
        for name in sorted(set(labels)):
            if labels.count(name) > 1:
                problems.append("the label %r is exposed %d times" % (name, labels.count(name)))

        # The picture attachment: the list's third row, selected as a user would.
        lists = [n for _, n in nodes if n.getRole() in (pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE,
                                                        pyatspi.ROLE_TABLE, pyatspi.ROLE_LIST)]
        if lists:
            try:
                if not lists[0].queryTable().addRowSelection(2):
                    problems.append("the list refused to select the picture's row")
            except Exception as e:
                problems.append("cannot select the picture's row: %r" % e)
        image = wait_for(lambda: next((n for _, n in walk(frame) if n.getRole() == pyatspi.ROLE_IMAGE
                                       and "photo.png" in n.name + n.description and showing(n)), None), 10)
        if image is None:
            problems.append("no image named after photo.png once its row is selected")
        else:
            print("preview: %s %r %r" % (image.getRoleName(), image.name, image.description))
    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
    for p in problems:
        print("FAIL:", p)
    print("%d problems" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
