#!/usr/bin/python3
"""Draws every picture embedded in the Drelk launcher and game window.

Everything is painted from code: no image is loaded from anywhere.  Only the
Debian packages python3-pil, fonts-wqy-zenhei (tab captions) and
fonts-urw-base35 (the "Drelk" lettering) are needed.  Random textures use
fixed seeds, so running the script again rewrites byte-identical files.

Usage:
    tools/art/make_art.py                     write res/*, then check them
    tools/art/make_art.py --preview OUT.png   also compose a preview of the
                                              launcher window into OUT.png
    tools/art/make_art.py --compare OUT.png   also put the 1x launcher,
                                              enlarged, beside the 2x one

Resource id -> file (all in res/):
      7  app_7.ico             icon group: 16, 32 and 48 px, 32-bit with alpha
      -  app_64.png            the same emblem as 64 x 64 RGBA, for Linux
    135  close_135.bmp         launcher close button, 31 x 32
    143  backdrop_143.png      launcher backdrop, 1024 x 635, palette + tRNS
    151  close_down_151.bmp    launcher close button pressed, 31 x 32
    153  tab_forum_153.bmp     tab 游戏论坛, 104 x 31
    154  tab_topup_154.bmp     tab 充值系统
    155  tab_site_155.bmp      tab 官方网站
    156  tab_service_156.bmp   tab 客服中心
    157  tab_forum_down_157.bmp    the four tabs pressed
    158  tab_topup_down_158.bmp
    159  tab_site_down_159.bmp
    160  tab_service_down_160.bmp
    161  capbtn_close_161.bmp  game window close button, 3 cells of 20 x 20
    162  capbtn_max_162.bmp    game window maximise button, 3 cells of 20 x 20
    163  capbtn_min_163.bmp    game window minimise button, 3 cells of 20 x 20
    164  skin_164.png          game window frame, 594 x 229 RGBA
    165  capbtn_text_165.bmp   game window text button face, 3 cells of 41 x 20

All BMP files are uncompressed 24-bit, bottom-up.  Button strips hold the
cells normal, hot, pressed from left to right.  No picture contains the
colour (255, 0, 255), which the launcher uses as the transparent key of its
controls layer.

Every picture but the icons also has a version for a display at scale 2,
res/NAME@2x.EXT (backdrop_143@2x.png, close_135@2x.bmp, ...): drawn anew at
twice the width and height, not enlarged.  Its cells, frame pieces and
see-through layout are those of the 1x picture at doubled coordinates; the
check below holds each one to that.
"""

import math
import random
import struct
import sys
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = Path(__file__).resolve().parent
RES = HERE.parent.parent / "res"

CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
LATIN_FONT = "/usr/share/fonts/opentype/urw-base35/P052-Bold.otf"

KEY_COLOUR = (255, 0, 255)  # transparent key of the launcher's controls layer
SS = 4                      # supersampling factor for anti-aliased shapes

# ---------------------------------------------------------------------------
# Shared colours: warm dark browns, bronze and gold, ember orange, crimson.
# ---------------------------------------------------------------------------
INK = (12, 8, 5)
UMBER_DEEP = (22, 14, 9)
UMBER = (40, 26, 15)
UMBER_LIGHT = (74, 47, 25)
BRONZE_DARK = (92, 60, 28)
BRONZE = (138, 92, 40)
GOLD = (206, 152, 66)
GOLD_LIGHT = (250, 216, 136)
GOLD_TEXT = (238, 198, 120)
EMBER = (236, 130, 42)
CRIMSON = (112, 24, 16)
SILHOUETTE = (17, 10, 7)

# ---------------------------------------------------------------------------
# Launcher backdrop geometry (all boxes are inclusive: x0, y0, x1, y1).
# ---------------------------------------------------------------------------
BACKDROP_SIZE = (1024, 635)
FRAME_LEFT = 57                   # columns left of this are outside the frame
FRAME_BORDER = 6                  # width of the outer bevelled gold border
HALO_ALPHAS = (189, 143, 98, 58, 25, 0)   # palette entries 0..5
HALO_COLOURS = ((104, 42, 14), (128, 54, 18), (150, 66, 22),
                (172, 80, 28), (196, 96, 34), (0, 0, 0))
IDX_TRANSPARENT = 5
IDX_PATCH = 6                     # reserved: plain patch under the close button
IDX_PANEL = 7                     # reserved: flat fill under the browser
FIRST_FREE_INDEX = 8

TAB_TOP, TAB_BOTTOM = 45, 76      # tab slot rows; the buttons cover 45..75
TAB_LEFT, TAB_WIDTH, TAB_PITCH, TAB_COUNT = 316, 104, 106, 4
TAB_HEIGHT = 31
TAB_RULE_Y = 81                   # gold rule under the tab row

CLOSE_BOX = (981, 7, 1011, 38)    # the round close button covers this
CLOSE_SOCKET = (976, 6, 1016, 43) # dark recess around it
PATCH = (20, 13, 8)               # colour of the recess and button corners

PANEL_MOLDING = 5                 # width of the gold moulding round a panel
BROWSER_PANEL = (310, 92, 1003, 619)  # holds the browser at either placement
PANEL_FILL = (13, 9, 6)
SCENE_PANEL = (66, 92, 302, 619)      # painted scene with the swordsman

LOGO_BOX = (66, 6, 302, 90)       # "Drelk" lettering, centred in here
LOGO_SIZE = 60

SUN = (204, 298, 52)              # centre x, centre y, radius
FIGURE_BOX = (0, 220, 312, 635)   # area the swordsman layer is painted in

# ---------------------------------------------------------------------------
# Game window skin geometry.
# ---------------------------------------------------------------------------
SKIN_SIZE = (594, 229)
CAPTION_H = 39
LOGO_BLOCK_W = 218                # columns 0..217; column 218 is stretched
CAPTION_FILL_X = 218
END_CAP_W = 50
BORDER_W = 3
CORNER = 39
ICON_BOX = (15, 13, 31, 29)       # a 16 x 16 icon is drawn here
TITLE_ORIGIN = (97, 15)           # window title, white bold 12 px
SKIN_OUTLINE = (10, 6, 4)
SKIN_GOLD = (178, 126, 56)
SKIN_BROWN = (48, 30, 17)
SKIN_BODY = (24, 15, 9)

CAPBTN_CELL = 20
TEXTBTN_CELL = (41, 20)
TEXTBTN_TEXT = (0xD9, 0x97, 0x57)  # the program draws button captions in this

ICON_SIZES = (16, 32, 48)
ICON_PNG_SIZE = 64


# ---------------------------------------------------------------------------
# Display scale.  Every picture is designed in picture pixels (the program's
# own pixels, the constants above).  At scale 2 it is drawn again on a grid of
# device pixels twice as fine: shapes, lettering and gradients are rendered at
# that resolution, and a line one picture pixel wide becomes two device pixels
# so that it stays as crisp as at scale 1.  The helpers below turn picture
# lengths into device ones; at scale 1 they change nothing, which keeps the 1x
# files byte-identical.
# ---------------------------------------------------------------------------
SCALE = 1           # device pixels per picture pixel of what is being drawn
SCALES = (1, 2)     # the versions written; the 1x files carry no suffix


def px(v):
    """A length in picture pixels as device pixels."""
    return v * SCALE


def dev(size):
    """A size or a point in picture pixels as device pixels."""
    return tuple(v * SCALE for v in size)


def dev_box(box):
    """An inclusive box of picture pixels as the inclusive box of the device
    pixels covering them (whole blocks)."""
    x0, y0, x1, y1 = box
    return (x0 * SCALE, y0 * SCALE, (x1 + 1) * SCALE - 1, (y1 + 1) * SCALE - 1)


def centres(lo, hi):
    """Picture coordinates of the device pixels covering picture pixels
    lo..hi, for painting pixel by pixel."""
    return [at(v) for v in range(lo * SCALE, (hi + 1) * SCALE)]


def at(v):
    """Picture coordinate of a device pixel's centre, for painting pixel by
    pixel.  At scale 1 pixel x is at x; at scale 2 its two device pixels are a
    quarter pixel either side of it."""
    return (v + 0.5) / SCALE - 0.5


def block(draw, box, fill):
    """Fill an inclusive box of picture pixels: a one-pixel line or dot of the
    design, two device pixels thick at scale 2."""
    draw.rectangle(dev_box(box), fill=fill)


def grow(radius):
    """Max filter reaching `radius` picture pixels."""
    return ImageFilter.MaxFilter(2 * radius * SCALE + 1)


def shrink(radius):
    """Min filter reaching `radius` picture pixels."""
    return ImageFilter.MinFilter(2 * radius * SCALE + 1)


def blur(radius):
    """Gaussian blur of `radius` picture pixels."""
    return ImageFilter.GaussianBlur(radius * SCALE)


def shift(img, dx, dy):
    """Offset by picture pixels (wrapping round, as ImageChops.offset does)."""
    return ImageChops.offset(img, dx * SCALE, dy * SCALE)


def suffixed(name):
    """File name of the version at the current scale: close_135@2x.bmp."""
    if SCALE == 1:
        return name
    stem, ext = name.rsplit(".", 1)
    return "%s@%dx.%s" % (stem, SCALE, ext)


