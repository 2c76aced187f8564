#!/usr/bin/env python3
"""A script that reads vorn-cli's JSON as a user's script would.

Every member of every object is read back and must say what the text output
says: the list rows, the tag with its counts, the listing of `show`, and
each page line, summary and "Result" line of a run. The members must be the
ones docs/json-output.md lists, in its order.
Usage: json_consumer_test.py VORN_CLI SOURCE_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unicodedata

CLI, SOURCE = sys.argv[1], sys.argv[2]
DATA = os.path.join(SOURCE, "tests", "data")
failures = []


def fail(where, what):
    failures.append(f"{where}: {what}")


def documented():
    """{"list": [...fields], "list: words[]": [...], ...} from the docs."""
    fields, heading = {}, None
    with open(os.path.join(SOURCE, "docs", "json-output.md"), encoding="utf-8") as doc:
        for line in doc:
            if line.startswith("### "):
                heading = line[4:].strip()
            elif heading and (m := re.match(r"\| `(\w+)` \| \w", line)):
                fields.setdefault(heading, []).append(m.group(1))
    return fields


DOC = documented()


def keys(where, obj, name):
    if list(obj) != DOC.get(name):
        fail(where, f"{name} has {list(obj)}, the docs list {DOC.get(name)}")


def run(args, cwd):
    r = subprocess.run([CLI] + args, cwd=cwd, capture_output=True)
    return r.returncode, r.stdout.decode("utf-8"), r.stderr.decode("utf-8")


def options(name):
    path = os.path.join(DATA, name + ".args")
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").replace("{DATA}", DATA) for line in f]


def check_list(where, o, text, page=b""):
    keys(where, o, "list")
    words = o["words"]
    for w in words:
        keys(where, w, "list: words[]")
    shown = [m.groups() for m in re.finditer(r"(?m)^ *(\d+) +(\d+) +(\d+) (.*)$", text)]
    read = [(str(w["rank"]), str(w["key_value"]), str(w["frequency"]), w["word"]) for w in words]
    if shown != read:
        fail(where, f"rows {read} but the text lists {shown}")
    if not words and not text.startswith("No words"):
        fail(where, "no words, but the text lists some")


# Labels read as another encoding, as browsers read them.
SUPERSETS = {"iso-8859-1": "cp1252", "us-ascii": "cp1252", "gb2312": "gbk",
             "euc-kr": "cp949", "tis-620": "cp874", "iso-8859-9": "cp1254"}


def page_encoding(page):
    """The encoding the page's bytes are read in."""
    if page.startswith(b"\xef\xbb\xbf"):
        return "utf-8"
    head = page[:65536].split(b"</head>")[0].lower().replace(b" ", b"")
    labels = [m.decode() for m in re.findall(rb"charset=[\"']?([a-z0-9_.:-]+)", head)]
    if any(l in ("utf-8", "utf8") for l in labels):
        return "utf-8"
    try:
        page.decode("utf-8")
        if any(b > 127 for b in page):
            return "utf-8"
    except UnicodeDecodeError:
        pass
    for label in labels[:1]:
        label = SUPERSETS.get(label, label)
        try:
            "".encode(label)
            return label
        except LookupError:
            pass
    return "cp1252"


def encoded_size(text, encoding):
    """Bytes of `text` in `encoding`: a character it lacks as a canonically
    equivalent sequence it holds (Windows-1258: ệ as ê and a dot below),
    else as a reference."""
    def holds(t):
        try:
            t.encode(encoding)
            return True
        except UnicodeEncodeError:
            return False
    size = 0
    for ch in text:
        parts = list(unicodedata.normalize("NFD", ch))
        composed = True
        while composed and len(parts) > 1:
            composed = False
            for m in range(1, len(parts)):
                c = unicodedata.normalize("NFC", parts[0] + parts[m])
                if len(c) == 1 and holds(c):
                    parts[0] = c
                    del parts[m]
                    composed = True
                    break
        for form in (ch, "".join(parts)):
            if holds(form):
                size += len(form.encode(encoding))
                break
        else:
            size += len(f"&#{ord(ch)};")
    return size


def check_tag(where, o, text, page=b""):
    keys(where, o, "tag")
    tag, kw = o["tag"], o["keywords"]
    if tag is None:
        expected = o["message"] + "\n"
        if kw or o["keyword_count"] or o["byte_count"]:
            fail(where, "keywords without a tag")
    else:
        expected = (f"{tag}\n\nNumber of keywords in meta tag: {o['keyword_count']}\n"
                    f"Number of bytes in meta tag: {o['byte_count']}\n")
        content = tag[tag.index('content="') + 9:tag.rindex('"')]
        if [k.strip() for k in content.split(",")] != kw or len(kw) != o["keyword_count"]:
            fail(where, f"keywords {kw} are not those of {tag}")
        closing = 4 if tag.endswith(" />") else 2
        if encoded_size(tag, page_encoding(page)) - closing != o["byte_count"]:
            fail(where, f"byte_count {o['byte_count']} for {tag}")
    if text != expected:
        fail(where, f"JSON gives {expected!r}, the text is {text!r}")


LABELS = {"title": "TITLE: ", "keywords": "KEYWORDS meta tag: ",
          "description": "DESCRIPTION meta tag: ", "done": "VORN meta tag: "}


