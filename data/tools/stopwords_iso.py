#!/usr/bin/env python3
"""Makes the cmwds_<code>.txt lists that come from the stopwords-iso package.

    npm pack stopwords-iso@1.1.0 && tar xzf stopwords-iso-1.1.0.tgz
    python3 data/tools/stopwords_iso.py package/stopwords-iso.json data

The package's lists mix content words, phrases, punctuation and English
words into the common words of a language. This keeps the function words:
every rule below is general, and the words dropped by judgement (content
words, numbers, names, interjections, words that ICU's word break iterator
cuts into pieces) are listed per language in stopwords-iso-trim.txt, beside
this file, with the spellings the source gets wrong.
"""

import json
import os
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
MAX_WORDS = 500

# Code -> the scripts its words are written in (the first word of the
# Unicode names of their letters).
LANGUAGES = {
    "ar": {"ARABIC"},
    "bg": {"CYRILLIC"},
    "ca": {"LATIN"},
    "cs": {"LATIN"},
    "el": {"GREEK"},
    "et": {"LATIN"},
    "fa": {"ARABIC"},
    "he": {"HEBREW"},
    "hi": {"DEVANAGARI"},
    "hr": {"LATIN"},
    "id": {"LATIN"},
    "ja": {"HIRAGANA", "KATAKANA", "KATAKANA-HIRAGANA", "CJK", "IDEOGRAPHIC"},
    "ko": {"HANGUL"},
    "lt": {"LATIN"},
    "lv": {"LATIN"},
    "pl": {"LATIN"},
    "ro": {"LATIN"},
    "sk": {"LATIN"},
    "sl": {"LATIN"},
    "th": {"THAI"},
    "uk": {"CYRILLIC"},
    "vi": {"LATIN"},
    "zh": {"CJK", "IDEOGRAPHIC"},
}

# Vietnamese is written a syllable at a time, and the program reads every
# word of a line of a list: a phrase gives its syllables.
SPLIT_PHRASES = {"vi"}

ZWNJ = "\u200c"
# Vowel marks and tatweel that Arabic and Persian pages rarely write.
ARABIC_MARKS = {chr(c) for c in range(0x064B, 0x0653)} | {"\u0670", "\u0640"}


def repair(code, word):
    """Undoes the encoding faults of the source's lists."""
    if code == "lt":
        # Stored as Windows-1257 bytes read as Windows-1252 (ð for š).
        try:
            word = word.encode("cp1252").decode("cp1257")
        except UnicodeError:
            pass
    elif code == "el":
        # Capital delta typed as the increment sign, then lower-cased.
        word = word.replace("\u2206", "\u03b4")
    elif code == "th":
        # SARA AM written as NIKHAHIT + SARA AA.
        word = word.replace("\u0e4d\u0e32", "\u0e33")
    elif code in ("ar", "fa"):
        word = "".join(c for c in word if c not in ARABIC_MARKS)
    return word


def script_of(c):
    name = unicodedata.name(c, "")
    return name.split(" ")[0] if name else ""


def is_word(code, word):
    """True when `word` is one word of the language's scripts: letters and
    the marks that follow them, nothing else."""
    if not word or not unicodedata.category(word[0]).startswith("L"):
        return False
    for c in word:
        cat = unicodedata.category(c)
        if cat.startswith("M") or (code == "fa" and c == ZWNJ):
            continue
        if not cat.startswith("L"):
            return False
        if script_of(c) not in LANGUAGES[code]:
            return False
        # Polytonic (ancient) Greek: the pages are in modern Greek.
        if code == "el" and 0x1F00 <= ord(c) <= 0x1FFF:
            return False
    return True


def read_trim_file(path):
    """Sections "[code]" list words to drop; "[code=]" lines "word spelling
    ..." replace a word by the spellings pages use; "[code+]" list function
    words the source lacks. '#' starts a comment."""
    drop, respell, add = {}, {}, {}
    section = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            if line.startswith("[") and line.endswith("]"):
                name = line[1:-1]
                if name.endswith("="):
                    section = respell.setdefault(name[:-1], {})
                elif name.endswith("+"):
                    section = add.setdefault(name[:-1], set())
                else:
                    section = drop.setdefault(name, set())
                continue
            words = [unicodedata.normalize("NFC", w) for w in line.split()]
            if isinstance(section, dict):
                section[words[0]] = words[1:]
            else:
                section.update(words)
    return drop, respell, add


def make_list(code, source_words, drop, respell, add):
    words = set()
    for raw in source_words:
        w = unicodedata.normalize("NFC", repair(code, raw.strip())).lower()
        parts = w.split() if code in SPLIT_PHRASES else [w]
        for p in parts:
            if is_word(code, p) and p not in drop:
                words.add(p)
    if code == "ro":
        # Pages write ș and ț with a comma below; the source has the older
        # cedilla forms, which Latin-2 pages still use. Keep both.
        words |= {w.replace("ş", "ș").replace("ţ", "ț") for w in words}
    unknown_drops = drop - {
        unicodedata.normalize("NFC", repair(code, r.strip())).lower()
        for raw in source_words
        for r in (raw.split() if code in SPLIT_PHRASES else [raw])
    }
    if unknown_drops:
        sys.exit(f"{code}: trim file drops words the source lacks: "
                 + " ".join(sorted(unknown_drops)))
    for word, spellings in respell.items():
        if word not in words:
            sys.exit(f"{code}: respelt word {word} is not in the list")
        words.discard(word)
        words.update(spellings)
    if words & add:
        sys.exit(f"{code}: added words the list has: "
                 + " ".join(sorted(words & add)))
    words |= add
    if len(words) > MAX_WORDS:
        sys.exit(f"{code}: {len(words)} words, more than {MAX_WORDS}")
    return sorted(words)  # code point order, which is UTF-8 byte order


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: stopwords_iso.py STOPWORDS_ISO_JSON OUT_DIR")
    with open(sys.argv[1], encoding="utf-8") as f:
        source = json.load(f)
    drop, respell, add = read_trim_file(
        os.path.join(HERE, "stopwords-iso-trim.txt"))
    for code in sorted(LANGUAGES):
        words = make_list(code, source[code], drop.get(code, set()),
                          respell.get(code, {}), add.get(code, set()))
        path = os.path.join(sys.argv[2], f"cmwds_{code}.txt")
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write("".join(w + "\n" for w in words))
        print(f"{code}\t{len(source[code])}\t{len(words)}")


if __name__ == "__main__":
    main()
