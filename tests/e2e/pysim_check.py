#!/usr/bin/env python3
"""osmocom pySim, an independent SIM tool, reads the demo cards as velnor-cli does.

Serves the demo cards through pcscd's vpcd reader (starting pcscd when none runs). On the GSM
card pySim-shell must show the ICCID, IMSI, a phonebook entry and a message. On each UICC card
(--usim, --usim-only) it must find a UICC with the USIM and read EF_PBR of the global phonebook
(3F00/7F10/5F3A) and every file it lists; pySim's ADN decoder decodes the ADN and ANR records
(TS 31.102 4.4.2.9: the AAS byte, then an ADN record's tail), its alpha decoder the e-mails and
second names. "velnor-cli read phonebook" must list the same entries, in order across the ADN
sets, with the same extra fields.
Exits 77, with one line saying why, without pySim (VELNOR_PYSIM_DIR, else ../shared/tools/pysim
beside the clone, as in CI), its Debian packages (scripts/install-ci-deps) or the vpcd driver.
usage: pysim_check.py VELNOR_CLI
"""
import contextlib
import csv
import io
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

READER = "Virtual PCD 00 00"
VPCD = pathlib.Path("/etc/reader.conf.d/vpcd")
PYSIM = pathlib.Path(os.environ.get("VELNOR_PYSIM_DIR")
                     or pathlib.Path(__file__).resolve().parents[3] / "shared/tools/pysim")
TYPE1, TYPE2, ADN, IAP, ANR = 0xA8, 0xA9, 0xC0, 0xC1, 0xC4
FIELDS = {0xCA: "E-mail", ANR: "Additional number", 0xC3: "Second name"}
# What pySim shows of the GSM demo card: its kind, ICCID, IMSI, ADN record 3 (an alpha in UCS2,
# a number with its filler nibble) and a message's status.
GSM_CARD = ["Card is of type: SIM", '"iccid": "89012345678901234567"', '"imsi": "001010123456789"',
            '"alpha_id": "J\\u00fcrgen Wei\\u00df"', '"dialing_nr": "4915112345678f"',
            '"status": "message_read"']
PHONEBOOK = ["select MF", "select DF.TELECOM", "select DF.PHONEBOOK"]


def skip(why):
    print("Skipped: %s, so the demo cards are not checked against osmocom pySim" % why)
    sys.exit(77)


def run(*args, env=None):
    return subprocess.run(args, capture_output=True, text=True, timeout=60, env=env)


def reader_shows(cli, env, state):
    """Waits up to five seconds until the vpcd reader is "card" or "empty"."""
    for _ in range(250):
        if "%s\t%s" % (READER, state) in run(cli, "readers", env=env).stdout:
            return True
        time.sleep(0.02)
    return False


def pysim(work, commands):
    """pySim-shell's output, and the records each read_records_decoded gave, as bytes."""
    (work / "pysim.txt").write_text("\n".join(commands) + "\n")
    out = run(str(PYSIM / "run"), "pySim-shell.py", "--pcsc-regex", READER, "--script",
              str(work / "pysim.txt")).stdout
    if "EXCEPTION" in out:
        sys.exit("pySim failed:\n" + out)
    return out, [[bytes.fromhex(r["raw"]) for r in json.loads(line)]
                 for line in out.splitlines() if line.startswith("[")]


def pbr_sets(records):
    """Per EF_PBR record: (tag, A8 or A9, file id) of each file it lists (TS 31.102 4.4.2.1)."""
    sets = []
    for record in records:
        files, i = [], 0
        while i + 1 < len(record) and record[i] in (TYPE1, TYPE2):
            j, end = i + 2, i + 2 + record[i + 1]
            while j < end:
                files.append((record[j], record[i], record[j + 2:j + 4].hex().upper()))
                j += 2 + record[j + 1]
            i = end
        sets.append(files)
    return sets


def pysim_entries(work):
    from construct import Bytes
    from pySim.construct import GsmOrUcs2Adapter, Rpad, parse_construct
    from pySim.ts_51_011 import EF_ADN

    def alpha(data):
        return GsmOrUcs2Adapter(Rpad(Bytes(len(data)))).parse(data)

    def adn(data):  # pySim keeps the filler nibble and gives the type of number apart
        fields = parse_construct(EF_ADN()._construct, data)
        digits = fields["dialing_nr"].rstrip("f")
        plus = digits and fields["ton_npi"]["type_of_number"] == "international"
        return fields["alpha_id"] or "", "+" * bool(plus) + digits

    out, (pbr,) = pysim(work, ["select ADF.USIM"] + PHONEBOOK +
                        ["select EF.PBR", "read_records_decoded --oneline"])
    if "Card is of type: UICC" not in out or "USIM: a0000000871002ff49ff0589" not in out:
        sys.exit("pySim finds no UICC with the USIM:\n" + out)
    sets = pbr_sets(pbr)
    listed = [f for files in sets for f in files]
    contents = pysim(work, [c for f in listed for c in PHONEBOOK +
                            ["select " + f[2], "read_records_decoded --oneline"]])[1]
    records = dict(zip(listed, contents))
    entries = []
    for files in sets:
        iap = next((records[f] for f in files if f[0] == IAP), None)
        linked = [f for f in files if f[1] == TYPE2]  # in the order of the bytes of EF_IAP
        for n, record in enumerate(records[next(f for f in files if f[0] == ADN)]):
            name, number = adn(record)
            entry = {"Name": name, "Number": number} | dict.fromkeys(FIELDS.values(), "")
            for f in (f for f in files if f[0] in FIELDS):
                data = records[f][n] if f[1] == TYPE1 else None
                if f[1] == TYPE2 and (link := iap[n][linked.index(f)]) not in (0, 0xFF):
                    data = records[f][link - 1][:-2]  # less the ADN file's SFI and record
                if data:
                    entry[FIELDS[f[0]]] = adn(data[:15])[1] if f[0] == ANR else alpha(data)
            if name or number:
                entries.append(entry)
    return entries


