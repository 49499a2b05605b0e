"""Performs an action of one control of an application on the accessibility bus, as a screen
reader or a tool such as dogtail does.

Usage: accessible_action.py APPLICATION-NAME ROLE CONTROL-NAME ACTION
(the control is the first of that role whose name starts with CONTROL-NAME; exits 1 while no
such control is shown or it offers no such action, 2 when the action reports failure)
"""
import sys

import pyatspi


def find(accessible, role, name):
    try:
        if accessible.getRoleName() == role and accessible.name.startswith(name):
            return accessible
        children = list(accessible)
    except Exception:
        # The object went away while we looked; the caller asks again.
        return None
    for child in children:
        found = find(child, role, name)
        if found is not None:
            return found
    return None


def main():
    application_name, role, name, wanted = sys.argv[1:5]
    for application in pyatspi.Registry.getDesktop(0):
        if application is None or application.name != application_name:
            continue
        control = find(application, role, name)
        if control is None:
            continue
        action = control.queryAction()
        for index in range(action.nActions):
            if action.getName(index) == wanted:
                return 0 if action.doAction(index) else 2
    return 1


sys.exit(main())
