#!/usr/bin/env python3
"""What other programs read of the phonebook files velnor-cli writes.

velnor-cli turns a list file into a CSV file and a vCard file. Python's csv module must read
the CSV file (RFC 4180) and python3-vobject the vCard file (RFC 2426) as exactly the names and
numbers of the list file. Both files, renamed so that their names tell nothing, must then import
back into the same list file. Needs no reader. Exits 77, with a line that says so, when
python3-vobject is missing, after the CSV checks.
"""
import csv
import os
import shutil
import subprocess
import sys
import tempfile

ROWS = [
    ("Anna Smith", "+4930123456"),
    ("Anna Smith", "0171555"),  # a second number of one contact
    ("Smith, Bob; Jr.", "*100#"),
    ('Quote "q" \\ back', "#31#"),
    ("Line\nbreak", "112"),
    ("Иван Иванов", "+74951234567"),
    ("王小明", "13800138000"),
    ("Emoji 😀", "1"),
    ("", "5550100"),
    ("Łukasz Żółć-Brzęczyszczykiewicz z Chrząszczyżewoszyc, powiat Łękołody", "+48221234567"),
]


def list_file(rows):
    lines = ["No.,Name,Number,"]
    for i, (name, number) in enumerate(rows, 1):
        cells = [str(i), name, number]
        lines.append("".join('"%s",' % cell.replace('"', '"""') for cell in cells))
    return "".join(line + "\r\n" for line in lines).encode()


def run(cli, home, *args):
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home, XDG_DATA_HOME=home)
    reader = "sim:" + os.path.join(home, "no-card.json")
    done = subprocess.run([cli, "--reader", reader] + list(args), env=env, capture_output=True)
    if done.returncode != 0:
        sys.exit("velnor-cli %s failed (%d): %s" % (" ".join(args), done.returncode,
                                                    done.stderr.decode(errors="replace")))
    return done.stdout


def check(what, got, expected):
    if got != expected:
        sys.exit("%s:\n  got      %r\n  expected %r" % (what, got, expected))


def main():
    cli = sys.argv[1]
    home = tempfile.mkdtemp(prefix="velnor-contacts-")
    try:
        source = os.path.join(home, "phonebook.fpb")
        with open(source, "wb") as f:
            f.write(list_file(ROWS))
        written = {}
        for extension in ("csv", "vcf"):
            path = os.path.join(home, "out." + extension)
            run(cli, home, "list", "import", "phonebook", source, "-o", path)
            with open(path, "rb") as f:
                written[extension] = f.read()
            # Renamed, the file is told by its content and gives the list file again.
            hidden = os.path.join(home, "contacts-" + extension + ".dat")
            shutil.copy(path, hidden)
            check(extension + " read back by velnor-cli",
                  run(cli, home, "list", "import", "phonebook", hidden), list_file(ROWS))

        with open(os.path.join(home, "out.csv"), newline="", encoding="utf-8") as f:
            check("csv module", [tuple(row) for row in csv.reader(f)],
                  [("Name", "Number")] + ROWS)
        print("csv module: %d rows read back exactly" % len(ROWS))

        try:
            import vobject
        except ImportError:
            print("Skipped: python3-vobject is not installed, so the vCard file was not checked")
            return 77
        cards = list(vobject.readComponents(written["vcf"].decode("utf-8")))
        check("vCard lines end in CR LF", written["vcf"].count(b"\n"),
              written["vcf"].count(b"\r\n"))
        check("vCard versions", {card.version.value for card in cards}, {"3.0"})
        check("vobject", [(card.fn.value, tel.value) for card in cards
                          for tel in card.contents.get("tel", [])], ROWS)
        check("vCard lines of at most 75 octets",
              max(len(line) for line in written["vcf"].split(b"\r\n")) <= 75, True)
        print("vobject: %d cards, %d numbers read back exactly" % (len(cards), len(ROWS)))
        return 0
    finally:
        shutil.rmtree(home)


if __name__ == "__main__":
    sys.exit(main())