# ---------------------------------------------------------------------------
# Small drawing helpers.
# ---------------------------------------------------------------------------
def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def ramp(stops, t):
    """Colour at t along stops [(position, colour), ...] sorted by position."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0))
    return stops[-1][1]


def luminance(c):
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]


def vgradient(w, h, stops):
    column = Image.new("RGB", (1, h))
    column.putdata([ramp(stops, y / max(h - 1, 1)) for y in range(h)])
    return column.resize((w, h), Image.NEAREST)


def hgradient(w, h, stops):
    row = Image.new("RGB", (w, 1))
    row.putdata([ramp(stops, x / max(w - 1, 1)) for x in range(w)])
    return row.resize((w, h), Image.NEAREST)


def value_noise(size, cell, rng):
    """Smooth random field in 0..255 with features about `cell` pixels big."""
    w, h = size
    gw, gh = w // cell + 4, h // cell + 4
    grid = Image.new("L", (gw, gh))
    grid.putdata([int(rng.random() * 255) for _ in range(gw * gh)])
    big = grid.resize((gw * cell, gh * cell), Image.BICUBIC)
    return big.crop((cell, cell, cell + w, cell + h))


def fractal_noise(size, seed, cells=(96, 40, 16, 6), weights=(1, .55, .3, .18)):
    rng = random.Random(seed)
    acc, total = None, 0.0
    for cell, weight in zip(cells, weights):
        layer = value_noise(size, cell, rng)
        total += weight
        acc = layer if acc is None else Image.blend(acc, layer, weight / total)
    lo, hi = acc.getextrema()
    return acc.point(lambda v: int((v - lo) * 255 / max(hi - lo, 1)))


def ss_mask(size, paint, origin=(0, 0), ss=SS):
    """Anti-aliased mask: paint(draw, tr) draws at ss times the device size,
    where tr(points) maps picture coordinates to the enlarged mask.  size and
    origin are in picture pixels; the mask comes back in device pixels."""
    ox, oy = origin
    k = ss * SCALE
    big = Image.new("L", (size[0] * k, size[1] * k), 0)

    def tr(points):
        return [((x - ox) * k, (y - oy) * k) for x, y in points]

    paint(ImageDraw.Draw(big), tr)
    return big.resize(dev(size), Image.BOX)


def lw(width, ss=SS):
    """Line width inside an ss_mask drawing for a line `width` picture pixels
    wide."""
    return int(ss * width * SCALE)


def ellipse_points(cx, cy, rx, ry, n=48):
    return [(cx + rx * math.cos(2 * math.pi * i / n),
             cy + ry * math.sin(2 * math.pi * i / n)) for i in range(n)]


def bezier(p0, p1, p2, p3, t):
    u = 1 - t
    a, b, c, d = u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t
    return (a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
            a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1])


def stroke_polygon(points, widths):
    """Outline of a band of varying width drawn along a centre line."""
    left, right = [], []
    n = len(points)
    for i, (x, y) in enumerate(points):
        xa, ya = points[max(i - 1, 0)]
        xb, yb = points[min(i + 1, n - 1)]
        dx, dy = xb - xa, yb - ya
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length, dx / length
        half = widths[i] / 2
        left.append((x + nx * half, y + ny * half))
        right.append((x - nx * half, y - ny * half))
    return left + right[::-1]


def limb(joints, widths, steps=6):
    """A limb through joints, width interpolated between them."""
    pts, ws = [], []
    for (a, wa), (b, wb) in zip(zip(joints, widths), zip(joints[1:], widths[1:])):
        for s in range(steps):
            t = s / steps
            pts.append((a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t))
            ws.append(wa + (wb - wa) * t)
    pts.append(joints[-1])
    ws.append(widths[-1])
    return stroke_polygon(pts, ws)


def paint(img, colour, mask, at=(0, 0)):
    """Blend a flat colour or an image into img through an 'L' mask."""
    if isinstance(colour, tuple):
        img.paste(colour, (at[0], at[1], at[0] + mask.size[0],
                           at[1] + mask.size[1]), mask)
    else:
        img.paste(colour, at, mask)


def scale_mask(mask, factor):
    return mask.point(lambda v: int(clamp(v * factor / 255.0) * 255))


def text_mask(text, font_path, size, ss=SS):
    """Anti-aliased mask of a line of text `size` picture pixels high, in
    device pixels, cropped to its ink."""
    font = ImageFont.truetype(font_path, size * ss * SCALE)
    x0, y0, x1, y1 = font.getbbox(text)
    big = Image.new("L", (x1 - x0 + 4 * ss, y1 - y0 + 4 * ss), 0)
    ImageDraw.Draw(big).text((2 * ss - x0, 2 * ss - y0), text, font=font, fill=255)
    small = big.resize((big.size[0] // ss, big.size[1] // ss), Image.BOX)
    return small.crop(small.getbbox())


def bevel_ring(draw, box, ring, light, dark):
    """One ring of a bevel, a picture pixel wide: light on top/left, dark on
    bottom/right.  At scale 2 it is two device rings, so that the corners keep
    their diagonal split between light and dark."""
    bx0, by0, bx1, by1 = dev_box(box)
    for sub in range(SCALE):
        r = ring * SCALE + sub
        x0, y0, x1, y1 = bx0 + r, by0 + r, bx1 - r, by1 - r
        draw.line([(x0, y1), (x0, y0), (x1, y0)], fill=light)
        draw.line([(x1, y0 + 1), (x1, y1), (x0 + 1, y1)], fill=dark)


def gold_lettering(img, text, size, centre, outline=2, glow=6):
    """Embossed gold word-mark with dark outline and ember glow; size,
    centre, outline and glow in picture pixels."""
    mask = text_mask(text, LATIN_FONT, size)
    pad = px(outline + glow * 2)
    w, h = mask.size[0] + 2 * pad, mask.size[1] + 2 * pad
    m = Image.new("L", (w, h), 0)
    m.paste(mask, (pad, pad))
    x = int(round(centre[0] * SCALE - w / 2))
    y = int(round(centre[1] * SCALE - h / 2))
    if glow:
        halo = m.filter(grow(2)).filter(blur(glow))
        paint(img, (210, 96, 24), scale_mask(halo, 0.75), (x, y))
    ring = m.filter(grow(outline))
    ring = ring.filter(blur(0.6))
    paint(img, INK, ring, (x, y))
    top = pad
    bottom = pad + mask.size[1]
    fill = vgradient(w, h, [(0, GOLD_LIGHT), (top / h, GOLD_LIGHT),
                            ((top + (bottom - top) * 0.45) / h, (244, 188, 92)),
                            ((top + (bottom - top) * 0.55) / h, (214, 140, 52)),
                            (bottom / h, (150, 78, 24)), (1, (150, 78, 24))])
    paint(img, fill, m, (x, y))
    # emboss: light where the shape's edge faces up-left, dark down-right
    soft = m.filter(blur(1.2))
    up = ImageChops.subtract(soft, shift(soft, -1, -1))
    down = ImageChops.subtract(soft, shift(soft, 1, 1))
    paint(img, (255, 246, 214), ImageChops.multiply(scale_mask(down, 2.2), m),
          (x, y))
    paint(img, (96, 44, 12), ImageChops.multiply(scale_mask(up, 2.2), m), (x, y))


# ---------------------------------------------------------------------------
# Launcher backdrop (143)
# ---------------------------------------------------------------------------
def frame_texture(size):
    """Dark brown grain with a soft vignette, the ground of the frame.  At
    scale 2 the noise cells are twice as big on the twice finer grid: the
    same random field, sampled more finely."""
    size = dev(size)
    grain = fractal_noise(size, seed=1430,
                          cells=tuple(px(c) for c in (96, 40, 16, 6)))
    fine = fractal_noise(size, seed=1431, cells=(px(3), px(2)), weights=(1, .6))
    lo, hi = (26, 16, 10), (52, 33, 19)
    tex = Image.merge("RGB", [grain.point(lambda v, a=lo[i], b=hi[i]:
                                          int(a + (b - a) * v / 255))
                              for i in range(3)])
    tex = Image.blend(tex, Image.merge("RGB", [fine] * 3).point(
        lambda v: v // 5 + 20), 0.12)
    w, h = size
    vignette = Image.new("L", size)
    vignette.putdata([int(255 * (1 - 0.35 * smoothstep(0.55, 1.15, math.hypot(
        (x - w * 0.6) / (w * 0.55), (y - h * 0.45) / (h * 0.65)))))
        for y in range(h) for x in range(w)])
    return ImageChops.multiply(tex, Image.merge("RGB", [vignette] * 3))


def draw_outer_border(img):
    w, h = BACKDROP_SIZE
    box = (FRAME_LEFT, 0, w - 1, h - 1)
    d = ImageDraw.Draw(img)
    rings = [(INK, INK), (GOLD_LIGHT, BRONZE), (GOLD, BRONZE_DARK),
             (BRONZE, (72, 46, 20)), ((84, 54, 24), (58, 36, 16)), (INK, INK)]
    for i, (light, dark) in enumerate(rings):
        bevel_ring(d, box, i, light, dark)


def draw_moulding(img, box):
    """Gold moulding round a recessed panel; the panel starts inside it."""
    d = ImageDraw.Draw(img)
    rings = [(INK, INK), (GOLD, BRONZE_DARK), (GOLD_LIGHT, GOLD),
             (BRONZE_DARK, GOLD), (INK, (40, 26, 14))]
    for i, (light, dark) in enumerate(rings):
        bevel_ring(d, box, i, light, dark)


def inner_box(box, inset=PANEL_MOLDING):
    return (box[0] + inset, box[1] + inset, box[2] - inset, box[3] - inset)


def draw_logo(img):
    x0, y0, x1, y1 = LOGO_BOX
    gold_lettering(img, "Drelk", LOGO_SIZE, ((x0 + x1) / 2, (y0 + y1) / 2 - 4))
    # a thin flourish under the word: a rule fading at both ends, a lozenge
    cx, y = (x0 + x1) // 2, y1 - 6
    rule = hgradient(px(150), px(1), [(0, UMBER), (0.3, GOLD), (0.7, GOLD),
                                      (1, UMBER)])
    img.paste(rule, dev((cx - 75, y)))
    img.paste(hgradient(px(150), px(1), [(0, UMBER), (0.5, INK), (1, UMBER)]),
              dev((cx - 75, y + 1)))
    lozenge = ss_mask(BACKDROP_SIZE, lambda d, tr: d.polygon(
        tr([(cx, y - 4), (cx + 5, y + 0.5), (cx, y + 5), (cx - 5, y + 0.5)]),
        fill=255))
    paint(img, INK, lozenge.filter(grow(1)))
    paint(img, GOLD_LIGHT, lozenge)


def ridge_heights(x_from, x_to, base, peaks, amp, seed, xs):
    """Mountain skyline over x_from..x_to: a few rounded peaks plus fractal
    wobble, its height at each of xs (picture coordinates)."""
    rng = random.Random(seed)
    octaves = [(48, 1.0), (19, 0.45), (7, 0.2), (3, 0.08)]
    knots = [[rng.random() * 2 - 1 for _ in range((x_to - x_from) // p + 3)]
             for p, _ in octaves]
    heights = []
    for x in xs:
        y = base
        for px, ph, pw in peaks:
            y -= ph * math.exp(-((x - px) / pw) ** 2)
        for (period, weight), ks in zip(octaves, knots):
            f = (x - x_from) / period
            i = int(f)
            t = f - i
            t = t * t * (3 - 2 * t)
            y += amp * weight * (ks[i] * (1 - t) + ks[i + 1] * t)
        heights.append(y)
    return heights


SKY_STOPS = [(97, (22, 13, 9)), (190, (52, 24, 12)), (280, (124, 52, 18)),
             (360, (190, 92, 32)), (430, (212, 118, 44)), (614, (212, 118, 44))]

MOUNTAINS = [  # base, peaks (x, height, width), wobble, lit edge, body, mist
    (452, [(96, 92, 30), (150, 40, 26), (262, 70, 24)], 7,
     (236, 150, 74), (150, 72, 32), (204, 112, 46)),
    (506, [(138, 56, 40), (286, 62, 26), (80, 20, 20)], 8,
     (196, 104, 46), (84, 40, 20), (150, 72, 32)),
    (560, [(88, 46, 30), (220, 22, 48)], 8,
     (140, 70, 30), (40, 21, 12), (90, 44, 22)),
]


def draw_scene(img):
    """Sunset over layered mountains, framed by a gold moulding."""
    draw_moulding(img, SCENE_PANEL)
    x0, y0, x1, y1 = inner_box(SCENE_PANEL)
    w, h = x1 - x0 + 1, y1 - y0 + 1
    sx, sy, sr = SUN

    xs, ys = centres(x0, x1), centres(y0, y1)
    sky = []
    for y in ys:
        base = ramp(SKY_STOPS, y)
        for x in xs:
            d = math.hypot(x - sx, y - sy)
            out = max(d - sr, 0.0)
            g = 0.8 * math.exp(-out / 34.0) + 0.35 * math.exp(-out / 120.0)
            c = mix(base, (255, 170, 76), clamp(g))
            # the sun's rim is anti-aliased over one device pixel
            cover = clamp((sr - d) * SCALE + 0.5)
            if cover > 0:
                disc = mix((255, 240, 186), (252, 184, 86), (d / sr) ** 2)
                c = mix(c, disc, cover)
            sky.append(c)
    scene = Image.new("RGB", dev((w, h)))
    scene.putdata(sky)

    # thin cloud streaks drifting across the sun, each with a bright lip
    streaks = [(118, 330, 240, 4.0), (150, 346, 292, 3.0), (78, 262, 186, 2.4),
               (196, 252, 292, 2.0), (86, 384, 206, 2.6)]
    for left, cy, right, thick in streaks:
        def clouds(d, tr, left=left, cy=cy, right=right, thick=thick):
            pts = []
            n = 24
            for i in range(n + 1):
                t = i / n
                pts.append((left + (right - left) * t,
                            cy - thick * math.sin(math.pi * t) ** 0.7))
            for i in range(n, -1, -1):
                t = i / n
                pts.append((left + (right - left) * t,
                            cy + thick * 0.5 * math.sin(math.pi * t)))
            d.polygon(tr(pts), fill=255)
        m = ss_mask((w, h), clouds, origin=(x0, y0))
        lip = ImageChops.subtract(m, shift(m, 0, 1))
        paint(scene, (122, 46, 18), scale_mask(m, 0.85))
        paint(scene, (255, 196, 120), scale_mask(lip, 0.6))

    # distant birds
    def birds(d, tr):
        for bx, by, s in [(252, 196, 4.0), (264, 186, 3.2), (240, 178, 2.6),
                          (276, 204, 2.2)]:
            d.line(tr([(bx - s, by - s * 0.5), (bx - s * 0.3, by - s * 0.1),
                       (bx, by + s * 0.2), (bx + s * 0.3, by - s * 0.1),
                       (bx + s, by - s * 0.5)]), fill=255, width=lw(1))
    paint(scene, (44, 20, 10), ss_mask((w, h), birds, origin=(x0, y0)))

    # mountains, far to near; each fades into mist towards its foot
    for base, peaks, wobble, lit, body, mist in MOUNTAINS:
        ridge = ridge_heights(x0, x1, base, peaks, wobble, seed=base, xs=xs)
        layer, alpha = [], []
        for y in ys:
            for x, top in zip(xs, ridge):
                depth = y - top
                # the ridge's edge is anti-aliased over one device pixel
                cover = depth * SCALE + (SCALE + 1) / 2
                if cover < 0:
                    layer.append((0, 0, 0))
                    alpha.append(0)
                    continue
                glow = clamp(1 - math.hypot(x - sx, top - sy) / 230.0)
                edge = mix(body, lit, 0.4 + 0.6 * glow)
                c = mix(edge, body, smoothstep(0, 5 + 8 * glow, depth))
                c = mix(c, mist, 0.8 * smoothstep(base - 30, base + 40, y))
                layer.append(c)
                alpha.append(int(255 * clamp(cover)))
        lay = Image.new("RGB", dev((w, h)))
        lay.putdata(layer)
        msk = Image.new("L", dev((w, h)))
        msk.putdata(alpha)
        scene.paste(lay, (0, 0), msk)

    # the crag the swordsman stands on
    def crag(d, tr):
        d.polygon(tr([(x0 - 2, y1 + 2), (x0 - 2, 606), (96, 602), (128, 597),
                      (150, 594), (176, 596), (204, 592), (236, 594),
                      (262, 598), (284, 597), (x1 + 2, 603), (x1 + 2, y1 + 2)]),
                  fill=255)
    m = ss_mask((w, h), crag, origin=(x0, y0))
    paint(scene, SILHOUETTE, m)
    lip = ImageChops.subtract(m, shift(m, 0, 2))
    paint(scene, (214, 110, 40), scale_mask(lip, 0.7))

    img.paste(scene, dev((x0, y0)))


def draw_browser_panel(img):
    draw_moulding(img, BROWSER_PANEL)
    x0, y0, x1, y1 = dev_box(inner_box(BROWSER_PANEL))
    img.paste(PANEL_FILL, (x0, y0, x1 + 1, y1 + 1))


def tab_slots():
    return [(TAB_LEFT + i * TAB_PITCH, TAB_TOP,
             TAB_LEFT + i * TAB_PITCH + TAB_WIDTH - 1, TAB_BOTTOM)
            for i in range(TAB_COUNT)]


def draw_tab_row(img):
    d = ImageDraw.Draw(img)
    for x0, y0, x1, y1 in tab_slots():
        d.rectangle(dev_box((x0 - 1, y0 - 1, x1 + 1, y1 + 1)), outline=INK,
                    width=SCALE)
        block(d, (x0, y0, x1, y1 - 1), (18, 11, 7))
        img.paste(hgradient(px(x1 - x0 + 1), px(1), [(0, BRONZE), (0.5, GOLD),
                                                     (1, BRONZE)]), dev((x0, y1)))
    # gold rule the tabs stand on, fading into the ground at both ends
    x0, _, x1, _ = inner_box(BROWSER_PANEL)
    rule = hgradient(px(x1 - x0 + 1), px(1), [(0, UMBER), (0.12, GOLD),
                                              (0.6, BRONZE), (1, UMBER)])
    img.paste(rule, dev((x0, TAB_RULE_Y)))
    img.paste(hgradient(px(x1 - x0 + 1), px(1), [(0, UMBER), (0.12, INK),
                                                 (1, UMBER)]),
              dev((x0, TAB_RULE_Y + 1)))


def draw_close_socket(img):
    x0, y0, x1, y1 = CLOSE_SOCKET
    d = ImageDraw.Draw(img)

    def rounded(box, radius, fill, outline):
        d.rounded_rectangle(dev_box(box), radius=px(radius), fill=fill,
                            outline=outline, width=SCALE)
    rounded((x0, y0 - 8, x1, y1), 7, BRONZE, INK)
    rounded((x0 + 1, y0 - 8, x1 - 1, y1 - 1), 6, PATCH, BRONZE)
    rounded((x0 + 2, y0 - 8, x1 - 2, y1 - 2), 5, PATCH, INK)
    # the top border keeps running above the recess
    w = BACKDROP_SIZE[0]
    for i, c in enumerate([INK, GOLD_LIGHT, GOLD, BRONZE, (84, 54, 24), INK]):
        block(d, (x0 - 4, i, min(x1 + 4, w - 1 - i), i), c)


SCROLL_BAND = (752, 966, 34)      # x from, x to, centre row
SCROLL_PERIOD = 54


def draw_top_ornament(img):
    """Faint embossed running scroll in the empty stretch right of the tabs:
    a wave whose every crest and trough rolls up into a curl."""
    x_from, x_to, cy = SCROLL_BAND
    amp = 7.0

    def wave_y(x):
        return cy + amp * math.sin(2 * math.pi * (x - x_from) / SCROLL_PERIOD)

    def scrolls(d, tr):
        pts = [(x_from + i * 0.5, wave_y(x_from + i * 0.5))
               for i in range(int((x_to - x_from) * 2) + 1)]
        d.line(tr(pts), fill=255, width=lw(1.5))
        k = 0
        while True:
            x = x_from + SCROLL_PERIOD * (0.25 + 0.5 * k)
            if x > x_to - 6:
                break
            side = -1 if k % 2 == 0 else 1       # crests curl up, troughs down
            # the curl's centre sits beside the wave; the spiral winds inwards
            ccx, ccy = x + 5.0, wave_y(x) + side * 7.0
            curl = []
            for i in range(80):
                t = i / 79
                turn = (0.9 + 2.4 * t) * math.pi
                r = 7.0 * (1 - 0.78 * t)
                curl.append((ccx + r * math.sin(turn), ccy + r * math.cos(turn)))
            d.line(tr(curl), fill=255, width=lw(1.3))
            k += 1
    m = ss_mask(BACKDROP_SIZE, scrolls)
    paint(img, (96, 64, 32), scale_mask(shift(m, 1, 1), 0.45))
    paint(img, (10, 6, 4), scale_mask(m, 0.6))


def cape_cells():
    """Cells (polygon, shade 0..1) of the cape streaming to the left."""
    top = [(220, 336), (160, 322), (92, 250), (6, 276)]
    bottom = [(178, 420), (124, 470), (58, 376), (10, 404)]
    nu, nv = 64, 48
    # ragged trailing edge: a few deep notches and small tears
    def reach(v):
        notch = sum(depth * math.exp(-((v - at) / width) ** 2)
                    for at, depth, width in ((0.18, 0.10, 0.05),
                                             (0.47, 0.13, 0.06),
                                             (0.71, 0.08, 0.04),
                                             (0.93, 0.12, 0.05)))
        return 1.0 - notch - 0.02 * abs(math.sin(v * 37.0))

    def point(u, v):
        a = bezier(*top, u)
        b = bezier(*bottom, u)
        x = a[0] + (b[0] - a[0]) * v
        y = a[1] + (b[1] - a[1]) * v
        y += 7 * u * u * math.sin(2 * math.pi * (1.6 * u - 0.3 * v))
        return x, y

    cells = []
    for j in range(nv):
        v0, v1 = j / nv, (j + 1) / nv
        v = (v0 + v1) / 2
        r0, r1 = reach(v0), reach(v1)
        for i in range(nu):
            u0, u1 = i / nu, (i + 1) / nu
            if u0 >= max(r0, r1):
                break
            quad = [point(min(u0, r0), v0), point(min(u1, r0), v0),
                    point(min(u1, r1), v1), point(min(u0, r1), v1)]
            u1 = min(u1, (r0 + r1) / 2)
            u = (u0 + u1) / 2
            # two broad folds fanning out from the shoulders
            phase = v * 2.1 + 0.35 * u + 0.25 * math.sin(2.4 * u + 1.0)
            fold = 0.5 + 0.5 * math.cos(2 * math.pi * phase)
            fold = fold ** 1.6
            glow = smoothstep(0.05, 0.9, u)          # thin fabric, lit from behind
            light = 0.16 + 0.34 * glow + 0.42 * fold * (0.35 + 0.65 * glow)
            light += 0.22 * (1 - smoothstep(0.0, 0.08, v)) * glow   # top hem
            light -= 0.12 * smoothstep(0.85, 1.0, v)                # lower hem
            cells.append((quad, clamp(light)))
    return cells


CAPE_RAMP = [(0, (30, 6, 5)), (0.4, (86, 16, 11)), (0.75, (150, 36, 18)),
             (1, (212, 90, 38))]
RIBBON_RAMP = [(0, (54, 10, 8)), (0.5, (130, 28, 16)), (1, (226, 120, 52))]


def ribbon_cells(start, length, rise, wave, phase, width):
    cells = []
    n = 40
    for i in range(n):
        def centre(u):
            return (start[0] - length * u,
                    start[1] - rise * u + wave * u * math.sin(
                        2 * math.pi * (1.6 * u + phase)))
        u0, u1 = i / n, (i + 1) / n
        a, b = centre(u0), centre(u1)
        w0 = width * (1 - 0.45 * u0)
        w1 = width * (1 - 0.45 * u1)
        dx, dy = b[0] - a[0], b[1] - a[1]
        ln = math.hypot(dx, dy) or 1
        nx, ny = -dy / ln, dx / ln
        twist = 0.5 + 0.5 * math.cos(2 * math.pi * (3 * u0 + phase))
        cells.append(([(a[0] + nx * w0 / 2, a[1] + ny * w0 / 2),
                       (b[0] + nx * w1 / 2, b[1] + ny * w1 / 2),
                       (b[0] - nx * w1 / 2, b[1] - ny * w1 / 2),
                       (a[0] - nx * w0 / 2, a[1] - ny * w0 / 2)],
                      0.2 + 0.8 * twist * (0.5 + 0.5 * u0)))
    return cells


def render_cells(layer, cells, colour_ramp):
    """Paint shaded cells onto an RGBA layer (device pixels), anti-aliased."""
    x0, y0, x1, y1 = FIGURE_BOX
    size = dev((x1 - x0, y1 - y0))
    k = SS * SCALE
    big = Image.new("RGB", (size[0] * SS, size[1] * SS))
    bm = Image.new("L", big.size, 0)
    dc, dm = ImageDraw.Draw(big), ImageDraw.Draw(bm)
    # bleed the colours past the outline first, so the anti-aliased edge
    # pixels keep the cloth's colour instead of fading towards black
    for poly, shade in cells:
        pts = [((x - x0) * k, (y - y0) * k) for x, y in poly]
        dc.line(pts + pts[:1], fill=ramp(colour_ramp, shade), width=lw(2))
    for poly, shade in cells:
        pts = [((x - x0) * k, (y - y0) * k) for x, y in poly]
        c = ramp(colour_ramp, shade)
        dc.polygon(pts, fill=c, outline=c)
        dm.polygon(pts, fill=255, outline=255)
    colour = big.resize(size, Image.BOX)
    mask = bm.resize(size, Image.BOX)
    part = Image.new("RGBA", size, (0, 0, 0, 0))
    part.paste(colour, (0, 0))
    part.putalpha(mask)
    layer.alpha_composite(part)


def silhouette_shapes(d, tr):
    """The swordsman, facing right into the wind (solid shapes only)."""
    def shape(points):
        d.polygon(tr(points), fill=255)

    # wide conical hat, tipped a little towards the wind
    shape([(146, 298), (162, 292), (178, 283), (192, 272), (200, 266),
           (208, 272), (224, 285), (240, 296), (258, 306), (250, 310),
           (228, 307), (200, 303), (170, 301)])
    shape(ellipse_points(207, 314, 9.5, 10.5))                     # head
    shape([(198, 318), (214, 318), (218, 336), (194, 338)])        # neck
    # torso, belted waist and the robe, its back fluttering to the left
    shape([(168, 346), (178, 337), (204, 333), (230, 335), (240, 346),
           (240, 372), (232, 408), (240, 446), (250, 490), (256, 528),
           (236, 533), (214, 529), (190, 534), (164, 530), (140, 528),
           (116, 524), (100, 517), (120, 506), (140, 482), (158, 452),
           (174, 412), (168, 378)])
    # sash ends streaming from the back of the belt
    shape(stroke_polygon([(176, 410), (160, 414), (144, 412), (128, 418),
                          (114, 420)], [7, 6, 5, 4, 2]))
    shape(stroke_polygon([(176, 414), (162, 422), (148, 426), (136, 434)],
                         [6, 5, 4, 2]))
    # trousers and boots in a wide stance
    shape(limb([(232, 524), (244, 562), (252, 596)], [20, 14, 11]))
    shape(limb([(184, 526), (172, 562), (160, 596)], [20, 14, 11]))
    shape([(244, 590), (266, 596), (266, 601), (242, 601)])
    shape([(166, 590), (144, 596), (144, 601), (168, 601)])
    # front arm, hand resting on the belt
    shape(limb([(230, 340), (246, 374), (236, 404)], [17, 13, 10]))
    shape(ellipse_points(234, 405, 6, 5.5))
    # sword arm swept back; the wide sleeve streams behind the wrist
    shape(limb([(180, 344), (158, 388), (137, 424)], [20, 15, 11]))
    shape([(170, 366), (152, 404), (140, 420), (130, 434), (118, 444),
           (100, 448), (86, 452), (98, 440), (112, 428), (128, 412),
           (146, 386), (160, 360)])


def draw_figure():
    """RGBA layer of the whole canvas with the swordsman, cape and sword."""
    x0, y0, x1, y1 = FIGURE_BOX
    logical = (x1 - x0, y1 - y0)
    size = dev(logical)
    layer = Image.new("RGBA", size, (0, 0, 0, 0))

    render_cells(layer, cape_cells(), CAPE_RAMP)
    render_cells(layer, ribbon_cells((158, 296), 146, 46, 9, 0.0, 4.4),
                 RIBBON_RAMP)
    render_cells(layer, ribbon_cells((162, 300), 126, 26, 7, 0.35, 3.6),
                 RIBBON_RAMP)

    # the silhouette, rim-lit by the sun behind it; the rim is a picture
    # pixel wide at either scale
    k = SS * SCALE
    big = Image.new("L", (size[0] * SS, size[1] * SS), 0)
    silhouette_shapes(ImageDraw.Draw(big),
                      lambda pts: [((x - x0) * k, (y - y0) * k) for x, y in pts])
    edge_big = ImageChops.subtract(big, big.filter(ImageFilter.MinFilter(2 * k + 1)))
    body = big.resize(size, Image.BOX)
    edge = edge_big.resize(size, Image.BOX)
    sx, sy, _ = SUN
    weight = Image.new("L", size)
    weight.putdata([int(255 * clamp(1.25 - math.hypot(x - sx, y - sy) / 170.0))
                    for y in centres(y0, y1 - 1) for x in centres(x0, x1 - 1)])
    rim = ImageChops.multiply(scale_mask(edge, 1.6), weight)
    sil = Image.new("RGBA", size, SILHOUETTE + (0,))
    sil.putalpha(body)
    layer.alpha_composite(sil)
    rim_rgba = Image.new("RGBA", size, (255, 166, 76, 0))
    rim_rgba.putalpha(ImageChops.multiply(rim, body))
    layer.alpha_composite(rim_rgba)

    # the sword, pointing back and down out of the frame
    hand = (133, 428)
    tip = (6, 505)
    dx, dy = tip[0] - hand[0], tip[1] - hand[1]
    ln = math.hypot(dx, dy)
    ux, uy = dx / ln, dy / ln
    nx, ny = -uy, ux

    def along(s, o=0.0):
        return (hand[0] + ux * s + nx * o, hand[1] + uy * s + ny * o)

    blade_len = ln

    def blade(d, tr):
        d.polygon(tr([along(9, -2.9), along(blade_len - 14, -2.4),
                      along(blade_len, 0), along(blade_len - 14, 2.4),
                      along(9, 2.9)]), fill=255)
    def blade_lit(d, tr):
        d.polygon(tr([along(9, -2.9), along(blade_len - 14, -2.4),
                      along(blade_len, 0), along(9, 0)]), fill=255)
    def blade_edge(d, tr):
        d.line(tr([along(10, -2.4), along(blade_len - 14, -2.0),
                   along(blade_len - 1, -0.2)]), fill=255, width=lw(1))
    def guard(d, tr):
        d.polygon(tr([along(6, -7), along(9.5, -6), along(9.5, 6), along(6, 7),
                      along(4.5, 0)]), fill=255)
    def grip(d, tr):
        d.polygon(tr([along(-11, -1.8), along(6, -2), along(6, 2),
                      along(-11, 1.8)]), fill=255)
    def pommel(d, tr):
        cx, cy = along(-12)
        d.ellipse(tr([(cx - 2.6, cy - 2.6), (cx + 2.6, cy + 2.6)]), fill=255)
    def tassel(d, tr):
        p = along(-12)
        pts = [(p[0] + 1 * t - 20 * t * t, p[1] + 30 * t + 4 * math.sin(6 * t))
               for t in [i / 12 for i in range(13)]]
        d.line(tr(pts), fill=255, width=lw(1.6))
        end = pts[-1]
        d.polygon(tr([(end[0] - 2, end[1] - 1), (end[0] + 2, end[1] - 1),
                      (end[0] + 4, end[1] + 9), (end[0] - 5, end[1] + 8)]),
                  fill=255)

    def put(paint_fn, colour):
        m = ss_mask(logical, paint_fn, origin=(x0, y0))
        part = Image.new("RGBA", size, colour + (0,))
        part.putalpha(m)
        layer.alpha_composite(part)

    put(tassel, (150, 30, 18))
    put(blade, (118, 116, 124))
    put(blade_lit, (206, 204, 202))
    put(blade_edge, (255, 226, 176))
    put(grip, (64, 36, 18))
    put(guard, GOLD)
    put(pommel, GOLD)
    put(lambda d, tr: d.polygon(tr(ellipse_points(hand[0], hand[1], 6.2, 5.6)),
                                fill=255), SILHOUETTE)

    full = Image.new("RGBA", dev(BACKDROP_SIZE), (0, 0, 0, 0))
    full.paste(layer, dev((x0, y0)))
    return full


def to_palette(rgb, figure, parent=None):
    """Palette image: entries 0..5 carry the glow round the figure outside
    the frame, 6 and 7 the flat patches, the rest the quantised picture.

    parent is the 1x picture when drawing at a larger scale.  Its see-through
    and opaque pixels decide the window's shape and its hit tests, in the
    program's own pixels; so every device pixel under an opaque 1x pixel is
    opaque and every one under a clear 1x pixel is clear.  Only under the 1x
    glow's partial pixels does the finer drawing choose for itself."""
    w, h = rgb.size
    alpha = figure.getchannel("A")
    halo = alpha.filter(grow(1)).filter(blur(3.2))
    halo = scale_mask(halo, 1.7)

    # outside the frame only the solid part of the figure is opaque
    opaque = rgb.copy()
    solid = alpha.point(lambda v: 255 if v >= 128 else 0)
    clear = None
    if parent is not None:
        indices = Image.frombytes("L", parent.size, parent.tobytes())
        above = indices.resize((w, h), Image.NEAREST)
        solid = ImageChops.lighter(solid, above.point(
            lambda i: 255 if i >= IDX_PATCH else 0))
        clear = above.point(lambda i: 255 if i == IDX_TRANSPARENT else 0)
        solid = ImageChops.multiply(solid, ImageChops.invert(clear))
    outside = Image.new("L", rgb.size, 0)
    outside.paste(255, (0, 0, px(FRAME_LEFT), h))
    empty = ImageChops.multiply(outside, ImageChops.invert(solid))
    opaque.paste(PATCH, (0, 0), empty)

    fixed = [PATCH, PANEL_FILL]
    n_free = 256 - FIRST_FREE_INDEX
    # choose the colours from the detailed parts; the big flat browser panel
    # has its own entry and would only crowd the palette with dark browns
    px0, py0, px1, py1 = BROWSER_PANEL
    bw, bh = BACKDROP_SIZE
    pixels = []
    for box in ((0, 0, px0, bh), (0, 0, px0, bh),        # the scene counts twice
                (px0, 0, bw, py0), (px0, py1 - 8, bw, bh),
                (px1 - 8, py0, bw, py1)):
        pixels += list(opaque.crop(dev(box)).getdata())
    sample = Image.new("RGB", (len(pixels), 1))
    sample.putdata(pixels)
    sample = sample.quantize(colors=n_free, method=Image.Quantize.MEDIANCUT,
                             kmeans=8, dither=Image.Dither.NONE)
    free = sample.getpalette()[:n_free * 3]
    free += list(PATCH) * (n_free - len(free) // 3)
    opaque_pal = [c for col in fixed for c in col] + free
    n_opaque = len(opaque_pal) // 3
    pal_img = Image.new("P", (1, 1))
    pal_img.putpalette(opaque_pal + list(PATCH) * (256 - n_opaque))
    mapped = opaque.quantize(palette=pal_img, dither=Image.Dither.FLOYDSTEINBERG)
    lut = bytes([i + IDX_PATCH if i < n_opaque else IDX_PATCH
                 for i in range(256)])
    idx = bytearray(mapped.tobytes().translate(lut))

    # force the flat areas to their exact entries
    def force(box, index):
        bx0, by0, bx1, by1 = dev_box(box)
        for y in range(by0, by1 + 1):
            idx[y * w + bx0:y * w + bx1 + 1] = bytes([index]) * (bx1 - bx0 + 1)
    force((CLOSE_BOX[0] - 1, FRAME_BORDER, CLOSE_BOX[2] + 1, CLOSE_BOX[3] + 1),
          IDX_PATCH)
    force(inner_box(BROWSER_PANEL), IDX_PANEL)

    s_px, h_px = solid.load(), halo.load()
    a_px = alpha.load()
    c_px = clear.load() if clear is not None else None
    for y in range(h):
        for x in range(px(FRAME_LEFT)):
            if s_px[x, y]:
                continue
            if c_px is not None and c_px[x, y]:
                idx[y * w + x] = IDX_TRANSPARENT
                continue
            level = max(a_px[x, y], h_px[x, y])
            best = min(range(len(HALO_ALPHAS)),
                       key=lambda i: abs(HALO_ALPHAS[i] - level))
            idx[y * w + x] = best

    palette = []
    for c in HALO_COLOURS:
        palette += list(c)
    palette += [PATCH[0], PATCH[1], PATCH[2], PANEL_FILL[0], PANEL_FILL[1],
                PANEL_FILL[2]]
    palette += free
    out = Image.frombytes("P", rgb.size, bytes(idx))
    out.putpalette(palette[:768])
    alphas = bytes(HALO_ALPHAS) + bytes([255] * (256 - len(HALO_ALPHAS)))
    out.info["transparency"] = alphas
    return out, alphas


def make_backdrop(parent=None):
    """The backdrop at the current scale; parent is the 1x backdrop when the
    scale is larger (see to_palette)."""
    img = frame_texture(BACKDROP_SIZE)
    draw_outer_border(img)
    draw_logo(img)
    draw_top_ornament(img)
    draw_scene(img)
    draw_browser_panel(img)
    draw_tab_row(img)
    draw_close_socket(img)

    figure = draw_figure()
    # a soft shadow where the figure passes over the frame's gold work
    shadow_mask = figure.getchannel("A").filter(blur(2.0))
    shadow_mask = shift(shadow_mask, 2, 3)
    limit = Image.new("L", dev(BACKDROP_SIZE), 0)
    limit.paste(hgradient(px(24), px(BACKDROP_SIZE[1]),
                          [(0, (255,) * 3), (0.6, (255,) * 3),
                           (1, (0,) * 3)]).convert("L"),
                dev((FRAME_LEFT, 0)))
    paint(img, INK, ImageChops.multiply(scale_mask(shadow_mask, 0.7), limit))
    base = img.convert("RGBA")
    base.alpha_composite(figure)
    return to_palette(base.convert("RGB"), figure, parent)


# ---------------------------------------------------------------------------
# Launcher buttons (135, 151, 153..160)
# ---------------------------------------------------------------------------
def make_close_button(pressed):
    w = CLOSE_BOX[2] - CLOSE_BOX[0] + 1
    h = CLOSE_BOX[3] - CLOSE_BOX[1] + 1
    img = Image.new("RGB", dev((w, h)), PATCH)
    cx, cy, r = w / 2, h / 2, 14.6

    def disc(rad):
        return ss_mask((w, h), lambda d, tr: d.ellipse(
            tr([(cx - rad, cy - rad), (cx + rad, cy + rad)]), fill=255), ss=8)

    paint(img, INK, disc(r + 0.4))
    ring = vgradient(px(w), px(h), [(0, GOLD_LIGHT), (0.5, GOLD), (1, BRONZE_DARK)]
                     if not pressed else
                     [(0, BRONZE), (0.5, BRONZE_DARK), (1, (60, 38, 18))])
    paint(img, ring, disc(r - 0.6))
    paint(img, INK, disc(r - 2.2))
    face = vgradient(px(w), px(h), [(0, (176, 52, 28)), (0.5, (118, 28, 16)),
                            (1, (64, 12, 8))] if not pressed else
                     [(0, (60, 12, 8)), (0.5, (84, 20, 12)), (1, (104, 26, 14))])
    paint(img, face, disc(r - 3.0))
    if not pressed:   # glossy highlight on the upper half
        gloss = ss_mask((w, h), lambda d, tr: d.ellipse(
            tr([(cx - 8.5, cy - 11.2), (cx + 8.5, cy - 1.5)]), fill=255), ss=8)
        paint(img, (238, 130, 90), scale_mask(gloss, 0.28))
    off = 1 if pressed else 0
    arm = 5.6

    def cross(d, tr, dx=0.0, dy=0.0):
        for sgn in (1, -1):
            d.line(tr([(cx + off + dx - arm, cy + off + dy - arm * sgn),
                       (cx + off + dx + arm, cy + off + dy + arm * sgn)]),
                   fill=255, width=lw(2.6, ss=8))
    paint(img, (40, 8, 6), ss_mask((w, h), lambda d, tr: cross(d, tr, 0.8, 0.8),
                                   ss=8))
    paint(img, (246, 224, 182) if not pressed else (214, 186, 146),
          ss_mask((w, h), cross, ss=8))
    return img


TAB_CAPTIONS = [  # id normal, id pressed, caption, file stem
    (153, 157, "游戏论坛", "tab_forum"),
    (154, 158, "充值系统", "tab_topup"),
    (155, 159, "官方网站", "tab_site"),
    (156, 160, "客服中心", "tab_service"),
]
TAB_FONT_SIZE = 14


def make_tab(caption, pressed):
    w, h = TAB_WIDTH, TAB_HEIGHT
    if pressed:
        face = vgradient(px(w), px(h), [(0, (26, 16, 9)), (0.3, (40, 25, 14)),
                                        (1, (52, 33, 18))])
    else:
        face = vgradient(px(w), px(h), [(0, (104, 68, 34)), (0.45, (72, 45, 24)),
                                        (0.5, (60, 37, 20)), (1, (40, 25, 14))])
    img = face
    d = ImageDraw.Draw(img)
    box = (0, 0, w - 1, h - 1)
    if pressed:
        bevel_ring(d, box, 0, INK, BRONZE_DARK)
        bevel_ring(d, box, 1, (18, 11, 6), BRONZE)
        bevel_ring(d, box, 2, (30, 19, 11), (60, 39, 20))
    else:
        bevel_ring(d, box, 0, BRONZE, INK)
        bevel_ring(d, box, 1, GOLD_LIGHT, BRONZE_DARK)
        bevel_ring(d, box, 2, (132, 90, 44), (50, 32, 17))
    # small gold lozenges flanking the caption
    sink = 1 if pressed else 0       # a pressed tab's face sinks a pixel
    for lx in (11, w - 12):
        lz = ss_mask((w, h), lambda dd, tr, lx=lx: dd.polygon(
            tr([(lx + 0.5, 11.5 + sink), (lx + 4, 15.5 + sink),
                (lx + 0.5, 19.5 + sink), (lx - 3, 15.5 + sink)]), fill=255))
        paint(img, INK, lz.filter(grow(1)))
        paint(img, GOLD if not pressed else BRONZE, lz)

    # the caption is set at the device size, hinted for that grid
    font = ImageFont.truetype(CJK_FONT, px(TAB_FONT_SIZE))
    x0, y0, x1, y1 = font.getbbox(caption)
    tx = (px(w) - (x1 - x0)) // 2 - x0
    ty = (px(h) - (y1 - y0)) // 2 - y0 + px(sink)
    text_colour = GOLD_TEXT if not pressed else (214, 168, 94)
    layer = Image.new("L", dev((w, h)), 0)
    ImageDraw.Draw(layer).text((tx, ty), caption, font=font, fill=255)
    paint(img, INK, shift(layer, 1, 1))
    paint(img, text_colour, layer)
    return img


# ---------------------------------------------------------------------------
# Application icon (7) and its Linux PNG
# ---------------------------------------------------------------------------
def make_emblem(size):
    """Gold "D" on a dark red heater shield, drawn big and scaled down."""
    big = 256
    s = big / 64.0
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))

    def shield_points(inset):
        pts = []
        top, left, right = 4 + inset, 7 + inset, 57 - inset
        pts.append((left, top + 3))
        for i in range(11):
            t = i / 10
            pts.append((left + (right - left) * t,
                        top - 2.0 * math.sin(math.pi * t) + 3 * abs(2 * t - 1)))
        for i in range(1, 21):
            t = i / 20
            pts.append((right - (right - 32) * (1 - math.cos(t * math.pi / 2)),
                        top + 3 + (61 - inset * 1.3 - top - 3) * math.sin(
                            t * math.pi / 2)))
        for i in range(19, 0, -1):
            t = i / 20
            pts.append((left + (32 - left) * (1 - math.cos(t * math.pi / 2)),
                        top + 3 + (61 - inset * 1.3 - top - 3) * math.sin(
                            t * math.pi / 2)))
        return [(x * s, y * s) for x, y in pts]

    def mask_of(pts):
        m = Image.new("L", (big, big), 0)
        ImageDraw.Draw(m).polygon(pts, fill=255)
        return m

    def put(colour, mask):
        layer = Image.new("RGBA", (big, big),
                          (colour if isinstance(colour, tuple) else (0, 0, 0)) + (0,))
        if not isinstance(colour, tuple):
            layer = colour.convert("RGBA")
        layer.putalpha(mask)
        img.alpha_composite(layer)

    detailed = size >= 32
    put(INK, mask_of(shield_points(0)))
    put(vgradient(big, big, [(0, GOLD_LIGHT), (0.5, GOLD), (1, BRONZE)]),
        mask_of(shield_points(1.4 if detailed else 2.0)))
    put(INK, mask_of(shield_points(4.2 if detailed else 5.0)))
    put(vgradient(big, big, [(0, (170, 44, 26)), (0.55, (112, 22, 14)),
                             (1, (58, 10, 8))]),
        mask_of(shield_points(5.0 if detailed else 5.8)))

    font = ImageFont.truetype(LATIN_FONT, int(big * (0.66 if detailed else 0.74)))
    bx0, by0, bx1, by1 = font.getbbox("D")
    letter = Image.new("L", (big, big), 0)
    ImageDraw.Draw(letter).text(((big - (bx1 - bx0)) / 2 - bx0,
                                 big * 0.47 - (by1 - by0) / 2 - by0),
                                "D", font=font, fill=255)
    outline = letter.filter(ImageFilter.MaxFilter(13 if detailed else 17))
    put(INK, outline)
    put(vgradient(big, big, [(0, GOLD_LIGHT), (0.35, GOLD_LIGHT),
                             (0.55, (236, 176, 80)), (0.8, (178, 100, 34)),
                             (1, (178, 100, 34))]), letter)
    small = img.resize((size, size), Image.LANCZOS)
    if size <= 32:   # small sizes go soft when scaled; crisp them up a bit
        rgb = small.convert("RGB").filter(
            ImageFilter.UnsharpMask(radius=0.8, percent=70, threshold=0))
        rgb.putalpha(small.getchannel("A"))
        small = rgb
    return small


