#!/usr/bin/env python3
"""Asks an X window to close, as a window manager's close button does: a WM_DELETE_WINDOW
client message. Needs no window manager and no Python packages, only libX11.
    close_window.py WINDOW-ID
"""
import ctypes, sys
wid = int(sys.argv[1])
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
dpy = x.XOpenDisplay(None)
if not dpy:
    sys.exit("cannot open the display")

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]

class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = wid
event.xclient.message_type = x.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]
x.XSendEvent(dpy, wid, 0, 0, ctypes.byref(event))
x.XFlush.argtypes = [ctypes.c_void_p]
x.XFlush(dpy)
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
x.XCloseDisplay(dpy)
