"""The one date every output of a release carries: the PE time stamp, the
image's volume and file dates, the zip's entry dates and the signing time."""

import os
import subprocess
import time

# The earliest date a zip entry (an MS-DOS date) can hold.
EARLIEST = 315532800  # 1980-01-01 00:00:00 UTC


def _git(source, *args):
    try:
        run = subprocess.run(["git", "-C", source, *args], capture_output=True, text=True)
    except OSError:
        return None
    return run.stdout.strip() if run.returncode == 0 else None


def source_date(source, environ=None):
    """(seconds since 1970, where they came from): SOURCE_DATE_EPOCH when it is
    set, else the time of the commit checked out in `source`, else 1980-01-01.
    Raises ValueError for a SOURCE_DATE_EPOCH that cannot be used."""
    environ = os.environ if environ is None else environ
    text = environ.get("SOURCE_DATE_EPOCH", "")
    if text:
        if not text.isdigit():
            raise ValueError(f"SOURCE_DATE_EPOCH={text!r} is not a whole number of seconds since 1970")
        if int(text) < EARLIEST:
            raise ValueError(f"SOURCE_DATE_EPOCH={text} is before 1980-01-01, which a zip entry cannot hold")
        return int(text), "SOURCE_DATE_EPOCH"
    # Only a checkout of these sources counts, not one that merely encloses them.
    top = _git(source, "rev-parse", "--show-toplevel")
    if top and os.path.realpath(top) == os.path.realpath(source):
        commit = _git(source, "log", "-1", "--format=%ct %H")
        if commit:
            seconds, name = commit.split()
            return max(int(seconds), EARLIEST), f"the time of commit {name[:12]}"
    return EARLIEST, ("no date to use: the sources are not a git checkout and SOURCE_DATE_EPOCH is not set, "
                      "so every date is 1980-01-01")


def uncommitted_changes(source):
    """Whether tracked files differ from the commit whose date the release takes."""
    status = _git(source, "status", "--porcelain", "--untracked-files=no")
    return bool(status)


def product_not_committed(source, folder):
    """Why the product's folder is not as the commit checked out in `source`
    holds it, or None when it is: a release is made from that commit, so every
    file of the folder must be in it, unchanged. Untracked and ignored files
    count: the description may name any file of its folder."""
    top = _git(source, "rev-parse", "--show-toplevel")
    if not top or os.path.realpath(top) != os.path.realpath(source):
        return f"the sources {source} are not a git checkout"
    named, folder = os.path.abspath(folder), os.path.realpath(folder)
    if os.path.commonpath([folder, os.path.realpath(top)]) != os.path.realpath(top):
        return f"the product's folder {folder} lies outside the checkout {top}: move it into products/ and commit it"
    if not _git(source, "ls-files", "--", folder):
        return f"the product's folder {folder} is not committed: git add it and commit"
    # The folder as the build names it too: a link to a committed folder is a name the commit may lack.
    status = _git(source, "-c", "core.quotePath=false", "status", "--porcelain", "--untracked-files=all",
                  "--ignored", "--", *sorted({folder, named}))
    if status is None:
        return f"git cannot tell whether the product's folder {folder} is committed"
    if status:
        changed = [line[3:] for line in status.splitlines()]
        return (f"the product's folder has changes that are not committed ({', '.join(changed[:5])}"
                + (", ..." if len(changed) > 5 else "") + "): commit them, or remove what is not the product's")
    return None


def describe_time(seconds):
    return time.strftime("%Y-%m-%d %H:%M:%S UTC", time.gmtime(seconds))
