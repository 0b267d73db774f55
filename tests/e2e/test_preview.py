"""The image preview under Wine: PNG, JPEG, BMP and GIF files drawn centred at their own size, then
filling the pane on each background; a text file marked "Not An Image" in a colour that stands out
from the background; a folder row clears it; an 8000 x 6000 picture is scaled into the pane."""
import subprocess

import harness

IMAGES = [("red.png", (255, 0, 0)), ("green.JPG", (0, 255, 0)), ("olive.bmp", (128, 128, 0)),
          ("pink.gif", (255, 0, 255))]
WHITE = (255, 255, 255)


def test_images_are_drawn_centred_on_the_chosen_background(lumiseek):
    (lumiseek.dir / "sub").mkdir()
    for name, colour in IMAGES:  # the PNG with a transparent border 10 pixels wide
        border = ["-bordercolor", "none", "-border", "10"] if name.endswith(".png") else []
        subprocess.run(["convert", "-size", "120x60", "xc:rgb%s" % (colour,)] + border + [str(lumiseek.dir / name)],
                       check=True)
    (lumiseek.dir / "notes.txt").write_text("not a picture")
    subprocess.run(["convert", "-size", "8000x6000", "xc:rgb(0,128,255)", "PNG24:" + str(lumiseek.dir / "big.png")],
                   check=True)
    names = [n for n, _ in IMAGES] + ["notes.txt", "sub", "big.png"]
    rows = [("" if n == "sub" else "1", "05/17/2023 10:22", harness.winpath(lumiseek.dir / n)) for n in names]
    lumiseek.start(settings=dict(harness.QUIET, ShowPreview="1", PreviewResize="0", ImageBG="0"), last_results=rows)
    lumiseek.wait_started()
    lumiseek.press("Results List has focus. red.png", "Tab")
    left, top, width, height = lumiseek.control_rect(504)
    cx, cy = left + width // 2, top + height // 2

    # The picture is drawn once the selection has rested a moment: screenshots until it shows.
    def shows(name, check):
        try:
            return lumiseek.screenshot_until(name, check, name, timeout=10)
        except AssertionError:
            return False

    def seen(name, points, *expected):  # the colours at the points, to within 8 of the expected ones
        return shows(name, lambda png: all(abs(a - b) <= 8 for p, e in zip(points, expected)
                                           for a, b in zip(harness.pixel(png, *p), e)))

    # Own size, centred: the image 55 pixels either side of the centre, white background at 65 and above.
    for i, (name, colour) in enumerate(IMAGES):
        lumiseek.press(name.lower(), "Down") if i else None
        assert seen(name, [(cx - 55, cy), (cx + 55, cy), (cx - 65, cy), (cx, cy - 35)], colour, colour, WHITE, WHITE)
    # Filling the pane's width, with bands of each background in turn above and below.
    lumiseek.press("Preview Resize is ON", "ctrl+shift+r")
    for word, background in (("White", WHITE), ("Black", (0, 0, 0)), ("Blue", (0, 0, 255))):
        lumiseek.press("Image Background is " + word, "ctrl+shift+i") if word != "White" else None
        assert seen("filled-" + word, [(left + 2, cy), (left + width - 3, cy), (cx, top + 2), (cx, top + height - 3)],
                    IMAGES[-1][1], IMAGES[-1][1], background, background), word
    # A text file: "Not An Image" in white on the blue background, in black on white; a folder: the
    # background only.
    lumiseek.press("notes.txt", "Down")
    text_area = (left + 50, top + 50, left + 250, top + 90)
    assert shows("text", lambda png: harness.colour_share(png, "#FFFFFF", text_area) > 0.05)
    lumiseek.press("Image Background is White", "ctrl+shift+i")
    assert shows("text-on-white", lambda png: harness.colour_share(png, "#000000", text_area) > 0.05)
    lumiseek.press("sub", "Down")
    assert shows("folder", lambda png: harness.colour_share(png, "#FFFFFF", (left, top, left + width, top + height)) == 1)
    # A picture far larger than the pane is scaled down to fill it.
    lumiseek.press("big.png", "Down")
    assert seen("big", [(cx, cy), (left + 2, cy)], (0, 128, 255), (0, 128, 255))