def write_ico(path, images):
    """Icon file with classic 32-bit DIB entries (BGRA plus AND mask)."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for im in images:
        w, h = im.size
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        rows = []
        mask_stride = ((w + 31) // 32) * 4
        mask_rows = []
        px = im.load()
        for y in range(h - 1, -1, -1):
            row = bytearray()
            bits = bytearray(mask_stride)
            for x in range(w):
                r, g, b, a = px[x, y]
                row += bytes((b, g, r, a))
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            rows.append(bytes(row))
            mask_rows.append(bytes(bits))
        blob = header + b"".join(rows) + b"".join(mask_rows)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                                   len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        f.write(b"".join(entries))
        f.write(b"".join(blobs))


# ---------------------------------------------------------------------------
# Game window skin (164)
# ---------------------------------------------------------------------------
CAPTION_STOPS = [  # row -> colour of the stretched caption column
    (0, SKIN_OUTLINE), (1, SKIN_GOLD), (2, SKIN_BROWN), (3, (104, 70, 37)),
    (4, (84, 55, 30)), (19, (58, 37, 20)), (20, (50, 32, 18)),
    (35, (32, 20, 11)), (36, (24, 15, 9)), (37, (120, 84, 38)),
    (38, SKIN_OUTLINE),
]


def caption_colour(y):
    """Colour of the caption's row y (a picture coordinate, the top of a
    device row).  A one-row step of the design (the outline, the gold line)
    stays one picture pixel of flat colour at any scale; the long shades in
    between are followed more finely."""
    stops = CAPTION_STOPS
    for (p0, _), (p1, _) in zip(stops, stops[1:]):
        if p0 <= y < p1 and p1 - p0 <= 1:
            return ramp(stops, p0)
    return ramp(stops, y)


def caption_column():
    """The caption's colours, one per device row."""
    return [caption_colour(y / SCALE) for y in range(px(CAPTION_H))]


