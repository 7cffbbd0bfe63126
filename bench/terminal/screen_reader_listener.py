#!/usr/bin/python3
"""Listens on the accessibility bus as a screen reader does: takes every text change, caret move
and selection change, and asks the changed object for its caret and the line at the caret; when
controls appear (a page comes to the front), it goes once through everything the program shows
to screen readers, reading each object's role, name, state and children, as a screen reader
does when it builds its picture of a changed window.
Prints "ready" once its listeners are registered, and on SIGTERM the number of events taken and
of objects read."""
import signal
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

events = 0
objects = 0
reviews = 0
review_pending = False


def review(application):
    global objects, reviews, review_pending
    review_pending = False
    reviews += 1
    pending = [application]
    while pending:
        node = pending.pop()
        objects += 1
        try:
            node.get_role()
            node.get_name()
            node.get_state_set()
            count = node.get_child_count()
        except GLib.Error:
            continue
        for index in range(count):
            try:
                child = node.get_child_at_index(index)
            except GLib.Error:
                child = None
            if child is not None:
                pending.append(child)
    return False


def on_event(event):
    global events, review_pending
    events += 1
    source = event.source
    if source is None:
        return
    if event.type.startswith("object:state-changed:showing"):
        # One review for the burst of events a page change brings.
        if event.detail1 and not review_pending:
            review_pending = True
            GLib.timeout_add(20, review, source.get_application())
        return
    try:
        caret = Atspi.Text.get_caret_offset(source)
        Atspi.Text.get_string_at_offset(source, caret, Atspi.TextGranularity.LINE)
    except GLib.Error:
        pass


def stop(*_):
    print(f"screen reader took {events} events and read {objects} objects in {reviews} reviews", file=sys.stderr,
          flush=True)
    Atspi.event_quit()


listener = Atspi.EventListener.new(on_event)
for kind in ("object:text-changed", "object:text-caret-moved", "object:text-selection-changed",
             "object:state-changed:showing"):
    listener.register(kind)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, stop)
print("ready", flush=True)
Atspi.event_main()
