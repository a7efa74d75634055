"""The business's own pictures beyond the first street's: three more
customers (each dressed its own way over the shared body), the bungalow and
villa frames with their buttons, the mint and rose paint cans and the badges
of the quicker crews. tools/make_demo_sequences.py hands in itself, for the
drawing helpers it already has.
"""

import math

from demo_data import blend


def ring(pixels, cx, cy, r, width, colour):
    """An outlined circle (a spectacle rim)."""
    for y in range(max(0, int(cy - r - width)), min(len(pixels), int(cy + r + width + 2))):
        for x in range(max(0, int(cx - r - width)), min(len(pixels[0]), int(cx + r + width + 2))):
            d = abs(math.hypot(x + 0.5 - cx, y + 0.5 - cy) - r)
            blend(pixels, x, y, colour, width / 2 - d + 0.5)


def dressed(m, base, extras):
    """The base customer's seven frames with extras drawn over each."""
    def draw():
        frames = base()
        for pixels in frames:
            extras(m, pixels)
        return frames
    return draw


def postman(m, pixels):
    # A peaked cap and a satchel strap.
    m.disc_box(pixels, 28, 10, 14, 6, (40, 60, 130, 255))
    m.fill_rect(pixels, 14, 11, 46, 14, (30, 45, 100, 255))
    m.thick_line_box(pixels, 19, 38, 38, 66, 3, (120, 80, 40, 255))


def grandmother(m, pixels):
    # Round spectacles and a brooch.
    for eye in (23, 33):
        ring(pixels, eye, 21, 4, 1.4, (60, 60, 70, 255))
    m.thick_line_box(pixels, 27, 21, 29, 21, 1.2, (60, 60, 70, 255))
    m.disc_box(pixels, 28, 44, 2.5, 2.5, (230, 200, 60, 255))


def businessman(m, pixels):
    # A brimmed hat and a red tie.
    m.fill_rect(pixels, 10, 10, 46, 13, (30, 30, 36, 255))
    m.fill_rect(pixels, 17, 0, 39, 11, (44, 44, 52, 255))
    m.fill_rect(pixels, 17, 7, 39, 9, (150, 40, 40, 255))
    m.fill_triangle_box(pixels, (25, 37), (31, 37), (28, 41), (170, 30, 40, 255))
    m.fill_triangle_box(pixels, (26, 40), (30, 40), (28, 60), (170, 30, 40, 255))


def house_frames(m, left, right, eaves, ridge, windows, door, extra):
    """A frame part raised stage by stage, its painted look last (walls in
    the paintable magenta, as the cottage's)."""
    def draw():
        frames = []
        for stage in range(7):
            pixels = m.canvas(*m.HOUSE_SIZE)
            wall = m.PAINTABLE if stage == 6 else m.PRIMER_GREY
            m.framed_building(pixels, left, right, eaves, ridge, 204, min(stage, 5), wall, door=door,
                              windows=windows)
            if stage >= 5:
                extra(m, pixels)
            frames.append(pixels)
        return frames
    return draw


def bungalow_extra(m, pixels):
    # A porch roof over the door.
    m.fill_rect(pixels, 84, 140, 152, 146, m.TIMBER_DARK)
    m.fill_rect(pixels, 86, 146, 90, 196, m.TIMBER)
    m.fill_rect(pixels, 146, 146, 150, 196, m.TIMBER)


def villa_extra(m, pixels):
    # Two chimneys and a round attic window.
    m.fill_rect(pixels, 60, 40, 74, 78, (120, 60, 50, 255))
    m.fill_rect(pixels, 176, 40, 190, 78, (120, 60, 50, 255))
    m.disc_box(pixels, 125, 64, 9, 9, (250, 250, 250, 255))
    m.disc_box(pixels, 125, 64, 6, 6, m.GLASS)


def bungalow_icon(m):
    def draw_on(pixels):
        m.fill_rect(pixels, 4, 24, 44, 42, m.PAINTABLE)
        m.fill_triangle_box(pixels, (0, 26), (24, 12), (48, 26), m.ROOF)
        m.fill_rect(pixels, 20, 30, 28, 42, m.TIMBER_DARK)
        m.fill_rect(pixels, 8, 29, 16, 36, m.GLASS)
        m.fill_rect(pixels, 32, 29, 40, 36, m.GLASS)
    return draw_on


def villa_icon(m):
    def draw_on(pixels):
        m.fill_rect(pixels, 8, 16, 40, 44, m.PAINTABLE)
        m.fill_triangle_box(pixels, (4, 18), (24, 2), (44, 18), m.ROOF)
        m.fill_rect(pixels, 10, 4, 14, 14, (120, 60, 50, 255))
        m.fill_rect(pixels, 34, 4, 38, 14, (120, 60, 50, 255))
        m.fill_rect(pixels, 21, 33, 27, 44, m.TIMBER_DARK)
        for x in (12, 30):
            m.fill_rect(pixels, x, 21, x + 6, 28, m.GLASS)
            m.fill_rect(pixels, x, 33, x + 6, 40, m.GLASS)
    return draw_on


def quick_badge(m, shirt):
    """A crew badge with speed lines: the quicker crews."""
    badge = m.crew_badge_icon(shirt)

    def draw_on(pixels):
        badge(pixels)
        for y in (14, 22, 30):
            m.thick_line_box(pixels, 2, y, 10, y, 2, (255, 255, 255, 220))
    return draw_on


def sequences(m):
    """The sequences this module draws, by name; m is the sequence maker."""
    return {
        "Customer C": dressed(m, m.customer_frames((60, 90, 170, 255), (40, 50, 90, 255), (70, 50, 30, 255), False),
                              postman),
        "Customer D": dressed(m, m.customer_frames((150, 80, 150, 255), (80, 70, 90, 255), (215, 215, 220, 255), True),
                              grandmother),
        "Customer E": dressed(m, m.customer_frames((235, 235, 240, 255), (50, 50, 60, 255), (50, 35, 25, 255), False),
                              businessman),
        "Bungalow Build": house_frames(m, 30, 210, 122, 70, ((48, 142, 28, 24), (164, 142, 28, 24)), (104, 150, 132),
                                       bungalow_extra),
        "Villa Build": house_frames(m, 50, 200, 96, 24, ((66, 110, 24, 26), (160, 110, 24, 26),
                                                         (66, 150, 24, 26), (160, 150, 24, 26)), (112, 150, 138),
                                    villa_extra),
        "Bungalow Button": m.icon(bungalow_icon(m)),
        "Villa Button": m.icon(villa_icon(m)),
        "Mint Paint Button": m.icon(m.paint_can_icon((110, 215, 160, 255))),
        "Rose Paint Button": m.icon(m.paint_can_icon((235, 120, 150, 255))),
        "Quick Garage Crew Button": m.icon(quick_badge(m, (60, 140, 80, 255))),
        "Quick Painting Crew Button": m.icon(quick_badge(m, (70, 110, 200, 255))),
    }
