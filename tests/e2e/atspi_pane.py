#!/usr/bin/python3
"""What a screen reader sees of Kotonami's shown pane, through AT-SPI.

Usage: atspi_pane.py text | focused | line OFFSET | insert OFFSET TEXT
  text    prints the shown pane's text (line ends as \\n escapes)
  focused exits 0 when the pane has the keyboard focus
  line    prints the reader's line at OFFSET as START END TEXT
  insert  inserts TEXT at OFFSET through the editable-text interface
Exits 1 when no shown pane is found.
"""
import sys

import pyatspi


def texts(node, found):
    try:
        role = node.getRole()
        count = node.childCount
    except Exception:  # an object gone while walking
        return
    if role == pyatspi.ROLE_TEXT and node.getState().contains(pyatspi.STATE_SHOWING):
        found.append(node)
    for i in range(count):
        texts(node.getChildAtIndex(i), found)


def shown_pane():
    found = []
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and "kotonami" in (app.name or "").lower():
            texts(app, found)
    # The window's other text fields are one line; the pane is the one that holds lines.
    panes = [t for t in found if t.getState().contains(pyatspi.STATE_MULTI_LINE)]
    return panes[0] if panes else None


def escaped(s):
    return s.replace("\n", "\\n")


pane = shown_pane()
if pane is None:
    sys.exit(1)
text = pane.queryText()
command = sys.argv[1]
if command == "text":
    print(escaped(text.getText(0, -1)))
elif command == "focused":
    sys.exit(0 if pane.getState().contains(pyatspi.STATE_FOCUSED) else 1)
elif command == "line":
    s, start, end = text.getTextAtOffset(int(sys.argv[2]), pyatspi.TEXT_BOUNDARY_LINE_START)
    print(start, end, escaped(s))
elif command == "insert":
    ok = pane.queryEditableText().insertText(int(sys.argv[2]), sys.argv[3], len(sys.argv[3]))
    sys.exit(0 if ok else 1)
