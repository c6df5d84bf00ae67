#!/usr/bin/python3
"""Writes Arborath's data files into Data/.

    Background.bmp         the playing screen: a grove at dusk, red side left, blue side right
    RedWins.bmp            full-window picture when red has won
    BlueWins.bmp           full-window picture when blue has won
    Lucida Console_14.bmp  the HUD's bitmap font (glyphs cut apart by green marker pixels)

and the application icon into packaging/icons/: arborath-<size>.png at 48, 64, 128 and 256 px
for the Linux desktop, and Arborath.ico (16 to 256 px) for the Windows program's resources.

Everything is drawn here from code; the only outside inputs are the DejaVu fonts of Debian's
fonts-dejavu-core (Bitstream Vera licence). Run it with Debian's own Python, which has Pillow:

    /usr/bin/python3 tools/make_data.py              # write Data/*.bmp and the icons, then check them
    /usr/bin/python3 tools/make_data.py --check      # only check the files in Data/ and the icons
    /usr/bin/python3 tools/make_data.py --preview /tmp/arborath
                                                     # also PNG copies and a mock playing screen

The output is the same bytes on every run (fixed seeds, no clock, no hash ordering), as long as
the same versions of Pillow, FreeType and the DejaVu fonts are installed.
"""

import argparse
import math
import os
import random
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

W, H = 800, 600
# The HUD texts cluster around x = 320..424, so the scene's axis (altar, sun, the seam between
# the sides) sits there rather than at the picture's middle.
CX = 368
SS = 2  # supersampling factor for the silhouettes

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "Data")

FONT_NAME = "Lucida Console_14.bmp"
PICTURES = ("Background.bmp", "RedWins.bmp", "BlueWins.bmp")

# Font colours. Magenta is the engine's transparent key and pure green its glyph marker, so
# neither may appear inside a glyph; ink and outline are fixed, never blended with the key.
MAGENTA = (255, 0, 255)
GREEN = (0, 255, 0)
INK = (240, 236, 220)
OUTLINE = (20, 16, 24)
GLYPH_W = 8
GLYPH_H = 14
FIRST_CODE, LAST_CODE = 32, 126

# Where the playing screen writes its texts (top-left corners). The banners and the sign are
# placed from these; the carved face of the altar stone is drawn around the offering's prompt.
HUD_RED_X, HUD_BLUE_X = 20, 550
HUD_ROWS = (65, 95, 125, 155)
HUD_FAVOUR = (320, 20)
HUD_MYSTERY = ((360, 240, "???"), (330, 270, "(space)"))


# ---------------------------------------------------------------------------------------------
# Small helpers

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smooth(t):
    t = clamp(t)
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def ramp(stops, v):
    """Piecewise-linear colour ramp; stops are (position, colour) in increasing position."""
    if v <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if v <= p1:
            return mix(c0, c1, (v - p0) / (p1 - p0))
    return stops[-1][1]


def side(x):
    """0 on the red side, 1 on the blue side, with a soft seam around the altar."""
    return smooth((x - (CX - 190)) / 380.0)


def solid(colour, size=(W, H)):
    return Image.new("RGB", size, colour)


def big_mask():
    return Image.new("L", (W * SS, H * SS), 0)


def shrink(mask):
    return mask.resize((W, H), Image.BOX) if mask.size != (W, H) else mask


def scale_mask(mask, alpha):
    return mask.point(lambda v: int(v * alpha + 0.5))


def paint(base, fill, mask, alpha=1.0):
    """Alpha-blends fill (a colour or an image) over base through mask."""
    if isinstance(fill, tuple):
        fill = solid(fill)
    if alpha != 1.0:
        mask = scale_mask(mask, alpha)
    return Image.composite(fill, base, mask)


def glow(base, colour, mask, strength=1.0):
    """Screen-blends a coloured light through mask: brightens, never darkens."""
    if strength != 1.0:
        mask = scale_mask(mask, strength)
    light = Image.composite(solid(colour), solid((0, 0, 0)), mask)
    return ImageChops.screen(base, light)


def column_image(fn):
    """A full picture whose colour depends only on x."""
    strip = Image.new("RGB", (W, 1))
    strip.putdata([fn(x) for x in range(W)])
    return strip.resize((W, H), Image.NEAREST)


def radial_mask(cx, cy, rx, ry, power=1.6, peak=255):
    """A soft elliptical light falling from peak at the centre to 0 at the rim."""
    m = Image.new("L", (W, H), 0)
    px = m.load()
    x0, x1 = max(0, int(cx - rx)), min(W, int(cx + rx) + 1)
    y0, y1 = max(0, int(cy - ry)), min(H, int(cy + ry) + 1)
    for y in range(y0, y1):
        dy = (y - cy) / ry
        for x in range(x0, x1):
            dx = (x - cx) / rx
            d = dx * dx + dy * dy
            if d < 1.0:
                px[x, y] = int(peak * (1.0 - math.sqrt(d)) ** power + 0.5)
    return m


def ridge(rng, y_base, amp, waves):
    """A skyline function made of a few sines with random phases."""
    parts = [(amp * rng.uniform(0.4, 1.0) / (i + 1), rng.uniform(0.004, 0.012) * (i + 1),
              rng.uniform(0, 2 * math.pi)) for i in range(waves)]
    return lambda x: y_base + sum(a * math.sin(f * x + p) for a, f, p in parts)


def ridge_polygon(fn, step=4):
    pts = [(x * SS, fn(x) * SS) for x in range(-8, W + 9, step)]
    return pts + [((W + 8) * SS, (H + 8) * SS), (-8 * SS, (H + 8) * SS)]


# ---------------------------------------------------------------------------------------------
# Trees: silhouettes drawn into a supersampled mask

def draw_broadleaf(d, rng, x, ground, height, lean=0.0):
    """An oak or maple: tapered trunk, a few boughs, a cloud of round leaf clumps."""
    s = SS
    trunk_w = height * 0.07
    top = ground - height * 0.55
    d.polygon([((x - trunk_w) * s, ground * s), ((x + trunk_w) * s, ground * s),
               ((x + lean + trunk_w * 0.45) * s, top * s), ((x + lean - trunk_w * 0.45) * s, top * s)],
              fill=255)
    # Root flare.
    d.polygon([((x - trunk_w * 2.2) * s, ground * s), ((x + trunk_w * 2.2) * s, ground * s),
               ((x + trunk_w * 0.8) * s, (ground - height * 0.06) * s),
               ((x - trunk_w * 0.8) * s, (ground - height * 0.06) * s)], fill=255)
    crown_x, crown_y = x + lean, ground - height * 0.68
    for k in (-1, 1):
        bx = crown_x + k * height * rng.uniform(0.18, 0.28)
        by = crown_y + height * rng.uniform(-0.05, 0.08)
        d.line([((x + lean * 0.6) * s, (ground - height * 0.42) * s), (bx * s, by * s)],
               fill=255, width=max(2, int(trunk_w * 0.9 * s)))
    rx, ry = height * 0.36, height * 0.30
    for _ in range(44):
        a = rng.uniform(0, 2 * math.pi)
        r = math.sqrt(rng.uniform(0, 1))
        cx = crown_x + math.cos(a) * rx * r * 0.85
        cy = crown_y + math.sin(a) * ry * r * 0.8 - height * 0.02
        cr = height * rng.uniform(0.055, 0.12) * (1.25 - 0.5 * r)
        d.ellipse([(cx - cr) * s, (cy - cr * 0.9) * s, (cx + cr) * s, (cy + cr * 0.9) * s], fill=255)


