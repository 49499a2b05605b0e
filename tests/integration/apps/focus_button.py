"""Moves the keyboard focus to a button of one application on the accessibility bus, as a screen
reader user would (Qt's buttons take no press action there; the keyboard presses them).

Usage: focus_button.py APPLICATION-NAME BUTTON-NAME (or the start of it; exits 1 while no such
button is shown)
"""
import sys

import pyatspi


def find(accessible, name):
    try:
        if accessible.getRoleName() == "push button" and accessible.name.startswith(name):
            return accessible
        children = list(accessible)
    except Exception:
        # The object went away while we looked; the caller asks again.
        return None
    for child in children:
        found = find(child, name)
        if found is not None:
            return found
    return None


def main():
    for application in pyatspi.Registry.getDesktop(0):
        if application is None or application.name != sys.argv[1]:
            continue
        button = find(application, sys.argv[2])
        if button is None:
            continue
        action = button.queryAction()
        for index in range(action.nActions):
            if action.getName(index) == "SetFocus":
                action.doAction(index)
                return 0
    return 1


sys.exit(main())
