#!/usr/bin/env python3
"""Plays a person's input into the top-level window of that title on an X
display, as real devices and a window manager would: the pointer and keys
through the XTEST extension, a close request as a client message.

    xtest-input.py DISPLAY TITLE STEP...

Steps, played in order:
  "game:W,H"   points of later steps lie on a W x H game screen that the
               window shows scaled to fit and centred (otherwise they are
               the window's own points)
  "stretched:W,H"  the same for a game screen stretched over the whole
               window, each axis on its own (full screen)
  "move:X,Y"   puts the pointer there
  "down", "up" press and release the left button
  "key:NAME"   presses and releases the key of that X keysym name
  "wait:MS"    pauses
  "close"      asks the window to close (WM_DELETE_WINDOW), as a window
               manager's close button does
  "place:X,Y,W,H"  moves the window to X,Y of the display and gives it the
               size W x H, as a window manager or the user may

    xtest-input.py DISPLAY TITLE X Y

is short for "move:X,Y wait:200 down up key:a".

A window that is still being set up may not carry its title yet: the search
is repeated for up to a minute. Windows come and go while the tree is
walked; the errors that brings are reported on standard error and the walk
goes on (Xlib's own handler would end the script at the first one).
Exit 0 when played, 1 when no such window, 2 for a bad display or step.
"""
import ctypes
import sys
import time

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
xtest = ctypes.cdll.LoadLibrary("libXtst.so.6")
Window = ctypes.c_ulong
Atom = ctypes.c_ulong


class WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("pad", ctypes.c_long * 32)]


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
x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(WindowAttributes)]
x11.XTranslateCoordinates.argtypes = [ctypes.c_void_p, Window, Window, ctypes.c_int, ctypes.c_int,
                                      ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                      ctypes.POINTER(Window)]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XInternAtom.restype = Atom
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XMoveResizeWindow.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
x11.XFree.argtypes = [ctypes.c_void_p]
xtest.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
xtest.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

ErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


@ErrorHandler
def note_error(display, error):
    print("xtest-input.py: an X error on a window that went away; searching on", file=sys.stderr)
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


def send_close(display, window):
    event = Event()
    event.message.type = 33  # ClientMessage
    event.message.window = window
    event.message.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.message.format = 32
    event.message.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x11.XFlush(display)


def main():
    if len(sys.argv) == 5 and sys.argv[3].isdigit() and sys.argv[4].isdigit():
        steps = ["move:%s,%s" % (sys.argv[3], sys.argv[4]), "wait:200", "down", "up", "key:a"]
    else:
        steps = sys.argv[3:]
    x11.XSetErrorHandler(note_error)
    display = x11.XOpenDisplay(sys.argv[1].encode())
    if not display:
        print("xtest-input.py: cannot open display " + sys.argv[1], file=sys.stderr)
        return 2
    root = x11.XDefaultRootWindow(display)
    window = None
    for _ in range(1200):
        window = find(display, root, sys.argv[2].encode())
        if window:
            break
        time.sleep(0.05)
    if not window:
        print("xtest-input.py: no window titled " + sys.argv[2] + " within a minute", file=sys.stderr)
        return 1
    left, top, child = ctypes.c_int(), ctypes.c_int(), Window()
    x11.XTranslateCoordinates(display, window, root, 0, 0, ctypes.byref(left), ctypes.byref(top),
                              ctypes.byref(child))
    scale_x, scale_y, origin_x, origin_y, half = 1, 1, left.value, top.value, 0
    for step in steps:
        if step.startswith("place:"):
            x, y, w, h = (int(v) for v in step[6:].split(","))
            x11.XMoveResizeWindow(display, window, x, y, w, h)
            x11.XSync(display, 0)
            x11.XTranslateCoordinates(display, window, root, 0, 0, ctypes.byref(left), ctypes.byref(top),
                                      ctypes.byref(child))
            origin_x, origin_y = left.value, top.value
        elif step.startswith("game:") or step.startswith("stretched:"):
            # Where the window is now: it may have moved since the search.
            x11.XTranslateCoordinates(display, window, root, 0, 0, ctypes.byref(left), ctypes.byref(top),
                                      ctypes.byref(child))
            game_w, game_h = (int(v) for v in step.split(":", 1)[1].split(","))
            attributes = WindowAttributes()
            x11.XGetWindowAttributes(display, window, ctypes.byref(attributes))
            scale_x, scale_y = attributes.width / game_w, attributes.height / game_h
            if step.startswith("game:"):
                scale_x = scale_y = min(scale_x, scale_y)
            origin_x = left.value + (attributes.width - game_w * scale_x) / 2
            origin_y = top.value + (attributes.height - game_h * scale_y) / 2
            # A game point is a rectangle of the window: aim at its middle.
            half = 0.5
        elif step.startswith("move:"):
            x, y = (float(v) for v in step[5:].split(","))
            xtest.XTestFakeMotionEvent(display, -1, int(round(origin_x + (x + half) * scale_x)),
                                       int(round(origin_y + (y + half) * scale_y)), 0)
        elif step in ("down", "up"):
            xtest.XTestFakeButtonEvent(display, 1, 1 if step == "down" else 0, 0)
        elif step.startswith("key:"):
            key = x11.XKeysymToKeycode(display, x11.XStringToKeysym(step[4:].encode()))
            if not key:
                print("xtest-input.py: no key " + step[4:], file=sys.stderr)
                return 2
            xtest.XTestFakeKeyEvent(display, key, 1, 0)
            xtest.XTestFakeKeyEvent(display, key, 0, 0)
        elif step.startswith("wait:"):
            x11.XSync(display, 0)
            time.sleep(int(step[5:]) / 1000.0)
        elif step == "close":
            send_close(display, window)
        else:
            print("xtest-input.py: unknown step " + step, file=sys.stderr)
            return 2
        x11.XSync(display, 0)
    x11.XCloseDisplay(display)
    return 0


sys.exit(main())
