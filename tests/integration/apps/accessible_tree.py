"""Prints what a screen reader sees of one application on the accessibility bus: every
accessible object depth-first, one a line, as "role<TAB>name<TAB>state,state,...".

Usage: accessible_tree.py APPLICATION-NAME (prints nothing while the application is not there)
"""
import sys

import pyatspi


def walk(accessible):
    if accessible is None:
        return
    try:
        role = accessible.getRoleName()
        name = accessible.name or ""
        states = accessible.getState().getStates()
        children = list(accessible)
    except Exception:
        # The object went away while we looked; the caller asks again.
        return
    names = ",".join(sorted(pyatspi.stateToString(state) for state in states))
    print(f"{role}\t{name}\t{names}")
    for child in children:
        walk(child)


def main():
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == sys.argv[1]:
            walk(application)


main()