def make_skin():
    w, h = SKIN_SIZE
    img = Image.new("RGB", dev((w, h)), SKIN_BODY)
    d = ImageDraw.Draw(img)
    column = caption_column()
    for y, c in enumerate(column):
        d.line([(0, y), (px(w) - 1, y)], fill=c)

    # side and bottom borders: outline, gold line, brown, outermost first
    edge = [SKIN_OUTLINE, SKIN_GOLD, SKIN_BROWN]
    for i, c in enumerate(edge):
        block(d, (i, CAPTION_H, i, h - 1 - i), c)
        block(d, (w - 1 - i, CAPTION_H, w - 1 - i, h - 1 - i), c)
        block(d, (i, h - 1 - i, w - 1 - i, h - 1 - i), c)
    # the caption's two ends close the frame: vertical lines down to row 36
    for i, c in enumerate(edge):
        block(d, (i, i, i, 36), c)
        block(d, (w - 1 - i, i, w - 1 - i, 36), c)
    # the separator rows 37..38 join the side borders
    for x in (0, w - 1):
        block(d, (x, 37, x, 38), SKIN_OUTLINE)
    for x in (1, w - 2):
        block(d, (x, 37, x, 38), SKIN_GOLD)
    for x in (2, w - 3):
        block(d, (x, 38, x, 38), SKIN_BROWN)

    draw_skin_logo(img)
    draw_skin_end_cap(img)
    draw_skin_corners(img)
    return img.convert("RGBA")