def velnor_entries(cli, env):
    read = run(cli, "--reader", READER, "--no", "read", "phonebook", env=env)
    if read.returncode:
        sys.exit("velnor-cli cannot read the card:\n" + read.stderr)
    columns = ["Name", "Number", *FIELDS.values()]
    rows = csv.DictReader(io.StringIO(read.stdout))
    return [{c: row.get(c) or "" for c in columns} for row in rows]


@contextlib.contextmanager
def served(cli, env, work, *demo):
    """The demo card of "velnor-cli card demo DEMO..." in the vpcd reader."""
    profile = work / "card.json"
    run(cli, "card", "demo", *demo, str(profile), env=env).check_returncode()
    card = subprocess.Popen([cli, "card", "serve", str(profile)], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        if not reader_shows(cli, env, "card"):
            sys.exit("the served card does not come into the reader")
        yield
    finally:
        card.terminate()
        card.wait()
        reader_shows(cli, env, "empty")


def check_gsm_card(cli, env, work):
    with served(cli, env, work):
        out = pysim(work, ["select EF.ICCID", "read_binary_decoded", "select DF.GSM",
                           "select EF.IMSI", "read_binary_decoded", "select MF",
                           "select DF.TELECOM", "select EF.ADN", "read_record_decoded 3",
                           "select EF.SMS", "read_record_decoded 1"])[0]
    for expected in GSM_CARD:
        if expected not in out:
            sys.exit("pySim does not show %s of the GSM demo card:\n%s" % (expected, out))
    print("GSM demo card: pySim reads its ICCID, IMSI, a phonebook entry and a message")


def compare(cli, env, work, kind):
    with served(cli, env, work, "--" + kind):
        theirs, ours = pysim_entries(work), velnor_entries(cli, env)
    for n, (their, our) in enumerate(zip(theirs, ours), 1):
        if their != our:
            sys.exit("--%s, entry %d:\n  pySim      %s\n  velnor-cli %s" % (kind, n, their, our))
    if len(theirs) != len(ours):
        sys.exit("--%s: pySim reads %d entries, velnor-cli %d" % (kind, len(theirs), len(ours)))
    counts = ", ".join("%d with %s" % (sum(bool(e[f]) for e in ours), f) for f in FIELDS.values())
    print("--%s: pySim and velnor-cli read the same %d entries (%s)" % (kind, len(ours), counts))


def main():
    if not (PYSIM / "run").exists():
        skip("no osmocom pySim at %s (VELNOR_PYSIM_DIR names another place)" % PYSIM)
    sys.path[:0] = [str(PYSIM / "pysim")] + [str(p) for p in (PYSIM / "deps").iterdir()]
    try:
        import cmd2, smartcard, pySim.ts_51_011  # noqa: F401
    except ImportError as missing:
        skip("pySim needs %s (scripts/install-ci-deps installs it)" % missing.name)
    if not VPCD.exists() or not shutil.which("pcscd"):
        skip("no pcscd with the vpcd reader driver (Debian packages pcscd, vsmartcard-vpcd)")
    cli = str(pathlib.Path(sys.argv[1]).resolve())
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        os.chdir(work)  # velnor-cli logs what it read to the folder it runs in
        env = dict(os.environ, HOME=str(work), XDG_CONFIG_HOME=str(work), XDG_DATA_HOME=str(work))
        pcscd, readers = None, run(cli, "readers", env=env)
        if READER not in readers.stdout:
            if readers.returncode == 0:
                skip("a pcscd without the vpcd readers runs, and only one can")
            (work / "readers").mkdir()
            shutil.copy(VPCD, work / "readers")
            pcscd = subprocess.Popen(["pcscd", "--foreground", "--config", str(work / "readers")],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            if not reader_shows(cli, env, "empty"):
                if pcscd and pcscd.poll() is not None:
                    skip("pcscd cannot be started here")
                sys.exit("the vpcd reader is not there, or not empty")
            check_gsm_card(cli, env, work)
            for kind in ("usim", "usim-only"):
                compare(cli, env, work, kind)
        finally:
            if pcscd:
                pcscd.terminate()
                pcscd.wait()


main()