def draw_conifer(d, rng, x, ground, height):
    """A spruce: short trunk under drooping tiers of boughs that narrow to a point."""
    s = SS
    d.rectangle([(x - height * 0.018) * s, (ground - height * 0.14) * s,
                 (x + height * 0.018) * s, ground * s], fill=255)
    tiers = max(5, int(height / 15))
    base = ground - height * 0.07
    span = height * 0.93
    left, right = [], []
    for i in range(tiers):
        t0, t1 = i / tiers, (i + 1) / tiers
        y0, y1 = base - span * t0, base - span * t1
        w0 = height * 0.21 * (1.0 - t0) ** 0.95 + 1.5
        droop = (y0 - y1) * 0.35
        for out, sign in ((left, -1), (right, 1)):
            tip = w0 * rng.uniform(0.9, 1.05)
            out.append((x + sign * tip, y0 + droop))
            out.append((x + sign * tip * 0.62, y0 - (y0 - y1) * 0.15))
            out.append((x + sign * tip * 0.42, y1 + (y0 - y1) * 0.25))
    apex = (x, base - span - height * 0.04)
    pts = left + [apex] + right[::-1]
    d.polygon([(px * s, py * s) for px, py in pts], fill=255)


def tree_row(rng, xs, ground_fn, h_range, kind_fn):
    m = big_mask()
    d = ImageDraw.Draw(m)
    for x in xs:
        h = rng.uniform(*h_range)
        g = ground_fn(x) + rng.uniform(2, 6)
        if kind_fn(x, rng):
            draw_conifer(d, rng, x, g, h * 1.15)
        else:
            draw_broadleaf(d, rng, x, g, h, lean=rng.uniform(-0.06, 0.06) * h)
    return shrink(m)


def rim(mask, light_from_right, width=2):
    """The edge of a silhouette that faces the light."""
    dx = width if light_from_right else -width
    shifted = ImageChops.offset(mask, -dx, 0)
    return ImageChops.subtract(mask, shifted)


def rim_light(img, mask, warm, cool, strength, width=2):
    """Rim light from the altar: the red side is lit from its right in a warm colour, the blue
    side from its left in a cool one."""
    sel = column_image(lambda x: (255,) * 3 if x < CX else (0,) * 3).convert("L")
    left = ImageChops.multiply(rim(mask, True, width), sel)
    right = ImageChops.multiply(rim(mask, False, width), ImageChops.invert(sel))
    img = glow(img, warm, left, strength)
    return glow(img, cool, right, strength)


RIM = {"play": ((200, 96, 60), (90, 120, 210)), "red": ((230, 80, 50), (170, 70, 70)),
       "blue": ((110, 110, 190), (90, 140, 230))}


# ---------------------------------------------------------------------------------------------
# The grove

# Sky ramps (y -> colour) for each side and for the two victory moods.
SKY_RED = [(0, (34, 12, 38)), (140, (86, 26, 52)), (250, (168, 58, 56)), (335, (240, 132, 74))]
SKY_BLUE = [(0, (8, 12, 40)), (140, (26, 38, 92)), (250, (70, 84, 148)), (335, (150, 132, 176))]


def sky(mood):
    """Dusk gradient, warm on the red side, cool on the blue side; mood tilts it to a winner."""
    img = Image.new("RGB", (W, H))
    px = img.load()
    bias = {"play": 0.0, "red": -0.8, "blue": 0.8}[mood]
    red_col = [ramp(SKY_RED, y) for y in range(H)]
    blue_col = [ramp(SKY_BLUE, y) for y in range(H)]
    weights = [clamp(side(x) + bias) for x in range(W)]
    for y in range(H):
        a, b = red_col[y], blue_col[y]
        for x in range(W):
            px[x, y] = mix(a, b, weights[x])
    return img


def stars(img, rng, mood):
    m = Image.new("L", (W, H), 0)
    px = m.load()
    for _ in range(240):
        x = rng.randrange(W)
        y = int(rng.uniform(0, 1) ** 1.7 * 240)
        # Fewer stars where the sunset is still bright.
        keep = (1.0 - y / 260.0) * (0.35 + 0.65 * side(x))
        if mood == "red":
            keep *= 0.5
        if rng.random() < keep:
            px[x, y] = rng.choice((90, 130, 180, 240))
    # A few brighter ones get a little cross.
    for _ in range(9):
        x = rng.randrange(CX + 120, W - 20) if mood != "red" else rng.randrange(40, W - 40)
        y = rng.randrange(8, 190)
        for dx, dy, v in ((0, 0, 255), (1, 0, 120), (-1, 0, 120), (0, 1, 120), (0, -1, 120)):
            px[x + dx, y + dy] = max(px[x + dx, y + dy], v)
    return glow(img, (236, 232, 255), m)


def moon(img):
    """A thin crescent high on the blue side."""
    m = big_mask()
    d = ImageDraw.Draw(m)
    cx, cy, r = 492, 66, 15
    d.ellipse([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], fill=255)
    d.ellipse([(cx - r + 7) * SS, (cy - r - 4) * SS, (cx + r + 7) * SS, (cy + r - 4) * SS], fill=0)
    m = shrink(m)
    halo = m.filter(ImageFilter.GaussianBlur(10))
    img = glow(img, (140, 160, 230), halo, 0.9)
    return paint(img, (236, 236, 220), m)


def clouds(img, rng, mood):
    """Long thin streaks lit from below by the set sun."""
    m = big_mask()
    d = ImageDraw.Draw(m)
    for _ in range(14):
        cx = rng.uniform(-50, W + 50)
        cy = rng.uniform(120, 290)
        length = rng.uniform(120, 300)
        thick = rng.uniform(3, 8)
        for k in range(5):
            ox = rng.uniform(-length * 0.4, length * 0.4)
            oy = rng.uniform(-thick, thick)
            l2 = length * rng.uniform(0.3, 0.6)
            d.ellipse([(cx + ox - l2) * SS, (cy + oy - thick) * SS,
                       (cx + ox + l2) * SS, (cy + oy + thick) * SS], fill=255)
    m = shrink(m).filter(ImageFilter.GaussianBlur(2))
    tint = {"play": None, "red": (255, 150, 110), "blue": (150, 170, 255)}[mood]
    fill = column_image(lambda x: tint or mix((250, 150, 120), (170, 150, 210), side(x)))
    return paint(img, fill, m, 0.45)


def sun_glow(img, mood):
    colour = {"play": (255, 176, 96), "red": (255, 120, 70), "blue": (120, 170, 255)}[mood]
    wide = radial_mask(CX, 340, 420, 230, 1.8, 200)
    img = glow(img, colour, wide)
    core = radial_mask(CX, 338, 150, 80, 1.5, 220)
    return glow(img, (255, 226, 170) if mood == "play" else colour, core)


def mood_side(x, mood, amount=0.7):
    """side(x), pulled towards the winner's end on the victory pictures."""
    return clamp(side(x) + {"play": 0.0, "red": -amount, "blue": amount}[mood])


def layer_fill(red_colour, blue_colour, mood):
    return column_image(lambda x: mix(red_colour, blue_colour, mood_side(x, mood)))