def draw_skin_logo(img):
    """Icon seat and word-mark on a dark plate; the title follows at 97."""
    tx, _ = TITLE_ORIGIN
    plate = ss_mask(SKIN_SIZE, lambda dd, tr: dd.polygon(tr(
        [(5, 6), (tx - 12, 6), (tx - 3, 19.5), (tx - 12, 33), (5, 33)]),
        fill=255))
    paint(img, (10, 6, 4), plate.filter(grow(1)))
    paint(img, vgradient(img.size[0], img.size[1],
                         [(0, (40, 25, 14)), (0.08, (40, 25, 14)),
                          (0.5, (24, 15, 9)), (0.9, (18, 11, 7)),
                          (1, (18, 11, 7))]), plate)
    edge_line = ImageChops.subtract(plate, plate.filter(shrink(1)))
    paint(img, (150, 104, 46), scale_mask(edge_line, 0.8))
    # calm round seat for the 16 x 16 icon
    ix0, iy0, ix1, iy1 = ICON_BOX
    seat = ss_mask(SKIN_SIZE, lambda dd, tr: dd.ellipse(
        tr([(ix0 - 3, iy0 - 3), (ix1 + 4, iy1 + 4)]), fill=255))
    paint(img, (130, 90, 40), seat)
    paint(img, (16, 10, 6), ss_mask(SKIN_SIZE, lambda dd, tr: dd.ellipse(
        tr([(ix0 - 2, iy0 - 2), (ix1 + 3, iy1 + 3)]), fill=255)))
    gold_lettering(img, "Drelk", 16, ((ix1 + 4 + tx - 12) / 2 + 1, 19.5),
                   outline=1, glow=0)