def check_show(where, o, text, page=b""):
    keys(where, o, "show")
    listing = "NOTE: " + o["note"] + "\n\n" if o["note"] else ""
    last = {}
    for t in o["tags"]:
        keys(where, t, "show: tags[]")
        listing += LABELS[t["kind"]] + t["text"] + "\n\n"
        last[t["kind"]] = t["value"]
        if t["kind"] == "title" and t["value"] != t["text"]:
            fail(where, f"title value {t['value']!r}")
        if t["kind"] != "title" and t["value"] is not None and (
                f'="{t["value"]}"' not in t["text"] and f"='{t['value']}'" not in t["text"]
                and f"={t['value']}" not in t["text"]):
            fail(where, f"{t['value']!r} is not the content of {t['text']!r}")
    if "keywords" not in last:
        listing += "No keywords meta tag found.\n"
    if listing != text:
        fail(where, f"JSON gives {listing!r}, the text is {text!r}")
    for kind, member in (("title", "title"), ("description", "description"),
                         ("keywords", "keywords"), ("done", "done_date")):
        if o[member] != last.get(kind):
            fail(where, f"{member} is {o[member]!r}, the last {kind} is {last.get(kind)!r}")


CHECKS = {"list": check_list, "tag": check_tag, "show": check_show}


def pages():
    work = tempfile.mkdtemp()
    try:
        for name in sorted(os.listdir(DATA)):
            stem, ext = os.path.splitext(name)
            if ext not in (".htm", ".html"):
                continue
            shutil.copy(os.path.join(DATA, name), work)
            with open(os.path.join(DATA, name), "rb") as f:
                page = f.read()
            for command, check in CHECKS.items():
                args = options(stem) + [command, name]
                where = f"{command} {name}"
                status, text, err = run(args, work)
                j_status, j_out, j_err = run(["--format", "json"] + args, work)
                if (status, err) != (j_status, j_err):
                    fail(where, f"exit {status} {err!r}, JSON exit {j_status} {j_err!r}")
                if status != 0:
                    if j_out:
                        fail(where, "output for a failed command")
                    continue
                check(where, json.loads(j_out), text, page)
    finally:
        shutil.rmtree(work)


# The report line of each outcome (after "File: NAME  ---  ").
LINES = {"same_tag": "New keywords meta tag is the same as the existing one.",
         "done_already": "Done already.",
         "no_tag": "No keywords meta tag to insert.",
         "no_head_end": "Keywords meta tag not inserted because </head> is missing.",
         "tag_spans_lines": "Keywords meta tag not inserted because existing "
                            "meta tag occupies more than one line.",
         "not_text": "Not a text file (byte",
         "file_error": "An error (-7) occurred during meta tag insertion."}
NOT_UPDATED = {"not_text", "read_error", "no_tag", "tag_spans_lines", "no_head_end", "file_error"}


def folder_run():
    """run-mixed, with --include-old: the report says OLD and NEW per page."""
    outputs = {}
    for fmt in ("text", "json"):
        work = tempfile.mkdtemp()
        shutil.copytree(os.path.join(DATA, "run-mixed"), os.path.join(work, "run-mixed"))
        outputs[fmt] = run(["--format", fmt] + options("run-mixed") + ["run", "run-mixed"], work)
        shutil.rmtree(work)
    status, report, err = outputs["text"]
    j_status, j_out, j_err = outputs["json"]
    if (status, err) != (j_status, j_err):
        fail("run", f"exit {status} {err!r}, JSON exit {j_status} {j_err!r}")
    o = json.loads(j_out)
    keys("run", o, "run")
    keys("run", o["summary"], "run: summary")
    # Each page's part of the report: "File: NAME" up to the next blank line.
    parts = {m.group(1): m.group(2) for m in
             re.finditer(r"(?m)^File: (\S+)(.*(?:\n(?:OLD|NEW): .*)*)", report)}
    inserted = []
    for p in o["pages"]:
        keys("run", p, "run: pages[]")
        name = os.path.basename(p["path"])
        part, where = parts.get(name), f"run {p['path']}"
        if part is None:
            fail(where, "not in the report")
            continue
        if p["outcome"] == "inserted":
            inserted.append(p["path"])
            expected = (f"\nOLD: {p['old_tag']}" if p["old_tag"] else "") + f"\nNEW: {p['new_tag']}"
            if part != expected:
                fail(where, f"report says {part!r}, JSON {expected!r}")
        elif not part.startswith("  ---  " + LINES[p["outcome"]]):
            fail(where, f"report says {part!r} for {p['outcome']}")
        if p["language"] != "en":
            fail(where, f"language {p['language']!r}")
    listed = report.split("files:\n\n")[1].split("\n\n")[0].splitlines()
    if listed != inserted:
        fail("run", f"report lists {listed}, JSON {inserted}")
    s = o["summary"]
    if f"Result: {s['result']}\n" != err:
        fail("run", f"result {s['result']!r}, stderr {err!r}")
    if (f"in {s['inserted']} files in {s['folders']} folders." not in s["result"]
            or s["files"] != len(o["pages"]) or s["inserted"] != len(inserted)
            or s["not_updated"] != sum(p["outcome"] in NOT_UPDATED for p in o["pages"])
            or (status == 3) != (s["not_updated"] > 0) or s["stopped"] or s["terminated"]):
        fail("run", f"summary {s}, exit {status}")


pages()
folder_run()
for f in failures:
    print("FAIL:", f, file=sys.stderr)
print(f"json consumer: {len(failures)} failure(s)")
sys.exit(1 if failures else 0)