def grove(mood):
    rng = random.Random(7301)  # fixed: the picture must come out the same every run
    img = sky(mood)
    img = stars(img, random.Random(11), mood)
    img = sun_glow(img, mood)
    if mood != "red":
        img = moon(img)
    img = clouds(img, random.Random(23), mood)

    # Far hills, hazy with the light behind them.
    far = ridge(random.Random(31), 318, 16, 4)
    m = big_mask()
    ImageDraw.Draw(m).polygon(ridge_polygon(far), fill=255)
    img = paint(img, layer_fill((132, 56, 74), (70, 66, 118), mood), shrink(m))

    # A distant tree line along the hills.
    far_trees = tree_row(random.Random(37), list(range(-10, W + 10, 13)),
                         lambda x: far(x) + 6, (22, 38), lambda x, r: r.random() < side(x) * 0.9)
    img = paint(img, layer_fill((96, 36, 58), (46, 48, 92), mood), far_trees)

    # Nearer hill that the clearing lies in.
    near = ridge(random.Random(41), 340, 8, 3)
    m = big_mask()
    ImageDraw.Draw(m).polygon(ridge_polygon(near), fill=255)
    img = paint(img, layer_fill((66, 24, 40), (28, 32, 66), mood), shrink(m))

    # Middle trees: broadleaf on the red side, spruce on the blue side, a gap at the altar.
    xs = []
    x = -20.0
    while x < W + 20:
        if abs(x - CX) > 105:
            xs.append(x)
        x += rng.uniform(28, 46)
    mid = tree_row(random.Random(43), xs, lambda x: near(x) + 6, (80, 135),
                   lambda x, r: r.random() < smooth((x - CX + 40) / 80.0))
    mid_fill = layer_fill((52, 16, 30), (16, 22, 50), mood)
    img = paint(img, mid_fill, mid)
    img = rim_light(img, mid, RIM[mood][0], RIM[mood][1], 0.55)

    # The clearing's ground, lighter where the altar's light falls.
    ground_top = 350
    m = big_mask()
    gd = ImageDraw.Draw(m)
    gfn = ridge(random.Random(47), ground_top, 3, 3)
    gd.polygon(ridge_polygon(gfn, 6), fill=255)
    ground = shrink(m)
    ground_fill = Image.new("RGB", (W, H))
    gp = ground_fill.load()
    sides = [mood_side(x, mood, 0.5) for x in range(W)]
    for y in range(H):
        fy = clamp((y - ground_top) / 250.0)
        for x in range(W):
            gp[x, y] = mix(mix((52, 24, 30), (22, 30, 52), sides[x]), mix((22, 10, 16), (8, 12, 24), sides[x]), fy)
    img = paint(img, ground_fill, ground)
    img = glow(img, {"play": (230, 150, 80), "red": (240, 100, 60), "blue": (100, 150, 240)}[mood],
               radial_mask(CX, 372, 340, 80, 1.6, 120))

    img = grass(img, random.Random(51), ground_top, mood)
    img = path_stones(img, random.Random(53))
    img = standing_stones(img, mood)
    img = altar(img, mood)
    img = woodpile(img, random.Random(57), 150, 486, 1, mood)
    img = woodpile(img, random.Random(58), 590, 486, -1, mood)
    img = brazier(img, 262, 470, "red", mood)
    img = brazier(img, 476, 470, "blue", mood)
    img = foreground(img, random.Random(59), mood)
    img = fireflies(img, random.Random(61), mood)
    return img


def grass(img, rng, top, mood):
    """Short blades scattered over the clearing, longer towards the viewer."""
    light, dark = big_mask(), big_mask()
    dl, dd = ImageDraw.Draw(light), ImageDraw.Draw(dark)
    for _ in range(4200):
        y = top + 4 + (rng.random() ** 0.8) * (600 - top)
        x = rng.uniform(0, W)
        t = (y - top) / (600 - top)
        h = (1.5 + 7 * t) * rng.uniform(0.6, 1.3)
        lean = rng.uniform(-0.5, 0.5) * h
        (dl if rng.random() < 0.45 else dd).line([(x * SS, y * SS), ((x + lean) * SS, (y - h) * SS)],
                                                  fill=255, width=SS)
    img = paint(img, layer_fill((30, 12, 18), (6, 10, 22), mood), shrink(dark), 0.6)
    return paint(img, layer_fill((84, 44, 44), (40, 52, 84), mood), shrink(light), 0.35)


def standing_stones(img, mood):
    """Smaller stones of the grove's circle, lit on the side that faces the altar."""
    rng = random.Random(55)
    flame = {"play": (255, 170, 90), "red": (255, 90, 50), "blue": (100, 160, 255)}[mood]
    for x, base, h in ((92, 404, 58), (236, 372, 38), (500, 372, 38), (650, 404, 58)):
        w = h * 0.36
        m = big_mask()
        pts = [(x - w, base), (x - w * 1.05, base - h * 0.55), (x - w * 0.7, base - h * 0.92),
               (x + rng.uniform(-2, 2), base - h), (x + w * 0.75, base - h * 0.9), (x + w * 1.05, base - h * 0.5),
               (x + w, base)]
        ImageDraw.Draw(m).polygon([(px * SS, py * SS) for px, py in pts], fill=255)
        stone = shrink(m)
        img = paint(img, (10, 8, 14), radial_mask(x + (10 if x < CX else -10), base, w * 2.2, 5, 0.8, 255), 0.5)
        img = paint(img, mix((50, 40, 52), (34, 36, 56), side(x)), stone)
        img = glow(img, flame, rim(stone, x < CX, 3), 0.45)
        # A faint carved ring.
        m = big_mask()
        cy = base - h * 0.55
        r = w * 0.45
        ImageDraw.Draw(m).ellipse([(x - r) * SS, (cy - r) * SS, (x + r) * SS, (cy + r) * SS], outline=255, width=SS)
        img = glow(img, flame, shrink(m), 0.3)
    return img


def woodpile(img, rng, x, base, facing, mood):
    """Each side's stacked lumber, log ends towards the viewer, lit from the altar's side."""
    s = SS
    r = 10.0
    rows = (5, 4, 3, 2, 1)
    centres = []
    for row, n in enumerate(rows):
        cy = base - r - row * r * 1.74
        for i in range(n):
            centres.append((x + (i - (n - 1) / 2.0) * r * 2.02 + rng.uniform(-0.8, 0.8), cy + rng.uniform(-0.6, 0.6)))
    img = paint(img, (8, 4, 8), radial_mask(x - facing * 14, base + 1, 80, 7, 0.7, 255), 0.7)
    bark, face, rings, lit = big_mask(), big_mask(), big_mask(), big_mask()
    db, df, dr, dl = (ImageDraw.Draw(m) for m in (bark, face, rings, lit))
    for cx, cy in centres:
        db.ellipse([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s], fill=255)
        fr = r - 2.2
        df.ellipse([(cx - fr) * s, (cy - fr) * s, (cx + fr) * s, (cy + fr) * s], fill=255)
        for rr in (fr * 0.62, fr * 0.28):
            dr.ellipse([(cx - rr) * s, (cy - rr) * s, (cx + rr) * s, (cy + rr) * s], outline=255, width=s)
        # The half of each face that looks towards the altar catches more light.
        ox = facing * fr * 0.35
        dl.ellipse([(cx + ox - fr * 0.7) * s, (cy - fr * 0.8) * s, (cx + ox + fr * 0.7) * s, (cy + fr * 0.8) * s],
                   fill=255)
    face_m = shrink(face)
    img = paint(img, (30, 18, 16), shrink(bark))
    cool = 0.0 if facing > 0 else 0.35
    img = paint(img, mix((122, 80, 52), (84, 80, 96), cool), face_m)
    img = paint(img, mix((172, 122, 78), (130, 126, 150), cool), ImageChops.multiply(face_m, shrink(lit).filter(ImageFilter.GaussianBlur(2))), 0.7)
    img = paint(img, mix((92, 58, 38), (60, 56, 70), cool), shrink(rings), 0.7)
    tint = {"play": (255, 140, 70) if facing > 0 else (90, 140, 255), "red": (255, 90, 50),
            "blue": (90, 140, 255)}[mood]
    return glow(img, tint, ImageChops.multiply(face_m, radial_mask(x + facing * 90, base - 30, 170, 90, 1.0, 255)),
                0.25)