def draw_skin_end_cap(img):
    """Right end of the caption, under the window buttons: a gold bracket
    in the corner answering the ones at the bottom."""
    w = SKIN_SIZE[0]
    d = ImageDraw.Draw(img)
    colour = (150, 104, 46)
    block(d, (w - 18, 5, w - 6, 5), colour)
    block(d, (w - 6, 5, w - 6, 17), colour)
    block(d, (w - 20, 5, w - 20, 5), colour)
    block(d, (w - 6, 19, w - 6, 19), colour)


def draw_skin_corners(img):
    w, h = SKIN_SIZE
    # a short gold bracket inside the bottom-left corner; the bottom-right
    # one carries the size grip instead
    d = ImageDraw.Draw(img)
    bracket = (120, 84, 38)
    block(d, (5, h - 18, 5, h - 6), bracket)
    block(d, (5, h - 6, 17, h - 6), bracket)
    block(d, (5, h - 20, 5, h - 20), bracket)
    block(d, (19, h - 6, 19, h - 6), bracket)
    # size grip: diagonal rows of dots in the bottom-right corner
    for i in range(3):
        for j in range(3 - i):
            x = w - 7 - 4 * i
            y = h - 7 - 4 * j
            block(d, (x - 1, y - 1, x, y), (214, 160, 80))
            block(d, (x + 1, y + 1, x + 1, y + 1), (8, 5, 3))
            block(d, (x, y + 1, x, y + 1), (70, 46, 22))
            block(d, (x + 1, y, x + 1, y), (70, 46, 22))


