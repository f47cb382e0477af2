"""Two monitors (Xorg with the dummy driver, the second one right of the primary): Adjust_single_extend.exe
centres its chooser on the second monitor, announces the count with screen flag 1 (N OR 0x10000), and its
target window covers exactly that monitor."""

from pen_driver_session import start_board_sim
from tool_session import CHOOSER_TITLE, COUNT_BUTTONS, GREY, IDCANCEL, RED, ToolSession, target_points
from wine_harness import WineFixture, check, run_test, wait_for_line

BINARIES = ["VelnoDriver.exe", "Velno.dll", "Adjust_single_extend.exe", "tool_watch.exe", "post_command.exe"]
SCREEN = (1280, 1024)
SECOND = (1280, 0, 2560, 1024)


def main():
    with WineFixture("adjust_extended_screen", screen=SCREEN, binaries=BINARIES, second_monitor="right-of") as wine:
        tool = ToolSession(wine)
        tool.start_watch()
        board = start_board_sim(wine, ["pause 60000"])
        driver = wine.start_windows("VelnoDriver.exe", "/service")
        tool.wait_board_found()
        program = tool.start("Adjust_single_extend.exe")

        chooser = tool.wait_window(CHOOSER_TITLE)
        centre = ((SECOND[0] + SECOND[2]) // 2 - chooser.w // 2, (SECOND[1] + SECOND[3]) // 2 - chooser.h // 2)
        check((chooser.x, chooser.y) == centre, f"chooser at {chooser.rect}, expected its corner at {centre}")
        tool.click(CHOOSER_TITLE, COUNT_BUTTONS[9])

        tool.wait_index(1)
        states = tool.index_states()
        check(states[-1] == f"index k=1 adjusting=1 type={0x10009}", f"published states: {states}")
        left, top, right, bottom = SECOND
        wait_for_line(tool.watch_log, rf'^window .* title="" x={left} y={top} w={right - left} h={bottom - top} ',
                      timeout=10, program=tool.watch)
        # The targets are drawn on the second monitor, relative to its corner.
        points = [(left + x, top + y) for x, y in target_points(9, right - left, bottom - top)]

        def targets_not_on_second_monitor(shot):
            colours = [shot.pixel(x + 15, y) for x, y in points]
            return None if colours == [RED] + [GREY] * 8 else f"target arms on the second monitor: {colours}"

        tool.check_screen(targets_not_on_second_monitor, 2 * SCREEN[0], SCREEN[1])
        tool.click("", IDCANCEL)  # as Esc does (Xorg here has no keyboard for xdotool)
        program.wait(timeout=10)
        states = tool.index_states()
        check(states[-1] == f"index k=0 adjusting=0 type={0x10009}", f"published states: {states}")
        driver.stop()
        board.stop()


if __name__ == "__main__":
    run_test(main)