def brazier(img, x, base, which, mood):
    """A bowl of fire on a tripod; red fire on the red side, blue witch-fire on the blue side."""
    s = SS
    outer = (255, 96, 52) if which == "red" else (70, 140, 255)
    inner = (255, 226, 150) if which == "red" else (200, 236, 255)
    strength = 1.0 if mood in ("play", which) else 0.45
    img = glow(img, outer, radial_mask(x, base - 44, 130, 90, 1.7, 190), strength)
    img = glow(img, outer, radial_mask(x, base + 2, 80, 12, 1.2, 150), strength)
    m = big_mask()
    d = ImageDraw.Draw(m)
    for dx in (-14, 0, 14):
        d.line([((x + dx * 0.4) * s, (base - 30) * s), ((x + dx) * s, base * s)], fill=255, width=2 * s)
    d.chord([(x - 17) * s, (base - 44) * s, (x + 17) * s, (base - 22) * s], 0, 180, fill=255)
    d.rectangle([(x - 18) * s, (base - 34) * s, (x + 18) * s, (base - 32) * s], fill=255)
    img = paint(img, (24, 18, 22), shrink(m))
    if strength < 1.0:
        return glow(img, outer, radial_mask(x, base - 36, 12, 5, 1.0, 255), 0.8)
    for colour, scale in ((outer, 1.0), (inner, 0.55)):
        m = big_mask()
        d = ImageDraw.Draw(m)
        fh, fw = 34 * scale, 13 * scale
        fy = base - 34
        pts = [(x - fw, fy), (x - fw * 0.9, fy - fh * 0.35), (x - fw * 0.35, fy - fh * 0.7), (x - fw * 0.2, fy - fh * 0.55),
               (x + fw * 0.05, fy - fh), (x + fw * 0.35, fy - fh * 0.6), (x + fw * 0.55, fy - fh * 0.75),
               (x + fw * 0.95, fy - fh * 0.3), (x + fw, fy)]
        d.polygon([(px * s, py * s) for px, py in pts], fill=255)
        img = paint(img, colour, shrink(m).filter(ImageFilter.GaussianBlur(0.8)))
    return img


def path_stones(img, rng):
    """A trodden path of flat stones from the bottom edge up to the altar."""
    top, bottom = 352, 600

    def centre(y):
        return CX + math.sin((y - top) * 0.018) * 18

    def half(y):
        return 26 + (y - top) / (bottom - top) * 70

    m = big_mask()
    edge_l = [(centre(y) - half(y), y) for y in range(top, bottom + 9, 8)]
    edge_r = [(centre(y) + half(y), y) for y in range(bottom + 8, top - 1, -8)]
    ImageDraw.Draw(m).polygon([(x * SS, y * SS) for x, y in edge_l + edge_r], fill=255)
    img = paint(img, (48, 34, 40), shrink(m).filter(ImageFilter.GaussianBlur(5)), 0.55)

    stones = big_mask()
    ds = ImageDraw.Draw(stones)
    lit = big_mask()
    dl = ImageDraw.Draw(lit)
    y = 366.0
    while y < bottom + 10:
        t = (y - top) / (bottom - top)
        step = 12 + 34 * t
        for k in (-1, 1) if t > 0.25 else (0,):
            x = centre(y) + k * half(y) * 0.42 + rng.uniform(-4, 4) * (0.3 + t)
            w = (11 + 26 * t) * (0.55 if k else 1.0) * rng.uniform(0.85, 1.1)
            h = 3 + 9 * t
            ds.ellipse([(x - w) * SS, (y - h) * SS, (x + w) * SS, (y + h) * SS], fill=255)
            dl.ellipse([(x - w * 0.85) * SS, (y - h) * SS, (x + w * 0.75) * SS, (y - h * 0.25) * SS], fill=255)
        y += step
    img = paint(img, (44, 36, 48), shrink(stones))
    # Light from the altar catches the stones' upper faces, fading down the path.
    fade = radial_mask(CX, 352, 260, 280, 0.8, 255)
    return glow(img, (170, 120, 96), ImageChops.multiply(shrink(lit), fade), 0.6)


def altar(img, mood):
    """A standing stone with a carved face (where the offering's prompt appears) over a slab."""
    s = SS
    stone_cx = 361
    flame = {"play": (255, 170, 70), "red": (255, 80, 40), "blue": (90, 160, 255)}[mood]

    # Mystic haze behind the stone.
    img = glow(img, flame, radial_mask(stone_cx, 262, 120, 95, 1.4, 150))

    m = big_mask()
    d = ImageDraw.Draw(m)
    # The menhir: a slightly irregular, round-topped slab, x 314..408, y 212..318.
    pts = [(314, 318), (312, 260), (318, 232), (334, 216), (358, 210), (384, 214), (402, 228),
           (410, 258), (408, 318)]
    d.polygon([(px * s, py * s) for px, py in pts], fill=255)
    stone = shrink(m)
    img = paint(img, column_image(lambda x: mix((62, 54, 70), (40, 38, 58), clamp((x - 312) / 98.0))), stone)
    img = glow(img, flame, rim(stone, True, 2) if mood != "blue" else rim(stone, False, 2), 0.5)

    # The carved face: darker, so the light prompt reads on it.
    m = big_mask()
    d = ImageDraw.Draw(m)
    d.rounded_rectangle([322 * s, 230 * s, 400 * s, 292 * s], radius=10 * s, fill=255)
    face = shrink(m)
    img = paint(img, (20, 16, 26), face, 0.85)
    # A carved border line that glows faintly.
    m = big_mask()
    d = ImageDraw.Draw(m)
    d.rounded_rectangle([319 * s, 227 * s, 403 * s, 295 * s], radius=12 * s, outline=255, width=2 * s)
    img = glow(img, flame, shrink(m), 0.55)
    # Runes carved above the face: a stave each, with branches of our own invention.
    m = big_mask()
    d = ImageDraw.Draw(m)
    branches = (((0, 0.2, 1, 0.0), (0, 0.55, 1, 0.35)), ((0, 0.0, 1, 0.5), (1, 0.5, 1, 1.0)),
                ((0, 0.3, 1, 0.0), (0, 0.3, 1, 0.6)), ((-1, 0.0, 1, 1.0), (1, 0.0, -1, 1.0)),
                ((0, 0.1, -1, 0.45), (0, 0.1, 1, 0.45)))
    for i, rx in enumerate(range(342, 384, 9)):
        top, bot = 215.0 + (1 if i in (0, 4) else 0), 224.0
        d.line([(rx * s, top * s), (rx * s, bot * s)], fill=255, width=s)
        for bx0, by0, bx1, by1 in branches[i]:
            d.line([((rx + bx0 * 3) * s, (top + by0 * (bot - top)) * s),
                    ((rx + bx1 * 3) * s, (top + by1 * (bot - top)) * s)], fill=255, width=s)
    img = glow(img, flame, shrink(m), 0.7)

    # The offering slab in front, with a bowl and its flame.
    m = big_mask()
    d = ImageDraw.Draw(m)
    d.polygon([(292 * s, 318 * s), (430 * s, 318 * s), (440 * s, 332 * s), (282 * s, 332 * s)], fill=255)
    d.rectangle([298 * s, 332 * s, 424 * s, 352 * s], fill=255)
    slab = shrink(m)
    img = paint(img, (46, 38, 50), slab)
    m = big_mask()
    ImageDraw.Draw(m).polygon([(292 * s, 318 * s), (430 * s, 318 * s), (440 * s, 332 * s), (282 * s, 332 * s)],
                              fill=255)
    img = paint(img, (84, 68, 76), shrink(m), 0.8)
    m = big_mask()
    d = ImageDraw.Draw(m)
    d.pieslice([346 * s, 306 * s, 376 * s, 330 * s], 0, 180, fill=255)
    d.rectangle([344 * s, 316 * s, 378 * s, 319 * s], fill=255)
    img = paint(img, (30, 24, 32), shrink(m))
    img = glow(img, flame, radial_mask(361, 307, 24, 16, 1.3, 255))
    img = glow(img, (255, 240, 200), radial_mask(361, 310, 7, 7, 1.0, 255))
    # Light spilling onto the slab's top.
    return glow(img, flame, radial_mask(361, 322, 70, 8, 1.5, 160))


