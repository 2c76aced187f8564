#!/usr/bin/env python3
# A script that reads vorn-cli's JSON as a user's script would.
#
# Every member of every object is read back and must say what the text output
# says: the list rows, the tag with its counts, the listing of `show`, and
# each page line, summary and "Result" line of a run. The members must be the
# ones docs/json-output.md lists, in its order.
# Usage: json_consumer_test.py VORN_CLI SOURCE_DIR
import json, os, re, shutil, subprocess, sys, tempfile

CLI, SOURCE = sys.argv[1], sys.argv[2]
DATA = os.path.join(SOURCE, "tests", "data")
failures = []


def fail(what):
    failures.append(f"{WHERE}: {what}")


# {"list": [...fields], "list: words[]": [...], ...} from the docs.
DOC, heading = {}, None
for line in open(os.path.join(SOURCE, "docs", "json-output.md"), encoding="utf-8"):
    if line.startswith("### "):
        heading = line[4:].strip()
    elif heading and (m := re.match(r"\| `(\w+)` \| \w", line)):
        DOC.setdefault(heading, []).append(m.group(1))


def keys(name, *objects):
    for obj in objects:
        if list(obj) != DOC.get(name):
            fail(f"{name} has {list(obj)}, the docs list {DOC.get(name)}")


def run(args, cwd):
    r = subprocess.run([CLI] + args, cwd=cwd, capture_output=True)
    return r.returncode, r.stdout.decode("utf-8"), r.stderr.decode("utf-8")


def options(name):
    path = os.path.join(DATA, name + ".args")
    lines = open(path, encoding="utf-8") if os.path.exists(path) else []
    return [line.rstrip("\n").replace("{DATA}", DATA) for line in lines]


def check_list(o, text):
    keys("list", o)
    keys("list: words[]", *o["words"])
    shown = [m.groups() for m in re.finditer(r"(?m)^ *(\d+) +(\d+) +(\d+) (.*)$", text)]
    read = [(str(w["rank"]), str(w["key_value"]), str(w["frequency"]), w["word"]) for w in o["words"]]
    if shown != read or (not read and not text.startswith("No words")):
        fail(f"rows {read} but the text lists {shown}")
    return text


def check_tag(o, text):
    keys("tag", o)
    tag, kw = o["tag"], o["keywords"]
    if tag is None:
        if kw or o["keyword_count"] or o["byte_count"]:
            fail("keywords without a tag")
        return o["message"] + "\n"
    content = tag[tag.index('content="') + 9:tag.rindex('"')]
    if [k.strip() for k in content.split(",")] != kw or len(kw) != o["keyword_count"]:
        fail(f"keywords {kw} are not those of {tag}")
    return (f"{tag}\n\nNumber of keywords in meta tag: {o['keyword_count']}\n"
            f"Number of bytes in meta tag: {o['byte_count']}\n")


LABELS = {"title": "TITLE: ", "keywords": "KEYWORDS meta tag: ",
          "description": "DESCRIPTION meta tag: ", "done": "VORN meta tag: "}


def check_show(o, text):
    keys("show", o)
    listing = "NOTE: " + o["note"] + "\n\n" if o["note"] else ""
    last = {}
    keys("show: tags[]", *o["tags"])
    for t in o["tags"]:
        listing += LABELS[t["kind"]] + t["text"] + "\n\n"
        last[t["kind"]] = t["value"]
        if t["value"] is not None and t["value"] not in t["text"]:
            fail(f"{t['value']!r} is not in {t['text']!r}")
    for kind, member in (("title", "title"), ("description", "description"),
                         ("keywords", "keywords"), ("done", "done_date")):
        if o[member] != last.get(kind):
            fail(f"{member} is {o[member]!r}, the last {kind} is {last.get(kind)!r}")
    return listing + ("" if "keywords" in last else "No keywords meta tag found.\n")


CHECKS = {"list": check_list, "tag": check_tag, "show": check_show}



# (status, text, stderr) of the text and of the JSON output in a fresh copy
# of `source`; a failure when their status or stderr differ.
def both(args, source):
    outputs = []
    for fmt in ("text", "json"):
        work = tempfile.mkdtemp()
        copy = shutil.copytree if os.path.isdir(source) else shutil.copy
        copy(source, os.path.join(work, os.path.basename(source)))
        outputs.append(run(["--format", fmt] + args, work))
        shutil.rmtree(work)
    if outputs[0][::2] != outputs[1][::2]:
        fail(f"text ends {outputs[0][::2]}, JSON {outputs[1][::2]}")
    return outputs[0], outputs[1][1]


for name in sorted(os.listdir(DATA)):
    stem, ext = os.path.splitext(name)
    for command, check in CHECKS.items() if ext in (".htm", ".html") else ():
        WHERE = f"{command} {name}"
        (status, text, _), j_out = both(options(stem) + [command, name], os.path.join(DATA, name))
        if status != 0 and j_out:
            fail("output for a failed command")
        elif status == 0 and (expected := check(json.loads(j_out), text)) != text:
            fail(f"JSON gives {expected!r}, the text is {text!r}")

# run-mixed, whose options ask for OLD and NEW lines: each inserted page's
# part of the report, the list of inserted files, the summary and the
# "Result" line. (Both outputs of the other outcomes are golden files.)
WHERE = "run"
(status, report, err), j_out = both(options("run-mixed") + ["run", "run-mixed"],
                                   os.path.join(DATA, "run-mixed"))
o, s = json.loads(j_out), json.loads(j_out)["summary"]
keys("run", o)
keys("run: summary", s)
keys("run: pages[]", *o["pages"])
inserted = [p for p in o["pages"] if p["outcome"] == "inserted"]
for p in inserted:
    part = (f"\nOLD: {p['old_tag']}" if p["old_tag"] else "") + f"\nNEW: {p['new_tag']}"
    if f"File: {os.path.basename(p['path'])}{part}\n\n" not in report:
        fail(f"{p['path']}: the report does not say {part!r}")
listed = report.split("files:\n\n")[1].split("\n\n")[0].splitlines()
not_updated = sum(p["outcome"] not in ("inserted", "same_tag", "done_already") for p in o["pages"])
if (listed != [p["path"] for p in inserted] or f"Result: {s['result']}\n" != err
        or f"in {s['inserted']} files in {s['folders']} folders." not in s["result"]
        or s["files"] != len(o["pages"]) or s["inserted"] != len(inserted)
        or s["not_updated"] != not_updated or (status == 3) != (not_updated > 0)):
    fail(f"summary {s}, exit {status}, stderr {err!r}, listed {listed}")

for f in failures:
    print("FAIL:", f, file=sys.stderr)
print(f"json consumer: {len(failures)} failure(s)")
sys.exit(1 if failures else 0)