# ---------------------------------------------------------------------------
# Caption button strips (161, 162, 163, 165)
# ---------------------------------------------------------------------------
BUTTON_STATES = {  # face top, face bottom, highlight, glyph
    "normal": ((78, 50, 26), (44, 28, 15), (128, 88, 44), (242, 178, 108)),
    "hot": ((146, 86, 36), (100, 56, 22), (214, 146, 72), (255, 228, 184)),
    "pressed": ((24, 15, 9), (36, 23, 12), (16, 10, 6), (206, 146, 84)),
}


def button_face(w, h, state):
    top, bottom, light, _ = BUTTON_STATES[state]
    img = vgradient(px(w), px(h), [(0, top), (1, bottom)])
    d = ImageDraw.Draw(img)
    d.rectangle(dev_box((0, 0, w - 1, h - 1)), outline=SKIN_OUTLINE,
                width=SCALE)
    if state == "pressed":
        block(d, (1, 1, w - 2, 1), light)
        block(d, (1, 1, 1, h - 2), light)
    else:
        block(d, (1, 1, w - 2, 1), light)
        block(d, (1, 2, 1, h - 2), mix(light, top, 0.5))
        block(d, (w - 2, 2, w - 2, h - 2), mix(bottom, SKIN_OUTLINE, 0.4))
        block(d, (2, h - 2, w - 2, h - 2), mix(bottom, SKIN_OUTLINE, 0.4))
    return img


def glyph_close(d, tr, o):
    for a, b in (((6, 6), (14, 14)), ((14, 6), (6, 14))):
        d.line(tr([(a[0] + o, a[1] + o), (b[0] + o, b[1] + o)]), fill=255,
               width=lw(2.2))


def glyph_max(d, tr, o):
    d.rectangle(tr([(5.5 + o, 5.5 + o), (14.5 + o, 14.5 + o)]), fill=255)
    d.rectangle(tr([(7 + o, 8.5 + o), (13 + o, 13 + o)]), fill=0)


def glyph_min(d, tr, o):
    d.rectangle(tr([(5.5 + o, 12.5 + o), (14.5 + o, 14.5 + o)]), fill=255)


def make_button_strip(cell, glyph):
    w, h = cell
    strip = Image.new("RGB", dev((w * 3, h)))
    for i, state in enumerate(("normal", "hot", "pressed")):
        face = button_face(w, h, state)
        if glyph:
            o = 1 if state == "pressed" else 0
            m = ss_mask((w, h), lambda d, tr: glyph(d, tr, o))
            paint(face, SKIN_OUTLINE, scale_mask(shift(m, 1, 1), 0.8))
            paint(face, BUTTON_STATES[state][3], m)
        strip.paste(face, dev((i * w, 0)))
    return strip


# ---------------------------------------------------------------------------
# Output and self-check
# ---------------------------------------------------------------------------
def save_bmp(img, name):
    img.convert("RGB").save(RES / suffixed(name), "BMP")


def set_scale(scale):
    global SCALE
    SCALE = scale


def build():
    RES.mkdir(exist_ok=True)
    first = None
    for scale in SCALES:
        set_scale(scale)
        # the larger versions keep the 1x backdrop's see-through layout
        backdrop, alphas = make_backdrop(first)
        first = first or backdrop
        backdrop.save(RES / suffixed("backdrop_143.png"), transparency=alphas,
                      optimize=False)

        save_bmp(make_close_button(False), "close_135.bmp")
        save_bmp(make_close_button(True), "close_down_151.bmp")
        for normal_id, pressed_id, caption, stem in TAB_CAPTIONS:
            save_bmp(make_tab(caption, False), "%s_%d.bmp" % (stem, normal_id))
            save_bmp(make_tab(caption, True), "%s_down_%d.bmp" % (stem, pressed_id))

        make_skin().save(RES / suffixed("skin_164.png"), optimize=False)
        cell = (CAPBTN_CELL, CAPBTN_CELL)
        save_bmp(make_button_strip(cell, glyph_close), "capbtn_close_161.bmp")
        save_bmp(make_button_strip(cell, glyph_max), "capbtn_max_162.bmp")
        save_bmp(make_button_strip(cell, glyph_min), "capbtn_min_163.bmp")
        save_bmp(make_button_strip(TEXTBTN_CELL, None), "capbtn_text_165.bmp")
    set_scale(1)

    # The icons have no larger versions: the icon group already holds 16, 32
    # and 48 pixels for the system to choose from, and the desktop scales the
    # 64-pixel emblem like any application's icon.
    write_ico(RES / "app_7.ico", [make_emblem(s) for s in ICON_SIZES])
    make_emblem(ICON_PNG_SIZE).save(RES / "app_64.png", optimize=False)


BMP_FILES = {  # file -> (width, height) at scale 1
    "close_135.bmp": (31, 32), "close_down_151.bmp": (31, 32),
    "capbtn_close_161.bmp": (60, 20), "capbtn_max_162.bmp": (60, 20),
    "capbtn_min_163.bmp": (60, 20), "capbtn_text_165.bmp": (123, 20),
}
for _n, _p, _c, _s in TAB_CAPTIONS:
    BMP_FILES["%s_%d.bmp" % (_s, _n)] = (TAB_WIDTH, TAB_HEIGHT)
    BMP_FILES["%s_down_%d.bmp" % (_s, _p)] = (TAB_WIDTH, TAB_HEIGHT)
STRIPS = {  # button strip -> cell width at scale 1 (three cells, CAPBTN_CELL high)
    "capbtn_close_161.bmp": CAPBTN_CELL, "capbtn_max_162.bmp": CAPBTN_CELL,
    "capbtn_min_163.bmp": CAPBTN_CELL, "capbtn_text_165.bmp": TEXTBTN_CELL[0],
}
SCALED_FILES = ["backdrop_143.png", "skin_164.png"] + list(BMP_FILES)


class CheckFailed(Exception):
    pass


def expect(cond, what):
    if not cond:
        raise CheckFailed(what)


def check_no_key(img, name):
    rgb = img.convert("RGB")
    colours = rgb.getcolors(1 << 24)
    expect(all(c != KEY_COLOUR for _, c in colours),
           "%s contains the colour key (255, 0, 255)" % name)


def check_bmp(name, size):
    raw = (RES / name).read_bytes()
    expect(raw[:2] == b"BM", name + ": not a BMP")
    hsize, w, h, planes, bpp, comp = struct.unpack_from("<IiiHHI", raw, 14)
    expect(hsize >= 40, name + ": old-style header")
    expect((w, h) == size, "%s: size %dx%d, want %dx%d" % ((name, w, h) + size))
    expect(h > 0, name + ": not stored bottom-up")
    expect(bpp == 24 and comp == 0, name + ": not uncompressed 24-bit")
    check_no_key(Image.open(RES / name), name)


def check_backdrop():
    name = suffixed("backdrop_143.png")
    im = Image.open(RES / name)
    expect(im.size == dev(BACKDROP_SIZE) and im.mode == "P",
           name + ": size/mode")
    pal = im.getpalette()
    expect(len(pal) == 768, name + ": palette must have 256 entries")
    trns = im.info.get("transparency")
    expect(isinstance(trns, bytes), name + ": no tRNS alpha table")
    trns = trns + bytes([255] * (256 - len(trns)))
    expect(tuple(trns[:6]) == HALO_ALPHAS and set(trns[6:]) == {255},
           "%s: tRNS alphas wrong: %r" % (name, tuple(trns[:8])))
    expect(all(tuple(pal[i * 3:i * 3 + 3]) != KEY_COLOUR for i in range(256)),
           name + ": palette holds the colour key")
    w, h = im.size
    data = im.tobytes()
    for y in range(h):
        row = data[y * w:(y + 1) * w]
        expect(min(row[px(FRAME_LEFT):]) >= IDX_PATCH,
               "%s row %d: translucent pixel inside the frame" % (name, y))
    outside = [data[y * w + x] for y in range(h) for x in range(px(FRAME_LEFT))]
    expect(outside.count(IDX_TRANSPARENT) > 0.5 * len(outside),
           name + ": strip left of the frame is not mostly transparent")
    x0, y0, x1, y1 = dev_box(CLOSE_BOX)
    patch = {data[y * w + x] for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)}
    expect(patch == {IDX_PATCH}, name + ": close button area not plain")
    expect(tuple(pal[IDX_PATCH * 3:IDX_PATCH * 3 + 3]) == PATCH,
           name + ": patch colour")


