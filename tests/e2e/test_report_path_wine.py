"""The real driver core and Velno.dll under Windows, without the serial link: feed_stroke.exe binds the
library as the driver does and hands HandleReport the stroke FA, FA, FA, FC from pen-up; the receiver
gets press, move and release at the pixels of the x16 scale. And the library's block is one for all
processes: a value set by one process is read at once by another, while any process has it loaded, and
every process of the session may open it."""


from pen_path_model import PEN_DOWN, PEN_UP, pointer_events, to_pixels
from receiver import input_events, read_log, start_receiver
from wine_harness import WineFixture, check, run_test, wait_for_line

BINARIES = ["Velno.dll", "receiver.exe", "feed_stroke.exe", "shared_state_peer.exe"]
STROKE = [(PEN_DOWN, 1000, 1500), (PEN_DOWN, 1000, 1500), (PEN_DOWN, 1200, 1600), (PEN_UP, 1401, 1703)]


def check_stroke(wine):
    receiver = start_receiver(wine, timeout=30)
    screen = (receiver.ready.values["screen_w"], receiver.ready.values["screen_h"])
    args = [str(v) for _lead, x, y in STROKE for v in (x, y)]
    program = wine.run_windows("feed_stroke.exe", *args, timeout=20)
    check(program.popen.returncode == 0, f"feed_stroke failed: {program.describe()}", stop=True)
    wait_for_line(receiver.log_path, r"^lbuttonup ", timeout=5, program=receiver.program)

    expected = to_pixels(pointer_events(STROKE), screen)
    assert [kind for kind, *_ in expected] == ["press", "move", "release"], "the model's stroke"
    events = input_events(read_log(receiver.log_path))
    down = next(e for e in events if e.kind == "lbuttondown")
    up = next(e for e in events if e.kind == "lbuttonup")
    check(down.position == expected[0][1:], f"press at {down.position}, expected {expected[0][1:]}")
    check(any(e.kind == "mousemove" and e.position == expected[1][1:] for e in events),
          f"no move at {expected[1][1:]}: {events}")
    check(up.position == expected[2][1:], f"release at {up.position}, expected {expected[2][1:]}")


def check_shared_block(wine):
    go = wine.run_dir / "peer.go"
    holder = wine.start_windows("shared_state_peer.exe", "set-adjust-type", "0x20009", str(go), name="holder")
    wait_for_line(holder.stdout_path, r"^set$", timeout=20, program=holder)
    reader = wine.run_windows("shared_state_peer.exe", "get-adjust-type", timeout=20, name="reader")
    check(reader.output().strip() == str(0x20009), f"another process read {reader.output()!r}")
    # Anyone in the session may open the block (null DACL), but not at low integrity: no explicit label, so
    # the default medium one (a sandboxed browser must not start a run or make the driver save).
    security = wine.run_windows("shared_state_peer.exe", "security", timeout=20, name="security")
    check(security.output().split() == ["dacl=null", "label=none"], f"the block's security: {security.describe()}")
    go.touch()
    check(holder.wait(timeout=10) == 0, f"the holder failed: {holder.describe()}", stop=True)
    # With no process left holding the library, the next one starts from a zero-filled block.
    fresh = wine.run_windows("shared_state_peer.exe", "get-adjust-type", timeout=20, name="fresh")
    check(fresh.output().strip() == "0", f"a fresh block read {fresh.output()!r}")


def main():
    with WineFixture("report_path", binaries=BINARIES) as wine:
        check_stroke(wine)
        check_shared_block(wine)


if __name__ == "__main__":
    run_test(main)
