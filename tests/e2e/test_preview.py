"""The image preview under Wine: PNG, JPEG, BMP and GIF files drawn centred at their own size, then
filling the pane on each background; a text file marked "Not An Image"; a folder row clears it."""
import subprocess

import harness

IMAGES = [("red.png", (255, 0, 0)), ("green.JPG", (0, 255, 0)), ("olive.bmp", (128, 128, 0)),
          ("magenta.gif", (255, 0, 255))]
WHITE, BLACK, BLUE = (255, 255, 255), (0, 0, 0), (0, 0, 255)


def test_images_are_drawn_centred_on_the_chosen_background(lumiseek):
    pics = lumiseek.dir / "pics"
    (pics / "sub").mkdir(parents=True)
    for name, colour in IMAGES:
        subprocess.run(["convert", "-size", "120x60", "xc:rgb%s" % (colour,), str(pics / name)], check=True)
    (pics / "notes.txt").write_text("not a picture")
    rows = [("1", "05/17/2023 10:22", harness.winpath(pics / n)) for n, _ in IMAGES + [("notes.txt", 0), ("sub", 0)]]
    (lumiseek.dir / "results.txt").write_bytes(harness.results_text(rows).encode("utf-8"))
    lumiseek.start(settings=harness.settings_file({"ShowToolbar": "0", "SpeakShortcuts": "0", "ShowPreview": "1",
                                                   "PreviewResize": "0", "ImageBG": "0"}))
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)
    lumiseek.press("Results List has focus. red.png", "Tab")
    left, top, width, height = lumiseek.control_rect(504)
    cx, cy = left + width // 2, top + height // 2

    def colours(name, points):
        png = lumiseek.screenshot(name)
        return [tuple(round(c / 16) for c in harness.pixel(png, x, y)) for x, y in points]

    def rounded(*wanted):
        return [tuple(round(c / 16) for c in colour) for colour in wanted]

    # Own size, centred: the image 55 pixels either side of the centre, the background at 65 and above.
    for i, (name, colour) in enumerate(IMAGES):
        if i:
            lumiseek.press(name.lower(), "Down")
        assert colours(name, [(cx - 55, cy), (cx + 55, cy), (cx - 65, cy), (cx, cy - 35)]) == rounded(
            colour, colour, WHITE, WHITE), name
    # Filling the pane's width, with bands of each background in turn above and below.
    lumiseek.press("Preview Resize is ON", "ctrl+shift+r")
    for word, background in (("White", WHITE), ("Black", BLACK), ("Blue", BLUE)):
        if word != "White":
            lumiseek.press("Image Background is " + word, "ctrl+shift+i")
        assert colours("filled-" + word, [(left + 2, cy), (left + width - 3, cy), (cx, top + 2), (cx, top + height - 3)]
                       ) == rounded(IMAGES[-1][1], IMAGES[-1][1], background, background), word

    # A text file: "Not An Image" in the scheme's text colour (yellow); a folder: the background only.
    lumiseek.press("notes.txt", "Down")
    assert harness.colour_share(lumiseek.screenshot("text-file"), "#FFFF00", (left + 50, top + 50, left + 250, top + 90)) > 0.05
    lumiseek.press("sub", "Down")
    assert harness.colour_share(lumiseek.screenshot("folder"), "#0000FF", (left, top, left + width, top + height)) == 1
