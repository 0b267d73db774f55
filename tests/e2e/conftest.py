"""Fixtures of the end-to-end tests (see harness.py for the classes behind them).

    wine_env   session: the fresh Wine prefix and Xvfb display, with the test voice registered
    run_wine   run_wine(args, cwd=None, timeout=60) -> CompletedProcess, a Windows program under Wine
    lumiseek   per test: a LumiseekRun for lumiseek.exe in a fresh folder; call .start(settings=..., es=...)
    probe      per test: a LumiseekRun for the voice probe program (tests of the harness itself)
    artifacts  per test: the folder build/e2e/<test name>/, for runs the test makes itself

Each test leaves a screenshot, the voice log and the settings file under build/e2e/<test name>/.
"""
import os
import re

import pytest

import harness

# A search that finds no index service starts one; every program the tests start (Wine's too, which
# take this environment) walks instead, unless a test about the index sets it back to "0".
os.environ["ES_NO_INDEX"] = "1"


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    setattr(item, "rep_" + report.when, report)


@pytest.fixture(scope="session")
def wine_env(tmp_path_factory):
    session = harness.WineSession(tmp_path_factory.mktemp("wine"))
    try:
        session.start()
    except BaseException:
        session.stop()
        raise
    yield session
    session.stop()


@pytest.fixture
def run_wine(wine_env):
    return wine_env.run


def _artifact_dir(request):
    name = re.sub(r"[^A-Za-z0-9_.-]+", "_", request.node.name)
    folder = harness.ARTIFACTS / name
    if folder.exists():
        for old in folder.iterdir():
            if old.is_file():
                old.unlink()
    # A test may write into it before anything else has (a fresh clone has no build/e2e yet).
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def _finish(run, request):
    """A screenshot (while the program still runs, or of the screen it left when the test took none),
    then end the program and keep the logs."""
    try:
        failed = getattr(request.node, "rep_call", None) is not None and request.node.rep_call.failed
        if run.running() or failed or not list(run.artifacts.glob("*.png")):
            run.screenshot("failed" if failed else "end")
    finally:
        run.kill()
        run.keep_artifacts()


@pytest.fixture
def artifacts(request):
    return _artifact_dir(request)


@pytest.fixture
def lumiseek(wine_env, tmp_path, request):
    run = harness.LumiseekRun(wine_env, tmp_path / "app", _artifact_dir(request))
    yield run
    _finish(run, request)


@pytest.fixture
def probe(wine_env, tmp_path, request):
    run = harness.LumiseekRun(wine_env, tmp_path / "probe", _artifact_dir(request),
                              exe=harness.built("testvoice/voice_probe.exe"), exe_name="voice_probe.exe")
    yield run
    _finish(run, request)