def foreground(img, rng, mood):
    """Framing trunks at both edges, leaves along the top, bushes and grass along the bottom."""
    s = SS
    m = big_mask()
    d = ImageDraw.Draw(m)
    # Trunks that rise out of the top of the picture.
    d.polygon([(-12 * s, 604 * s), (40 * s, 604 * s), (22 * s, 520 * s), (14 * s, 300 * s), (18 * s, -4 * s),
               (-12 * s, -4 * s)], fill=255)
    d.polygon([(764 * s, 604 * s), (812 * s, 604 * s), (812 * s, -4 * s), (786 * s, -4 * s), (782 * s, 300 * s),
               (776 * s, 540 * s)], fill=255)
    # A bough from each trunk that the banners' cords are tied to.
    d.line([(10 * s, 30 * s), (120 * s, 10 * s), (230 * s, -6 * s)], fill=255, width=7 * s, joint="curve")
    d.line([(790 * s, 26 * s), (680 * s, 8 * s), (560 * s, -6 * s)], fill=255, width=7 * s, joint="curve")
    # Leaves hanging from the red side's bough.
    for _ in range(46):
        x = rng.uniform(-30, 270)
        y = rng.uniform(-30, 18) - max(0.0, x - 180) * 0.25
        r = rng.uniform(10, 26) * (1.2 - x / 400.0)
        d.ellipse([(x - r) * s, (y - r * 0.8) * s, (x + r) * s, (y + r * 0.8) * s], fill=255)
    # Spruce boughs on the blue side: drooping fans of needles.
    for i in range(7):
        bx = 800 - i * 34 - rng.uniform(0, 10)
        by = rng.uniform(-6, 12) + i * 1.5
        length = rng.uniform(50, 80)
        pts = [(bx, by - 6)]
        for j in range(9):
            u = j / 8.0
            pts.append((bx - length * u, by + 10 * u * u + (5 if j % 2 else 0) + 4 * u))
        pts.append((bx - length - 4, by + 16))
        for j in range(8, -1, -1):
            u = j / 8.0
            pts.append((bx - length * u, by + 22 * u * u * 0.5 + 14 + (6 if j % 2 else 0)))
        d.polygon([(px * s, py * s) for px, py in pts], fill=255)
    # Bushes in the bottom corners.
    for cx, spread in ((70, 120), (730, 110)):
        for _ in range(24):
            x = cx + rng.uniform(-spread, spread)
            y = 600 - rng.uniform(0, 36) * (1.0 - abs(x - cx) / (spread * 1.3))
            r = rng.uniform(10, 22)
            d.ellipse([(x - r) * s, (y - r * 0.75) * s, (x + r) * s, (y + r * 0.75) * s], fill=255)
    # Grass along the bottom edge, lower on the path.
    for x in range(-4, W + 4, 3):
        h = rng.uniform(6, 24) * (1.0 if abs(x - CX) > 90 else 0.35)
        lean = rng.uniform(-6, 6)
        base = 600 + 4
        d.polygon([((x - 2) * s, base * s), ((x + 2) * s, base * s), ((x + lean) * s, (base - h - 6) * s)],
                  fill=255)
    fg = shrink(m)
    img = paint(img, layer_fill((20, 6, 12), (4, 8, 20), mood), fg)
    return rim_light(img, fg, RIM[mood][0], RIM[mood][1], 0.4)


def fireflies(img, rng, mood):
    warm = {"play": (255, 180, 90), "red": (255, 130, 80), "blue": (255, 150, 110)}[mood]
    cool = {"play": (130, 200, 255), "red": (255, 120, 100), "blue": (120, 190, 255)}[mood]
    for colour, x_lo, x_hi in ((warm, 20, CX - 40), (cool, CX + 40, W - 20)):
        m = Image.new("L", (W, H), 0)
        d = ImageDraw.Draw(m)
        for _ in range(26):
            x = rng.uniform(x_lo, x_hi)
            y = rng.uniform(330, 560)
            r = rng.uniform(0.8, 1.8)
            d.ellipse([x - r, y - r, x + r, y + r], fill=255)
        halo = m.filter(ImageFilter.GaussianBlur(4))
        img = glow(img, colour, halo, 0.9)
        img = glow(img, (255, 250, 220), m, 0.9)
    return img


# ---------------------------------------------------------------------------------------------
# HUD panels on the playing screen

def banner(img, x0, x1, y_pole, y_cloth_end, cloth, trim, pole_colour):
    """A cloth banner on a wooden pole, with a swallowtail hem, darker than the scene behind."""
    s = SS
    m = big_mask()
    d = ImageDraw.Draw(m)
    mid = (x0 + x1) / 2.0
    tail = 16
    shape = [(x0, y_pole + 3), (x1, y_pole + 3), (x1, y_cloth_end + tail), (mid, y_cloth_end),
             (x0, y_cloth_end + tail)]
    d.polygon([(px * s, py * s) for px, py in shape], fill=255)
    cloth_mask = shrink(m)
    # Vertical folds: the cloth is a little lighter in soft bands.
    fill = column_image(lambda x: mix(cloth, trim, 0.06 + 0.06 * math.sin((x - x0) * 0.11)))
    img = paint(img, fill, cloth_mask, 0.9)

    # Trim: a border inset from the edge, in the side's colour.
    m = big_mask()
    d = ImageDraw.Draw(m)
    inset = 4
    trim_shape = [(x0 + inset, y_pole + 8), (x1 - inset, y_pole + 8), (x1 - inset, y_cloth_end + tail - 7),
                  (mid, y_cloth_end - 5), (x0 + inset, y_cloth_end + tail - 7)]
    d.line([(px * s, py * s) for px, py in trim_shape + trim_shape[:1]], fill=255, width=2 * s, joint="curve")
    img = paint(img, trim, shrink(m))
    # A thin light stitch just outside the trim catches the altar's light.
    m = big_mask()
    d = ImageDraw.Draw(m)
    d.line([(px * s, py * s) for px, py in [(x0 + 1, y_pole + 4), (x0 + 1, y_cloth_end + tail - 1)]],
           fill=255, width=s)
    d.line([(px * s, py * s) for px, py in [(x1 - 1, y_pole + 4), (x1 - 1, y_cloth_end + tail - 1)]],
           fill=255, width=s)
    img = glow(img, trim, shrink(m), 0.5)

    # The pole with round knobs, and the cords it hangs from.
    m = big_mask()
    d = ImageDraw.Draw(m)
    d.rounded_rectangle([(x0 - 10) * s, (y_pole - 2) * s, (x1 + 10) * s, (y_pole + 4) * s], radius=3 * s, fill=255)
    for kx in (x0 - 12, x1 + 12):
        d.ellipse([(kx - 4) * s, (y_pole - 3) * s, (kx + 4) * s, (y_pole + 5) * s], fill=255)
    img = paint(img, pole_colour, shrink(m))
    m = big_mask()
    d = ImageDraw.Draw(m)
    d.line([((x0 + 8) * s, y_pole * s), ((x0 + 30) * s, 8 * s)], fill=255, width=s)
    d.line([((x1 - 8) * s, y_pole * s), ((x1 - 30) * s, 8 * s)], fill=255, width=s)
    return paint(img, (70, 56, 46), shrink(m))


