"""The readers of a description's texts, names and numbers: each takes (checker, table,
where, key, default), checks the value and returns it, or has the checker refuse it with a
message that names the file, the table and the key (keys.py says which key each reads)."""

import os
import re
import unicodedata

# Characters Windows forbids in file names, and ';', which a disc's Joliet names cannot hold.
FORBIDDEN = set('<>:"/\\|?*;')
RESERVED = ({"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}
            | {f"{device}{n}" for device in ("COM", "LPT") for n in "123456789\u00b9\u00b2\u00b3"})
JOLIET_NAME = 64  # characters of a name on the disc
LONGEST_TEXT = 200
LONGEST_CLASS = 255  # characters of a window class's name
# Letters that show nothing, though they are no format characters.
BLANK_LETTERS = set("\u115f\u1160\u3164\uffa0\u2800")
# Names Windows takes for installers, which it would run elevated without their manifest.
INSTALLER_WORDS = ("setup", "install", "update", "patch")
VERSION_PART = 0xFFFF  # a number of the version block's fixed part: half of one of its 32-bit fields


def hidden(c):
    """A character that shows nothing or turns the writing direction: zero-width ones, bidi controls."""
    return unicodedata.category(c) == "Cf" or c in BLANK_LETTERS


def noncharacter(c):
    # U+FDD0..U+FDEF and the last two of each plane: no XML file (the manifest) may hold them.
    return 0xFDD0 <= ord(c) <= 0xFDEF or ord(c) & 0xFFFE == 0xFFFE


def windows_fold(name):
    """A name as Windows compares names: each character upper-cased on its own, one for one,
    as its upcase table does. lower() would keep a final sigma apart from the other sigma
    (Windows takes both for one), and upper() of the whole text would make two letters of one
    (ß becomes SS, a name Windows keeps apart)."""
    return "".join(c.upper() if len(c.upper()) == 1 else c for c in name)


def text(check, table, where, key, default=None, longest=LONGEST_TEXT):
    if key not in table and default is None:
        return None
    value = table.get(key, default)
    if not isinstance(value, str):
        check.fail(where, key, f"must be a text in quotes, not {value!r}")
    if not value:
        check.fail(where, key, "is empty")
    if len(value) > longest:
        check.fail(where, key, f"is {len(value)} characters long; {longest} is the most")
    bad = next((c for c in value if ord(c) < 0x20 or 0x7F <= ord(c) < 0xA0), None)
    if bad is not None:
        check.fail(where, key, f"holds the control character U+{ord(bad):04X}")
    bad = next((c for c in value if noncharacter(c)), None)
    if bad is not None:
        check.fail(where, key, f"holds U+{ord(bad):04X}, a noncharacter, which the menu's manifest cannot carry "
                   "(Windows would not start the menu)")
    bad = next((c for c in value if c in "\u2028\u2029"), None)
    if bad is not None:
        check.fail(where, key, f"holds the {'line' if bad == chr(0x2028) else 'paragraph'} separator "
                   f"U+{ord(bad):04X}, which breaks the text where it is shown or read")
    if all(c.isspace() or hidden(c) for c in value):
        check.fail(where, key, f"{value!r} shows nothing")
    return value


def file_name(check, table, where, key, default=None):
    """A single file or folder name, as Windows takes it on a disc."""
    name = text(check, table, where, key, default)
    for bad, why in (("\\", "a backslash"), ("/", "a slash"), ("..", "'..'")):
        if bad in name:
            check.fail(where, key, f"{name!r} contains {why}: give one name, not a path")
    if re.match(r"^[A-Za-z]:", name):
        check.fail(where, key, f"{name!r} names a drive: give one name, not a path")
    invisible = next((c for c in name if hidden(c)), None)
    if invisible:
        check.fail(where, key, f"{name!r} holds U+{ord(invisible):04X} ({unicodedata.name(invisible, 'unnamed')}), "
                   "which shows nothing or turns the writing direction: a name must read as it is")
    forbidden = next((c for c in name if c in FORBIDDEN), None)
    if forbidden:
        check.fail(where, key, f"{name!r} contains '{forbidden}', which Windows forbids in file names")
    if name.split(".")[0].rstrip(" ").upper() in RESERVED:
        check.fail(where, key, f"{name!r} is a device name on Windows")
    if len(name) > JOLIET_NAME or any(ord(c) > 0xFFFF for c in name):
        check.fail(where, key, f"{name!r} cannot be named on a disc: at most {JOLIET_NAME} characters, "
                   "none beyond U+FFFF")
    if name[-1] in ". ":
        check.fail(where, key, f"{name!r} ends in a dot or a blank, which Windows drops")
    return name


def integer(check, table, where, key, default=None):
    if key not in table and default is None:
        return None
    value = table.get(key, default)
    if not isinstance(value, int) or isinstance(value, bool):
        check.fail(where, key, f"must be a whole number, not {value!r}")
    return value


def boolean(check, table, where, key, default=None):
    value = table.get(key, default)
    if not isinstance(value, bool):
        check.fail(where, key, f"must be true or false, not {value!r}")
    return value


def version(check, table, where, key, default=None):
    """As the vendor writes it (1, 2.3, 1.00, 4.2.0.117): one to four numbers, each one of
    the version block's 16-bit fields. The texts keep it as written."""
    value = text(check, table, where, key)
    if not re.fullmatch(r"[0-9]+(\.[0-9]+){0,3}", value):  # not \d: that takes any script's digits
        check.fail(where, key, f"{value!r} is not one to four numbers separated by dots, like 1.00 or 2.3.1")
    big = next((part for part in value.split(".") if int(part) > VERSION_PART), None)
    if big is not None:
        check.fail(where, key, f"{value!r} holds {big}; each number of a version is at most {VERSION_PART}")
    # Windows compares the numbers, not the digits: 1.05 is 1.5, which a later 1.10 passes but 1.1 does not.
    padded = next((part for part in value.split(".")[1:] if len(part) > 1 and part.startswith("0")
                   and part.strip("0")), None)
    if padded is not None:
        numbers = ".".join(str(n) for n in version_numbers(value))
        check.warn(where, key, f"{value!r} is {numbers} in the version block, which Windows compares number by "
                   f"number: {padded} is {int(padded)}, so a later version must hold a larger number there")
    return value


def version_numbers(version):
    """The version block's four numbers: those written, the missing ones 0 (1.00 is 1, 0, 0, 0)."""
    numbers = [int(part) for part in version.split(".")]
    return tuple(numbers + [0] * (4 - len(numbers)))


def executable(check, table, where, key, default=None):
    name = file_name(check, table, where, key)
    if "$" in name:
        check.fail(where, key, f"{name!r} holds '$': CMake, which builds the menu by this name, "
                   "would read a variable there")
    stem, extension = os.path.splitext(name)
    if extension.lower() != ".exe" or not stem:
        check.fail(where, key, f"{name!r} must be a name ending in .exe")
    if " " in name:
        check.fail(where, key, f"{name!r} holds a blank: AutoRun would start its first word")
    if any(word in name.lower() for word in INSTALLER_WORDS):
        check.fail(where, key, f"{name!r} holds one of {', '.join(INSTALLER_WORDS)}: Windows would "
                   "take the menu for an installer")
    return name


def single_instance(check, table, where, key, default):
    name = text(check, table, where, key, default)
    if not re.fullmatch(r"(Local|Global)\\[^\\]{1,200}", name):
        check.fail(where, key, f"{name!r} must be Local\\<name> or Global\\<name>")
    return name


def made(pattern, what):
    """A reader of a name that may hold only what `pattern` matches; its message says
    where a default came from."""
    def read(check, table, where, key, default):
        value = text(check, table, where, key, default)
        if not re.fullmatch(pattern, value):
            check.fail(where, key, f"{value!r} may hold only {what}"
                       + ("" if key in table else " (it was made from the executable's name: give one)"))
        return value
    return read


# The system's own window classes. A program's class of the same name comes first
# for its windows, so the exit button (a BUTTON) would lose its drawing and its click.
SYSTEM_CLASSES = {"button", "combobox", "comboboxex32", "combolbox", "ddemlevent", "edit", "listbox", "mdiclient",
                  "message", "scrollbar", "static", "richedit", "richedit20a", "richedit20w", "richedit50w"}


def class_name(check, table, where, key, default):
    """A window class's name: printable ASCII, as every version of Windows registers it."""
    value = text(check, table, where, key, default, longest=LONGEST_CLASS)
    bad = next((c for c in value if not " " <= c <= "~"), None)
    if bad is not None:
        check.fail(where, key, f"{value!r} holds {bad!r} (U+{ord(bad):04X}): a window class's name must be "
                   "printable ASCII")
    if value.casefold() in SYSTEM_CLASSES or value.startswith("#"):
        check.fail(where, key, f"{value!r} is the name of a class of Windows itself: the menu's own class of "
                   "that name would take the place of the system's for its controls")
    return value


def language_id(check, table, where, key, default):
    value = integer(check, table, where, key, default)
    if not 0 < value <= 0xFFFF or not value & 0x3FF:
        check.fail(where, key, f"{value!r} is no language identifier (LANGID): give one like 0x0409, "
                   "a primary language in its low 10 bits and a sublanguage above them")
    return value


def one_of(*allowed):
    def read(check, table, where, key, default):
        value = table.get(key, default)
        # Of the allowed type too: 8.0 == 8 and True == 1, but the art generator reads a whole number.
        if not any(type(value) is type(a) and value == a for a in allowed):
            check.fail(where, key, f"{value!r} must be {' or '.join(map(str, allowed))}")
        return value
    return read
