#!/usr/bin/env python3
"""Asks the top-level window of that title on an X display to close, as a
window manager's close button does: a WM_DELETE_WINDOW client message.

    close-window.py DISPLAY TITLE       exit 0 when sent, 1 when no such window

A window that is still being set up may not carry its title yet: the search
is repeated for up to a minute. Windows come and go while the tree is walked;
the errors that brings are reported on standard error and the walk goes on
(Xlib's own handler would end the script at the first one).
"""
import ctypes
import sys
import time

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
Window = ctypes.c_ulong
Atom = ctypes.c_ulong


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("message", ClientMessage), ("pad", ctypes.c_long * 24)]


x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = Window
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                           ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
x11.XFetchName.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(ctypes.c_char_p)]
x11.XInternAtom.restype = Atom
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
x11.XFree.argtypes = [ctypes.c_void_p]

ErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


@ErrorHandler
def note_error(display, error):
    print("close-window.py: an X error on a window that went away; searching on", file=sys.stderr)
    return 0


x11.XSetErrorHandler.argtypes = [ErrorHandler]
x11.XSetErrorHandler.restype = ctypes.c_void_p


def find(display, window, title):
    name = ctypes.c_char_p()
    if x11.XFetchName(display, window, ctypes.byref(name)):
        matches = name.value == title
        x11.XFree(name)
        if matches:
            return window
    root, parent = Window(), Window()
    children = ctypes.POINTER(Window)()
    count = ctypes.c_uint()
    if not x11.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(children),
                          ctypes.byref(count)):
        return None
    found = None
    for i in range(count.value):
        found = find(display, children[i], title)
        if found:
            break
    if children:
        x11.XFree(children)
    return found


def main():
    x11.XSetErrorHandler(note_error)
    display = x11.XOpenDisplay(sys.argv[1].encode())
    if not display:
        print("close-window.py: cannot open display " + sys.argv[1], file=sys.stderr)
        return 2
    window = None
    for _ in range(1200):
        window = find(display, x11.XDefaultRootWindow(display), sys.argv[2].encode())
        if window:
            break
        time.sleep(0.05)
    if not window:
        print("close-window.py: no window titled " + sys.argv[2] + " within a minute", file=sys.stderr)
        return 1
    event = Event()
    event.message.type = 33  # ClientMessage
    event.message.window = window
    event.message.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.message.format = 32
    event.message.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x11.XFlush(display)
    x11.XCloseDisplay(display)
    return 0


sys.exit(main())