def sign(img, x0, y0, x1, y1):
    """A dark wooden board hanging from the top edge for the favour line."""
    s = SS
    m = big_mask()
    d = ImageDraw.Draw(m)
    d.line([((x0 + 14) * s, 0), ((x0 + 14) * s, y0 * s)], fill=255, width=2 * s)
    d.line([((x1 - 14) * s, 0), ((x1 - 14) * s, y0 * s)], fill=255, width=2 * s)
    img = paint(img, (78, 62, 50), shrink(m))
    m = big_mask()
    ImageDraw.Draw(m).rounded_rectangle([x0 * s, y0 * s, x1 * s, y1 * s], radius=6 * s, fill=255)
    board = shrink(m)
    grain = Image.new("RGB", (W, H))
    gp = grain.load()
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            v = 0.5 + 0.5 * math.sin(x * 0.05 + math.sin(y * 0.7 + x * 0.013) * 1.8)
            gp[x, y] = mix((30, 20, 20), (44, 30, 26), v)
    img = paint(img, grain, board, 0.92)
    # Half red, half blue inlay along the edge: the favour swings between the two sides.
    m = big_mask()
    ImageDraw.Draw(m).rounded_rectangle([(x0 + 3) * s, (y0 + 3) * s, (x1 - 3) * s, (y1 - 3) * s], radius=4 * s,
                                        outline=255, width=2 * s)
    edge = shrink(m)
    inlay = column_image(lambda x: mix((196, 62, 48), (70, 120, 220), smooth((x - (x0 + x1) / 2 + 30) / 60.0)))
    img = paint(img, inlay, edge)
    # Pegs where the cords hold the board.
    for px_ in (x0 + 14, x1 - 14):
        img = paint(img, (150, 120, 80), radial_mask(px_, y0 + 1, 3, 3, 0.3, 255))
    return img


def hud_panels(img):
    red_cloth, red_trim = (58, 14, 20), (196, 62, 48)
    blue_cloth, blue_trim = (12, 20, 56), (76, 126, 224)
    pole = (84, 58, 38)
    # Room for 19 characters of 8 pixels a line, a margin of 12 on the left.
    top, bottom = HUD_ROWS[0] - 15, HUD_ROWS[-1] + 27
    img = banner(img, HUD_RED_X - 12, HUD_RED_X + 158, top, bottom, red_cloth, red_trim, pole)
    img = banner(img, HUD_BLUE_X - 12, HUD_BLUE_X + 158, top, bottom, blue_cloth, blue_trim, pole)
    fx, fy = HUD_FAVOUR
    return sign(img, fx - 20, fy - 12, fx + 124, fy + 26)


# ---------------------------------------------------------------------------------------------
# Victory pictures

def outlined_text(img, xy, text, font, fill, outline, stroke, glow_colour=None, glow_radius=0, anchor="mm"):
    if glow_colour is not None:
        m = Image.new("L", (W, H), 0)
        ImageDraw.Draw(m).text(xy, text, font=font, fill=255, anchor=anchor, stroke_width=stroke + 2,
                               stroke_fill=255)
        img = glow(img, glow_colour, m.filter(ImageFilter.GaussianBlur(glow_radius)), 1.0)
    d = ImageDraw.Draw(img)
    d.text(xy, text, font=font, fill=fill, anchor=anchor, stroke_width=stroke, stroke_fill=outline)
    return img


def rays(img, colour, cx, cy, count, rng):
    m = big_mask()
    d = ImageDraw.Draw(m)
    for i in range(count):
        a = math.pi + math.pi * (i + 0.5) / count + rng.uniform(-0.04, 0.04)
        spread = rng.uniform(0.025, 0.05)
        r = 900
        pts = [(cx * SS, cy * SS),
               ((cx + math.cos(a - spread) * r) * SS, (cy + math.sin(a - spread) * r) * SS),
               ((cx + math.cos(a + spread) * r) * SS, (cy + math.sin(a + spread) * r) * SS)]
        d.polygon(pts, fill=255)
    m = shrink(m).filter(ImageFilter.GaussianBlur(6))
    fade = radial_mask(cx, cy, 700, 520, 1.0, 255)
    return glow(img, colour, ImageChops.multiply(m, fade), 0.35)


