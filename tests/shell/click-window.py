#!/usr/bin/env python3
"""Moves the pointer and presses the left button over the top-level window
of that title on an X display, through the XTEST extension, as a person's
mouse does.

    click-window.py DISPLAY TITLE WIDTH HEIGHT STEP...

WIDTH x HEIGHT is the game's screen; points are given in it and mapped onto
the window as the program shows the game (scaled to fit, centred). Steps:
"move:X,Y" puts the pointer there, "down" and "up" press and release the left
button, "wait:MS" pauses. Exit 0 when done, 1 when no such window.
"""
import ctypes
import sys
import time

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
xtest = ctypes.cdll.LoadLibrary("libXtst.so.6")
Window = ctypes.c_ulong


class WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("pad", ctypes.c_long * 32)]


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
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
x11.XFree.argtypes = [ctypes.c_void_p]
xtest.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
xtest.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

ErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


@ErrorHandler
def note_error(display, error):
    print("click-window.py: an X error on a window that went away; searching on", file=sys.stderr)
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
        print("click-window.py: cannot open display " + sys.argv[1], file=sys.stderr)
        return 2
    root = x11.XDefaultRootWindow(display)
    window = None
    for _ in range(1200):
        window = find(display, root, sys.argv[2].encode())
        if window:
            break
        time.sleep(0.05)
    if not window:
        print("click-window.py: no window titled " + sys.argv[2] + " within a minute", file=sys.stderr)
        return 1
    game_w, game_h = int(sys.argv[3]), int(sys.argv[4])
    attributes = WindowAttributes()
    x11.XGetWindowAttributes(display, window, ctypes.byref(attributes))
    left, top, child = ctypes.c_int(), ctypes.c_int(), Window()
    x11.XTranslateCoordinates(display, window, root, 0, 0, ctypes.byref(left), ctypes.byref(top),
                              ctypes.byref(child))
    scale = min(attributes.width / game_w, attributes.height / game_h)
    origin_x = left.value + (attributes.width - game_w * scale) / 2
    origin_y = top.value + (attributes.height - game_h * scale) / 2
    for step in sys.argv[5:]:
        if step.startswith("move:"):
            x, y = (float(v) for v in step[5:].split(","))
            xtest.XTestFakeMotionEvent(display, -1, int(round(origin_x + (x + 0.5) * scale)),
                                       int(round(origin_y + (y + 0.5) * scale)), 0)
        elif step in ("down", "up"):
            xtest.XTestFakeButtonEvent(display, 1, 1 if step == "down" else 0, 0)
        elif step.startswith("wait:"):
            x11.XSync(display, 0)
            time.sleep(int(step[5:]) / 1000.0)
        else:
            print("click-window.py: unknown step " + step, file=sys.stderr)
            return 2
        x11.XSync(display, 0)
    x11.XCloseDisplay(display)
    return 0


sys.exit(main())
