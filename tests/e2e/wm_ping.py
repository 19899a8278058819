#!/usr/bin/env python3
"""Pings a window as the desktop does (_NET_WM_PING) for a while and prints how long its
answers took: "pings N longest MS". An answer that never comes counts as the whole time.

Usage: wm_ping.py WINDOW_ID SECONDS [INTERVAL_MS]
"""
import select
import sys
import time

from Xlib import X, display
from Xlib.protocol import event


def main():
    window_id = int(sys.argv[1], 0)
    seconds = float(sys.argv[2])
    interval = float(sys.argv[3]) / 1000 if len(sys.argv) > 3 else 0.02
    d = display.Display()
    root = d.screen().root
    # The answer goes to the root window, to those that asked for its structure events.
    root.change_attributes(event_mask=X.StructureNotifyMask | X.SubstructureNotifyMask)
    protocols = d.intern_atom("WM_PROTOCOLS")
    ping = d.intern_atom("_NET_WM_PING")
    window = d.create_resource_object("window", window_id)
    end = time.monotonic() + seconds
    longest = 0.0
    count = 0
    stamp = 1
    while time.monotonic() < end:
        stamp += 1
        message = event.ClientMessage(window=window, client_type=protocols,
                                      data=(32, [ping, stamp, window_id, 0, 0]))
        sent = time.monotonic()
        window.send_event(message, event_mask=X.NoEventMask)
        d.flush()
        answered = False
        while not answered:
            waited = time.monotonic() - sent
            if time.monotonic() > end + 5:
                break
            if d.pending_events() == 0:
                select.select([d], [], [], 0.01)
            while d.pending_events() > 0:
                e = d.next_event()
                if (e.type == X.ClientMessage and e.client_type == protocols
                        and e.data[1][0] == ping and e.data[1][1] == stamp):
                    answered = True
        longest = max(longest, (time.monotonic() - sent) * 1000)
        count += 1
        time.sleep(interval)
    print("pings %d longest %.1f" % (count, longest))


if __name__ == "__main__":
    main()
