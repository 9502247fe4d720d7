#!/usr/bin/python3
"""What a screen reader sees: starts the development service and the client in this display and
D-Bus session (run it under xvfb-run and dbus-run-session), then through the accessibility bus
(AT-SPI) alone finds the login fields and button by their names, signs in, and reads the home's
entries and a reflection's row. Exits 1 with the reason when something is not there."""
import argparse, re, subprocess, sys, tempfile, time

import pyatspi

import devservice

NAMES = {
    "zh": {"enter": "进入App", "user": "手机号", "password": "密码", "login": "登录",
           "reflections": "读后感批阅"},
    "en": {"enter": "Get started", "user": "Mobile number", "password": "Password", "login": "Sign in",
           "reflections": "Reflections"},
}


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(min(node.childCount, 2000))]
    except Exception:  # a node that went away while being read
        return []


def nodes(root, depth=0):
    if root is None or depth > 60:
        return
    yield root
    for child in children(root):
        yield from nodes(child, depth + 1)


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def find(root, role, name=None, timeout=20.0, pattern=None):
    """The first showing node of `role` whose name is `name` (or matches `pattern`)."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        for node in nodes(root):
            try:
                if node.getRole() != role or not showing(node):
                    continue
                if name is not None and node.name != name:
                    continue
                if pattern is not None and not re.search(pattern, node.name or ""):
                    continue
                return node
            except Exception:
                continue
        time.sleep(0.2)
    raise LookupError(f"no showing {pyatspi.Role(role)!s} named {name or pattern!r}")


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click", "SetFocus") or i == action.nActions - 1:
            action.doAction(i)
            return
    raise LookupError(f"{node.name!r} has no action")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--client", required=True)
    parser.add_argument("--service", required=True)
    parser.add_argument("--lang", default="zh", choices=sorted(NAMES))
    args = parser.parse_args()
    names = NAMES[args.lang]

    work = tempfile.TemporaryDirectory(prefix="atspi-smoke-")
    service, url = devservice.start(args.service, work.name)
    client = None
    try:
        if not url:
            raise RuntimeError("the service did not start")
        env = devservice.client_env(url, work.name,
                                    QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                    # The X and D-Bus libraries keep allocations until exit;
                                    # leaks are the other tests' business.
                                    ASAN_OPTIONS="detect_leaks=0")
        client = subprocess.Popen([args.client, "--lang", args.lang], env=env)

        desktop = pyatspi.Registry.getDesktop(0)
        app = None
        end = time.monotonic() + 60
        while app is None and time.monotonic() < end:
            app = next((a for a in children(desktop) if a and a.name == "teacher-client"), None)
            time.sleep(0.2)
        if app is None:
            raise LookupError("teacher-client is not on the accessibility bus")

        press(find(app, pyatspi.ROLE_PUSH_BUTTON, names["enter"], timeout=60))
        user = find(app, pyatspi.ROLE_TEXT, names["user"])
        password = find(app, pyatspi.ROLE_PASSWORD_TEXT, names["password"])
        user.queryEditableText().setTextContents("13800000001")
        password.queryEditableText().setTextContents("123456")
        press(find(app, pyatspi.ROLE_PUSH_BUTTON, names["login"]))

        entries = find(app, pyatspi.ROLE_PUSH_BUTTON, names["reflections"], timeout=30)
        # The home's entries: its tiles, and the teacher's classes on the first.
        home = [n.name for n in nodes(app) if showing(n) and n.name and n.getRole() in (
            pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LABEL, pyatspi.ROLE_LIST_ITEM)]
        if len(home) < 4:
            raise LookupError(f"the home shows too few named entries: {home}")
        print("home:", "; ".join(home))
        press(entries)
        # A reflection's row says the book, whose it is, when, and its grade or that it waits.
        row = find(app, pyatspi.ROLE_LIST_ITEM, timeout=30,
                   pattern=r"\S+ .*(Excellent|Good|Pass|Fail|Waiting|优秀|良好|合格|不合格|待批阅)")
        print("reflection:", row.name)
        return 0
    except (LookupError, RuntimeError) as problem:
        print("atspi-smoke:", problem, file=sys.stderr)
        return 1
    finally:
        for process in (client, service):
            if process:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()


if __name__ == "__main__":
    sys.exit(main())
