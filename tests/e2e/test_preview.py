"""The image preview under Wine: PNG, JPEG, BMP and GIF files drawn centred in the pane at their own
size or filling it, on each background; a text file marked "Not An Image"; a folder row clears it."""
import subprocess

import harness

IMAGES = [("red.png", (255, 0, 0)), ("green.JPG", (0, 255, 0)), ("olive.bmp", (128, 128, 0)),
          ("magenta.gif", (255, 0, 255))]
WHITE, BLACK, BLUE = (255, 255, 255), (0, 0, 0), (0, 0, 255)


def near(colour, expected, tolerance=8):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def test_images_are_drawn_centred_on_the_chosen_background(lumiseek):
    pics = lumiseek.dir / "pics"
    (pics / "sub").mkdir(parents=True)
    for name, (r, g, b) in IMAGES:
        subprocess.run(["convert", "-size", "120x60", "xc:rgb(%d,%d,%d)" % (r, g, b), str(pics / name)], check=True)
    (pics / "notes.txt").write_text("not a picture")
    names = [name for name, _ in IMAGES] + ["notes.txt", "sub"]
    rows = [("" if n == "sub" else "1", "05/17/2023 10:22", harness.winpath(pics / n)) for n in names]
    (lumiseek.dir / "results.txt").write_bytes(harness.results_text(rows).encode("utf-8"))
    lumiseek.start(settings=harness.settings_file({"ShowToolbar": "0", "SpeakShortcuts": "0", "ShowPreview": "1",
                                                   "PreviewResize": "0", "ImageBG": "0"}))
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)
    lumiseek.press("Results List has focus. red.png", "Tab")
    left, top, width, height = lumiseek.control_rect(504)
    cx, cy = left + width // 2, top + height // 2

    def shot(name):
        png = lumiseek.screenshot(name)
        return lambda x, y: harness.pixel(png, x, y)

    # Own size, centred: the image's colour 55 pixels either side of the centre, white at 65.
    for i, (name, colour) in enumerate(IMAGES):
        if i:
            lumiseek.press(name.lower(), "Down")
        at = shot("own-size-" + name)
        assert [near(at(x, cy), colour) for x in (cx - 55, cx, cx + 55)] == [True] * 3, name
        assert near(at(cx - 65, cy), WHITE) and near(at(cx, cy - 35), WHITE) and near(at(left + 2, top + 2), WHITE)

    # Filling the pane: its whole width, with bands of the background above and below; each
    # background in turn.
    lumiseek.press("Preview Resize is ON", "ctrl+shift+r")
    for word, background in (("White", WHITE), ("Black", BLACK), ("Blue", BLUE)):
        if word != "White":
            lumiseek.press("Image Background is " + word, "ctrl+shift+i")
        at = shot("filled-" + word)
        assert near(at(left + 2, cy), IMAGES[-1][1]) and near(at(left + width - 3, cy), IMAGES[-1][1])
        assert near(at(cx, top + 2), background) and near(at(cx, top + height - 3), background), word

    # A text file: "Not An Image" in the scheme's text colour (yellow) on the background; a folder:
    # the background only.
    lumiseek.press("notes.txt", "Down")
    png = lumiseek.screenshot("text-file")
    text_box = (left + 50, top + 50, left + 250, top + 90)
    assert harness.colour_share(png, "#FFFF00", text_box) > 0.05
    lumiseek.press("sub", "Down")
    png = lumiseek.screenshot("folder")
    assert harness.colour_share(png, "#0000FF", (left, top, left + width, top + height)) == 1.0
