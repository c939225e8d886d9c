"""What every generator in tools/ shares: reading its Markdown source, and
writing its committed files only when their text changes."""

import argparse
import os
import sys


class SourceError(Exception):
    """A row or list of the source that cannot be read; ends the generator."""


def write_if_changed(path, text):
    """Writes the text with LF line ends unless the file holds it already; gives whether it wrote."""
    try:
        with open(path, encoding="utf-8", newline="") as f:
            if f.read() == text:
                return False
    except FileNotFoundError:
        pass
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    return True


def run_generator(doc, source_name, source_help, default_outdir, generate):
    """The command line of a generator: SOURCE.md [OUTPUT_DIR].

    generate(lines of the source) gives (file name, text) pairs, written into
    OUTPUT_DIR (default_outdir when not given); a SourceError ends the run
    with its message and a non-zero exit code.
    """
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    parser.add_argument(source_name, help=source_help)
    parser.add_argument("outdir", nargs="?", default=default_outdir)
    args = parser.parse_args()

    with open(getattr(args, source_name), encoding="utf-8") as f:
        lines = f.read().splitlines()
    try:
        files = generate(lines)
    except SourceError as e:
        sys.exit("%s: %s" % (os.path.splitext(os.path.basename(sys.argv[0]))[0], e))

    for name, text in files:
        path = os.path.normpath(os.path.join(args.outdir, name))
        print("%s %s" % ("wrote" if write_if_changed(path, text) else "unchanged", path))