def victory(side_name):
    red = side_name == "red"
    img = grove(side_name)
    colour = (255, 110, 70) if red else (110, 160, 255)
    img = rays(img, colour, 361, 300, 15, random.Random(83 if red else 89))
    # A dark band behind the words so they stand clear of the busy scene.
    band = radial_mask(W // 2, 212, 470, 120, 0.8, 255)
    img = paint(img, (10, 6, 14) if red else (4, 8, 20), band, 0.55)

    title_font = ImageFont.truetype(FONT_DIR + "DejaVuSans-Bold.ttf", 112)
    sub_font = ImageFont.truetype(FONT_DIR + "DejaVuSerif-Italic.ttf", 30)
    note_font = ImageFont.truetype(FONT_DIR + "DejaVuSans.ttf", 16)
    title = "RED WINS" if red else "BLUE WINS"
    fill = (255, 92, 70) if red else (96, 156, 255)
    img = outlined_text(img, (W // 2, 190), title, title_font, fill, (24, 8, 12) if red else (6, 10, 28), 5,
                        glow_colour=colour, glow_radius=14)
    # A lighter upper half on the letters, like metal catching the fire.
    m = Image.new("L", (W, H), 0)
    ImageDraw.Draw(m).text((W // 2, 190), title, font=title_font, fill=255, anchor="mm")
    upper = Image.new("L", (W, H), 0)
    ImageDraw.Draw(upper).rectangle([0, 0, W, 176], fill=255)
    upper = upper.filter(ImageFilter.GaussianBlur(10))
    img = paint(img, (255, 200, 170) if red else (200, 224, 255), ImageChops.multiply(m, upper), 0.55)

    subtitle = "The grove favours the red side" if red else "The grove favours the blue side"
    img = outlined_text(img, (W // 2, 276), subtitle, sub_font, (246, 236, 220), (16, 10, 18), 2)
    img = outlined_text(img, (W // 2, 580), "Close the window to leave the grove", note_font,
                        (210, 200, 190), (12, 8, 14), 2)
    return img


# ---------------------------------------------------------------------------------------------
# The bitmap font

def glyph_cells():
    """Each glyph as GLYPH_H rows of GLYPH_W values: 0 transparent, 1 outline, 2 ink.

    FreeType's hinted monochrome rendering keeps the strokes crisp at this size; a threshold of
    anti-aliased output would leave ragged, uneven stems. The ink lives in rows 1..11 so the
    outline fits above and below it, and row 13 stays empty, because the engine draws the marker
    row as the glyph's bottom row.
    """
    font = ImageFont.truetype(FONT_DIR + "DejaVuSansMono.ttf", 11, layout_engine=ImageFont.Layout.BASIC)
    cells = []
    for code in range(FIRST_CODE, LAST_CODE + 1):
        pad = 8
        canvas = Image.new("1", (GLYPH_W + 2 * pad, GLYPH_H + 2 * pad), 0)
        dr = ImageDraw.Draw(canvas)
        dr.fontmode = "1"
        dr.text((pad, pad), chr(code), font=font, fill=1)
        ink = [[0] * GLYPH_W for _ in range(GLYPH_H)]
        box = canvas.getbbox()
        if box is not None:
            bx0, bx1, by1 = box[0] - pad, box[2] - pad, box[3] - pad
            # Keep the font's own placement (font row 2 is the top of the tallest glyphs, so it
            # goes to row 1), nudged only where the ink would leave the allowed area.
            if bx1 - bx0 <= GLYPH_W - 2:
                dx = max(1 - bx0, min(0, (GLYPH_W - 1) - bx1))
            else:
                dx = max(-bx0, min(0, GLYPH_W - bx1))
            dy = -1
            if by1 + dy > 12:
                dy = 12 - by1
            src = canvas.load()
            for y in range(GLYPH_H):
                for x in range(GLYPH_W):
                    sx, sy = x - dx + pad, y - dy + pad
                    if 1 <= y <= 11 and src[sx, sy]:
                        ink[y][x] = 2
            if sum(map(sum, ink)) != sum(1 for yy in range(canvas.height) for xx in range(canvas.width)
                                          if src[xx, yy]) * 2:
                raise SystemExit("glyph %r does not fit its %dx%d cell" % (chr(code), GLYPH_W, GLYPH_H))
        cell = [row[:] for row in ink]
        for y in range(GLYPH_H - 1):
            for x in range(GLYPH_W):
                if ink[y][x]:
                    continue
                if any(0 <= y + j < GLYPH_H and 0 <= x + i < GLYPH_W and ink[y + j][x + i]
                       for j in (-1, 0, 1) for i in (-1, 0, 1)):
                    cell[y][x] = 1
        cells.append(cell)
    return cells


def font_picture():
    cells = glyph_cells()
    width = len(cells) * (GLYPH_W + 1)
    img = Image.new("RGB", (width, GLYPH_H), MAGENTA)
    px = img.load()
    x0 = 0
    colours = {1: OUTLINE, 2: INK}
    for cell in cells:
        for y in range(GLYPH_H):
            for x in range(GLYPH_W):
                if cell[y][x]:
                    px[x0 + x, y] = colours[cell[y][x]]
        # The marker column: magenta, with the green marker in the bottom row.
        px[x0 + GLYPH_W, GLYPH_H - 1] = GREEN
        x0 += GLYPH_W + 1
    return img


# ---------------------------------------------------------------------------------------------
# BMP files, written and read with struct so the format is exactly what the engine expects

def write_bmp(path, img):
    """Uncompressed 24-bit BMP, BITMAPINFOHEADER, bottom-up rows padded to 4 bytes."""
    img = img.convert("RGB")
    w, h = img.size
    row_size = (w * 3 + 3) & ~3
    pad = b"\0" * (row_size - w * 3)
    raw = img.tobytes()  # top-down RGB
    rows = []
    for y in range(h - 1, -1, -1):
        line = bytearray(raw[y * w * 3:(y + 1) * w * 3])
        line[0::3], line[2::3] = line[2::3], line[0::3]  # RGB -> BGR
        rows.append(bytes(line) + pad)
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def need(condition, message):
    # Not assert: the checks must also run under python -O.
    if not condition:
        raise SystemExit("check failed: " + message)


def read_bmp(path):
    """Returns (width, height, bits, rows) with rows top-down as lists of (r, g, b)."""
    with open(path, "rb") as f:
        data = f.read()
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    need(magic == b"BM", path + ": not a BMP")
    need(size == len(data), path + ": file size field is wrong")
    hsize, w, h, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    need(hsize == 40, path + ": not a BITMAPINFOHEADER")
    need(planes == 1 and compression == 0, path + ": compressed or odd planes")
    need(h > 0, path + ": must be bottom-up (positive height)")
    need(bits == 24, path + ": must be 24-bit")
    row_size = (w * 3 + 3) & ~3
    need(offset + row_size * h == len(data), path + ": pixel data size is wrong")
    rows = []
    for stored in range(h):
        base = offset + stored * row_size
        rows.append([(data[base + 3 * x + 2], data[base + 3 * x + 1], data[base + 3 * x]) for x in range(w)])
    rows.reverse()
    return w, h, bits, rows


def check(data_dir):
    for name in PICTURES:
        w, h, bits, _ = read_bmp(os.path.join(data_dir, name))
        need((w, h, bits) == (W, H, 24), "%s: %dx%d %d-bit" % (name, w, h, bits))
    w, h, bits, rows = read_bmp(os.path.join(data_dir, FONT_NAME))
    need(h == GLYPH_H and bits == 24, FONT_NAME + ": wrong height or depth")
    bottom = rows[h - 1]
    markers = [x for x, p in enumerate(bottom) if p == GREEN]
    need(len(markers) == LAST_CODE - FIRST_CODE + 1, "%s: %d markers" % (FONT_NAME, len(markers)))
    for y in range(h - 1):
        need(GREEN not in rows[y], "%s: pure green above the marker row (row %d)" % (FONT_NAME, y))
    widths = []
    start = 0
    for m in markers:
        widths.append(m - start)
        for y in range(h - 1):
            need(rows[y][m] == MAGENTA, "%s: marker column %d is not magenta above the marker" % (FONT_NAME, m))
        for x in range(start, m):
            need(bottom[x] == MAGENTA, "%s: glyph pixel in the marker row at column %d" % (FONT_NAME, x))
        start = m + 1
    need(w == sum(widths) + len(markers), FONT_NAME + ": width is not glyphs plus markers")
    need(widths[0] > 0 and all(rows[y][x] == MAGENTA for y in range(h) for x in range(widths[0])),
         FONT_NAME + ": the space glyph must be empty")
    allowed = {MAGENTA, GREEN, INK, OUTLINE}
    stray = {p for row in rows for p in row} - allowed
    need(not stray, "%s: unexpected colours %s" % (FONT_NAME, sorted(stray)[:5]))
    print("check ok: %s 800x600 24-bit; %s %dx%d, 95 glyphs of widths %s" % (
        ", ".join(PICTURES), FONT_NAME, w, h, sorted(set(widths))))


# ---------------------------------------------------------------------------------------------
# The application icon: the grove in a rounded tile, the red broadleaf and the blue spruce either
# side of the glowing offering stone. Drawn once at 256 px and scaled down for the smaller sizes.

ICON_SIZES = (48, 64, 128, 256)
WEB_ICON_SIZES = (192, 512)  # the web page's manifest: what browsers want for installing it as an app
ICO_SIZES = (16, 24, 32, 48, 64, 128, 256)
ICON_DIR = os.path.join(ROOT, "packaging", "icons")


def icon_picture():
    n, s = 256, SS
    sky_img = Image.new("RGB", (n, n))
    px = sky_img.load()
    for y in range(n):
        a, b = ramp(SKY_RED, y * 1.3), ramp(SKY_BLUE, y * 1.3)
        for x in range(n):
            px[x, y] = mix(a, b, smooth((x - 70) / 116.0))
    light = Image.new("L", (n, n), 0)
    lp = light.load()
    for y in range(n):
        for x in range(n):
            d = math.sqrt(((x - 128) / 150.0) ** 2 + ((y - 176) / 90.0) ** 2)
            lp[x, y] = int(230 * clamp(1.0 - d) ** 1.6)
    img = ImageChops.screen(sky_img, Image.composite(solid((255, 176, 96), (n, n)), solid((0, 0, 0), (n, n)), light))

    def layer(draw_fn, colour):
        nonlocal img
        m = Image.new("L", (n * s, n * s), 0)
        draw_fn(ImageDraw.Draw(m))
        img = Image.composite(solid(colour, (n, n)), img, m.resize((n, n), Image.BOX))

    hill = [(x * s, (192 + 6 * math.sin(x / 37.0)) * s) for x in range(-4, n + 5, 4)]
    layer(lambda d: d.polygon(hill + [((n + 4) * s, (n + 4) * s), (-4 * s, (n + 4) * s)], fill=255), (40, 22, 44))
    layer(lambda d: draw_broadleaf(d, random.Random(5), 64, 204, 150, lean=4), (52, 16, 30))
    layer(lambda d: draw_conifer(d, random.Random(6), 194, 206, 168), (16, 22, 50))
    stone = [(104, 214), (100, 170), (110, 162), (146, 162), (156, 170), (152, 214)]
    layer(lambda d: d.polygon([(x * s, y * s) for x, y in stone], fill=255), (58, 46, 60))
    flame = [(128, 118), (142, 146), (138, 160), (118, 160), (114, 146)]
    layer(lambda d: d.polygon([(x * s, y * s) for x, y in flame], fill=255), (255, 196, 110))
    layer(lambda d: d.ellipse([122 * s, 140 * s, 134 * s, 160 * s], fill=255), (255, 240, 200))

    # The rounded tile with a thin light edge; outside it the icon is transparent.
    tile = Image.new("L", (n * s, n * s), 0)
    ImageDraw.Draw(tile).rounded_rectangle([6 * s, 6 * s, (n - 6) * s, (n - 6) * s], radius=44 * s, fill=255)
    edge = Image.new("L", (n * s, n * s), 0)
    ImageDraw.Draw(edge).rounded_rectangle([6 * s, 6 * s, (n - 6) * s, (n - 6) * s], radius=44 * s,
                                           outline=255, width=4 * s)
    rim_light = Image.composite(solid((120, 90, 110), (n, n)), solid((0, 0, 0), (n, n)), edge.resize((n, n), Image.BOX))
    out = ImageChops.screen(img, rim_light).convert("RGBA")
    out.putalpha(tile.resize((n, n), Image.BOX))
    return out


def write_icons(folder):
    os.makedirs(folder, exist_ok=True)
    big = icon_picture()
    for size in ICON_SIZES + WEB_ICON_SIZES:
        picture = big if size == big.width else big.resize((size, size), Image.LANCZOS)
        if size in WEB_ICON_SIZES:
            # Downloaded with the page: 256 colours keep them small.
            picture = picture.quantize(256, method=Image.FASTOCTREE).convert("RGBA")
        picture.save(os.path.join(folder, "arborath-%d.png" % size), optimize=True)
    big.save(os.path.join(folder, "Arborath.ico"), sizes=[(k, k) for k in ICO_SIZES])


def check_icons(folder):
    for size in ICON_SIZES + WEB_ICON_SIZES:
        with Image.open(os.path.join(folder, "arborath-%d.png" % size)) as picture:
            need(picture.size == (size, size) and picture.mode == "RGBA", "arborath-%d.png: %s %s" % (
                size, picture.size, picture.mode))
    with Image.open(os.path.join(folder, "Arborath.ico")) as ico:
        need(set(ico.info["sizes"]) == {(k, k) for k in ICO_SIZES}, "Arborath.ico: sizes %s" % ico.info["sizes"])
    print("check ok: icons at %s px, Arborath.ico" % ", ".join(map(str, ICON_SIZES + WEB_ICON_SIZES)))


# ---------------------------------------------------------------------------------------------
# Preview: PNG copies and the playing screen composed as the engine will draw it

def load_font_glyphs(path):
    _, h, _, rows = read_bmp(path)
    glyphs = {}
    start = 0
    code = FIRST_CODE
    for x, p in enumerate(rows[h - 1]):
        if p == GREEN and code <= LAST_CODE:
            glyphs[chr(code)] = [row[start:x] for row in rows]
            start = x + 1
            code += 1
    return glyphs


def draw_text(img, glyphs, text, x, y):
    px = img.load()
    for ch in text:
        g = glyphs[ch]
        for r, row in enumerate(g):
            for c, p in enumerate(row):
                if p != MAGENTA and 0 <= x + c < img.width and 0 <= y + r < img.height:
                    px[x + c, y + r] = p
        x += len(g[0])


def playing_screen(data_dir, favour="0", lumber=("20", "20"), eff=("100", "100"), mystery=True):
    _, _, _, rows = read_bmp(os.path.join(data_dir, "Background.bmp"))
    img = Image.new("RGB", (W, H))
    img.putdata([p for row in rows for p in row])
    glyphs = load_font_glyphs(os.path.join(data_dir, FONT_NAME))
    draw_text(img, glyphs, "Favour: %s%%" % favour, *HUD_FAVOUR)
    for x, keys, lum, e in ((HUD_RED_X, "as", lumber[0], eff[0]), (HUD_BLUE_X, "kl", lumber[1], eff[1])):
        texts = ("Lumber: " + lum, "Sacrifice it (%s)" % keys[0], "Trade it (%s)" % keys[1],
                 "Efficiency: %s%%" % e)
        for y, t in zip(HUD_ROWS, texts):
            draw_text(img, glyphs, t, x, y)
    if mystery:
        for x, y, t in HUD_MYSTERY:
            draw_text(img, glyphs, t, x, y)
    return img


def preview(data_dir, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for name in PICTURES + (FONT_NAME,):
        Image.open(os.path.join(data_dir, name)).save(os.path.join(out_dir, name[:-4] + ".png"))
    playing_screen(data_dir).save(os.path.join(out_dir, "mock_playing.png"))
    playing_screen(data_dir, "-103", ("123", "7"), ("104", "0"), False).save(
        os.path.join(out_dir, "mock_playing_late.png"))
    font = Image.open(os.path.join(data_dir, FONT_NAME))
    font.resize((font.width * 4, font.height * 4), Image.NEAREST).save(os.path.join(out_dir, "font_x4.png"))
    print("previews written to", out_dir)


# ---------------------------------------------------------------------------------------------

def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--check", action="store_true", help="only check the files already in the data folder")
    ap.add_argument("--out", default=DATA, help="data folder (default: the repo's Data/)")
    ap.add_argument("--preview", metavar="DIR", help="also write PNG copies and mock screens into DIR")
    args = ap.parse_args()
    if not args.check:
        os.makedirs(args.out, exist_ok=True)
        write_bmp(os.path.join(args.out, FONT_NAME), font_picture())
        write_bmp(os.path.join(args.out, "Background.bmp"), hud_panels(grove("play")))
        write_bmp(os.path.join(args.out, "RedWins.bmp"), victory("red"))
        write_bmp(os.path.join(args.out, "BlueWins.bmp"), victory("blue"))
        write_icons(ICON_DIR)
    check(args.out)
    check_icons(ICON_DIR)
    if args.preview:
        preview(args.out, args.preview)


if __name__ == "__main__":
    sys.exit(main())
