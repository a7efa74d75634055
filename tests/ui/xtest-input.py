#!/usr/bin/env python3
"""Plays a user's input into the top-level window of that title on an X
display through the XTEST extension, as real devices would: the pointer
moves to (x, y) inside the window, button 1 is pressed and released, and
the key "a" is pressed and released.

    xtest-input.py DISPLAY TITLE X Y      exit 0 when played, 1 when no such window

The window may still be being set up: the search is repeated for up to a
minute.
"""
import ctypes
import sys
import time

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
Window = ctypes.c_ulong

x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = Window
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                           ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
x11.XFetchName.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(ctypes.c_char_p)]
x11.XTranslateCoordinates.argtypes = [ctypes.c_void_p, Window, Window, ctypes.c_int, ctypes.c_int,
                                      ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                      ctypes.POINTER(Window)]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]


def find(display, window, title):
    name = ctypes.c_char_p()
    if x11.XFetchName(display, window, ctypes.byref(name)):
        found = name.value == title
        x11.XFree(name)
        if found:
            return window
    root, parent = Window(), Window()
    children = ctypes.POINTER(Window)()
    count = ctypes.c_uint()
    if not x11.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(children),
                          ctypes.byref(count)):
        return None
    try:
        for i in range(count.value):
            hit = find(display, children[i], title)
            if hit:
                return hit
    finally:
        if children:
            x11.XFree(children)
    return None


def main():
    display = x11.XOpenDisplay(sys.argv[1].encode())
    if not display:
        return 1
    title = sys.argv[2].encode()
    x, y = int(sys.argv[3]), int(sys.argv[4])
    root = x11.XDefaultRootWindow(display)
    window = None
    for _ in range(600):
        window = find(display, root, title)
        if window:
            break
        time.sleep(0.1)
    if not window:
        return 1
    left, top, child = ctypes.c_int(), ctypes.c_int(), Window()
    x11.XTranslateCoordinates(display, window, root, 0, 0, ctypes.byref(left), ctypes.byref(top),
                              ctypes.byref(child))
    xtst.XTestFakeMotionEvent(display, -1, left.value + x, top.value + y, 0)
    x11.XSync(display, 0)
    time.sleep(0.2)
    xtst.XTestFakeButtonEvent(display, 1, 1, 0)
    xtst.XTestFakeButtonEvent(display, 1, 0, 0)
    key = x11.XKeysymToKeycode(display, x11.XStringToKeysym(b"a"))
    xtst.XTestFakeKeyEvent(display, key, 1, 0)
    xtst.XTestFakeKeyEvent(display, key, 0, 0)
    x11.XSync(display, 0)
    x11.XCloseDisplay(display)
    return 0


sys.exit(main())