def check_buttons():
    close = Image.open(RES / suffixed("close_135.bmp")).convert("RGB")
    expect(close.getpixel((0, 0)) == PATCH and
           close.getpixel((close.size[0] - 1, close.size[1] - 1)) == PATCH,
           "close button corners must match the backdrop patch")

    for name, cell in STRIPS.items():
        name = suffixed(name)
        cw, ch = px(cell), px(CAPBTN_CELL)
        strip = Image.open(RES / name).convert("L")
        means = [sum(strip.crop((i * cw, 0, (i + 1) * cw, ch)).getdata()) /
                 (cw * ch) for i in range(3)]
        expect(means[1] > means[0] > means[2],
               "%s: hot must be brighter and pressed darker than normal" % name)
    face = Image.open(RES / suffixed("capbtn_text_165.bmp")).convert("RGB")
    cw = TEXTBTN_CELL[0]
    for i in range(3):
        cell_px = face.crop(dev((i * cw + 2, 2, i * cw + 39, 18))).getdata()
        expect(max(luminance(c) for c in cell_px) < luminance(TEXTBTN_TEXT) - 40,
               "capbtn_text_165.bmp: face too light for the caption colour")


def check_skin():
    """The program cuts the skin into frame pieces at fixed places (scaled at
    the larger versions): the caption background is one column stretched
    across, the side and bottom borders small squares stretched along."""
    name = suffixed("skin_164.png")
    skin = Image.open(RES / name)
    expect(skin.size == dev(SKIN_SIZE) and skin.mode == "RGBA",
           name + ": size/mode")
    expect(skin.getchannel("A").getextrema() == (255, 255), name + ": not opaque")
    check_no_key(skin, name)
    rgb = skin.convert("RGB")
    w, h = rgb.size

    def column(x, y0, y1):
        return [rgb.getpixel((x, y)) for y in range(y0, y1)]

    def row(y, x0, x1):
        return [rgb.getpixel((x, y)) for x in range(x0, x1)]
    caption = column(px(CAPTION_FILL_X), 0, px(CAPTION_H))
    joins = [px(LOGO_BLOCK_W) - 1, px(SKIN_SIZE[0] - END_CAP_W)]
    joins += range(px(CAPTION_FILL_X), px(CAPTION_FILL_X + 1))
    for x in joins:
        expect(column(x, 0, px(CAPTION_H)) == caption,
               "%s: column %d does not join the stretched caption" % (name, x))
    b, c = px(BORDER_W), px(CAPTION_H)
    for x0 in (0, w - b):
        first = row(c, x0, x0 + b)
        expect(all(row(y, x0, x0 + b) == first for y in range(c, c + b)),
               "%s: side border piece at %d is not the same all down" % (name, x0))
    corner = px(CORNER)
    first = column(corner, h - b, h)
    expect(all(column(x, h - b, h) == first for x in range(corner, corner + b)),
           name + ": bottom border piece is not the same all along")


def check_icons():
    ico = (RES / "app_7.ico").read_bytes()
    kind, count = struct.unpack_from("<HH", ico, 2)
    expect(kind == 1 and count == len(ICON_SIZES), "icon directory")
    for i, size in enumerate(ICON_SIZES):
        w, h, _, _, _, bpp, length, off = struct.unpack_from("<BBBBHHII", ico,
                                                             6 + 16 * i)
        expect((w, h, bpp) == (size, size, 32), "icon entry %d" % i)
        expect(struct.unpack_from("<I", ico, off)[0] == 40, "icon %d: DIB" % i)
    png = Image.open(RES / "app_64.png")
    expect(png.mode == "RGBA" and png.size == (ICON_PNG_SIZE,) * 2, "app_64.png")


def check_alpha_layout(first, scaled, name):
    """Every 1x pixel that is fully opaque is a block of fully opaque device
    pixels at the larger scale, and every fully clear one a clear block: the
    window's shape and its hit tests, which the program decides in its own
    pixels, are the same whichever version is shown."""
    a1 = first.convert("RGBA").getchannel("A")
    a2 = scaled.convert("RGBA").getchannel("A")
    above = a1.resize(a2.size, Image.NEAREST)
    opaque = above.point(lambda v: 255 if v == 255 else 0)
    clear = above.point(lambda v: 255 if v == 0 else 0)
    expect(ImageChops.multiply(opaque, ImageChops.invert(a2)).getbbox() is None,
           name + ": a device pixel under an opaque 1x pixel is not opaque")
    expect(ImageChops.multiply(clear, a2).getbbox() is None,
           name + ": a device pixel under a clear 1x pixel is not clear")


# Resemblance is judged on tiles of TILE x TILE 1x pixels.  Lettering is set
# anew for each size (hinted for its own grid), so a tile of text may differ
# by about 17; a part at the wrong place or size differs by far more.
TILE = 16
MAX_TILE_DIFF = 32     # largest mean difference of a tile, out of 255
MAX_MEAN_DIFF = 12     # largest mean difference of the whole picture


def check_resembles(first, scaled, name):
    """The larger version, brought down to 1x, is the same picture: every
    tile of it is close to the 1x one.  This catches a part drawn at the
    wrong place or a piece left at 1x size."""
    grey = (128, 128, 128, 255)

    def flat(im, size):
        base = Image.new("RGBA", size, grey)
        base.alpha_composite(im.convert("RGBA"))
        return base.convert("RGB")
    small = flat(scaled, scaled.size).resize(first.size, Image.BOX)
    diff = ImageChops.difference(small, flat(first, first.size)).convert("L")
    w, h = first.size
    mean = sum(diff.getdata()) / (w * h)
    expect(mean <= MAX_MEAN_DIFF, "%s: differs from the 1x picture by %.1f"
           % (name, mean))
    for y in range(0, h, TILE):
        for x in range(0, w, TILE):
            tile = diff.crop((x, y, min(x + TILE, w), min(y + TILE, h)))
            values = list(tile.getdata())
            mean = sum(values) / len(values)
            expect(mean <= MAX_TILE_DIFF,
                   "%s: tile at %d,%d differs from the 1x picture by %.1f"
                   % (name, x, y, mean))


def check_versions():
    """The larger versions against the 1x ones."""
    for scale in SCALES[1:]:
        for name in SCALED_FILES:
            set_scale(1)
            first = Image.open(RES / name)
            set_scale(scale)
            scaled_name = suffixed(name)
            scaled = Image.open(RES / scaled_name)
            expect(scaled.size == dev(first.size),
                   "%s: %dx%d is not %d times %s" % ((scaled_name,) + scaled.size
                                                     + (scale, name)))
            check_alpha_layout(first, scaled, scaled_name)
            check_resembles(first, scaled, scaled_name)
    set_scale(1)


def check():
    for scale in SCALES:
        set_scale(scale)
        check_backdrop()
        for name, size in BMP_FILES.items():
            check_bmp(suffixed(name), dev(size))
        check_buttons()
        check_skin()
    set_scale(1)
    check_icons()
    check_versions()


def compose_launcher():
    """The launcher at the current scale as the player sees it: the backdrop
    over a grey checkerboard, with the tabs and the close button."""
    w, h = dev(BACKDROP_SIZE)
    board = Image.new("RGBA", (w, h))
    d = ImageDraw.Draw(board)
    for y in range(0, h, px(16)):
        for x in range(0, w, px(16)):
            g = 118 if (x // px(16) + y // px(16)) % 2 else 142
            d.rectangle((x, y, x + px(16) - 1, y + px(16) - 1), fill=(g, g, g, 255))
    board.alpha_composite(Image.open(RES / suffixed("backdrop_143.png")).convert("RGBA"))
    order = ["tab_site_155.bmp", "tab_forum_153.bmp", "tab_service_156.bmp",
             "tab_topup_154.bmp"]
    for slot, name in zip(tab_slots(), order):
        board.paste(Image.open(RES / suffixed(name)).convert("RGBA"),
                    dev(slot[:2]))
    board.paste(Image.open(RES / suffixed("close_135.bmp")).convert("RGBA"),
                dev(CLOSE_BOX[:2]))
    return board


def write_preview(path):
    compose_launcher().save(path)


COMPARE_BOX = (40, 0, 440, 130)   # the logo, the first tabs, the figure's hat


def write_comparison(path):
    """Side by side at device size: the 1x launcher enlarged with the
    nearest-pixel filter (what a display at scale 2 would show without the
    larger pictures) and the 2x pictures."""
    x0, y0, x1, y1 = COMPARE_BOX
    set_scale(1)
    first = compose_launcher().crop(COMPARE_BOX)
    set_scale(2)
    second = compose_launcher().crop(dev(COMPARE_BOX))
    set_scale(1)
    enlarged = first.resize(second.size, Image.NEAREST)
    gap = 8
    out = Image.new("RGBA", (2 * second.size[0] + gap, second.size[1]),
                    (255, 255, 255, 255))
    out.paste(enlarged, (0, 0))
    out.paste(second, (second.size[0] + gap, 0))
    out.save(path)


def main(argv):
    build()
    try:
        check()
    except CheckFailed as err:
        print("check failed:", err, file=sys.stderr)
        return 1
    if len(argv) == 3 and argv[1] == "--preview":
        write_preview(argv[2])
    elif len(argv) == 3 and argv[1] == "--compare":
        write_comparison(argv[2])
    elif len(argv) != 1:
        print(__doc__.split("\n\n")[2], file=sys.stderr)
        return 2
    print("wrote and checked the pictures in", RES)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
