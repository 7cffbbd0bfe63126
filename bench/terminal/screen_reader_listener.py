#!/usr/bin/python3
"""Listens on the accessibility bus as a screen reader does: takes every text change, caret move
and selection change, and asks the changed object for its caret and the line at the caret.
Prints "ready" once its listeners are registered, and on SIGTERM the number of events taken."""
import signal
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

events = 0


def on_event(event):
    global events
    events += 1
    source = event.source
    if source is None:
        return
    try:
        caret = Atspi.Text.get_caret_offset(source)
        Atspi.Text.get_string_at_offset(source, caret, Atspi.TextGranularity.LINE)
    except GLib.Error:
        pass


def stop(*_):
    print(f"screen reader took {events} events", file=sys.stderr, flush=True)
    Atspi.event_quit()


listener = Atspi.EventListener.new(on_event)
for kind in ("object:text-changed", "object:text-caret-moved", "object:text-selection-changed"):
    listener.register(kind)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, stop)
print("ready", flush=True)
Atspi.event_main()
